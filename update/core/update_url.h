// The update server's addresses: the base URL the program uses, the files
// under it, and the rules that keep a download on that server (a test
// override only for this machine, redirects only within the same host and
// never from https down to http).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pv::update {

inline constexpr std::wstring_view kUpdateIniName = L"update.ini";
inline constexpr std::wstring_view kUpdaterName = L"Renewa.exe";
inline constexpr std::wstring_view kMainProgramName = L"PresenterVela_xp.exe";
inline constexpr std::wstring_view kUrlFileName = L"url.txt";

// Tests point the program at a server of their own with this variable.
inline constexpr wchar_t kUrlOverrideVariable[] = L"PRESENTER_VELA_UPDATE_URL";

// An absolute http or https URL taken apart. Scheme and host are lower case;
// the port is the default of the scheme when none is given.
struct Url {
  std::wstring scheme;
  std::wstring host;
  unsigned port = 0;
  std::wstring path;  // from the first "/" on, query included; "/" when empty

  bool IsHttps() const { return scheme == L"https"; }
};

// Strict: printable ASCII only, no user name or password, no backslash, a
// port of 1 to 65535. Anything else is not a URL this program fetches.
std::optional<Url> ParseUrl(std::wstring_view text);

// "127.0.0.1" or "localhost" (any case).
bool IsLoopbackHost(std::wstring_view host);

// The built-in base URL (https, set by the build), or the override when it is
// an http or https URL on this machine. An override anywhere else is ignored,
// so nobody can turn a real installation towards another server.
std::wstring ChooseBaseUrl(std::wstring_view builtIn, const std::optional<std::wstring>& override);

// A redirect may stay on the same host and port and may not leave https.
bool RedirectAllowed(const Url& from, const Url& to);

// The absolute URL a Location header names, seen from `current`; nullopt
// when it is not a URL this program would fetch.
std::optional<std::wstring> ResolveRedirect(std::wstring_view current, std::wstring_view location);

// Connect, send and receive time-out of every request. Tests against a
// server on this machine may shorten it (kTimeoutOverrideVariable, in
// milliseconds, 200 to 15000); for any other server it is fixed.
inline constexpr unsigned kNetworkTimeoutMs = 10000;
inline constexpr wchar_t kTimeoutOverrideVariable[] = L"PRESENTER_VELA_UPDATE_TIMEOUT_MS";
unsigned ChooseTimeoutMs(std::wstring_view baseUrl, const std::optional<std::wstring>& override);

// At most this many redirects are followed for one file.
inline constexpr int kMaxRedirects = 5;

}  // namespace pv::update
