#include "update/core/update_url.h"

#include <cwctype>

namespace pv::update {
namespace {

wchar_t AsciiLower(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring Lower(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = AsciiLower(c);
  return out;
}

bool AllPrintableAscii(std::wstring_view text) {
  for (wchar_t c : text) {
    if (c <= 0x20 || c >= 0x7F || c == L'\\') return false;
  }
  return true;
}

std::optional<unsigned> ParsePort(std::wstring_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return value;
}

std::wstring Authority(const Url& url) {
  const unsigned defaultPort = url.IsHttps() ? 443u : 80u;
  std::wstring text = url.scheme + L"://" + url.host;
  if (url.port != defaultPort) text += L":" + std::to_wstring(url.port);
  return text;
}

}  // namespace

std::optional<Url> ParseUrl(std::wstring_view text) {
  if (!AllPrintableAscii(text)) return std::nullopt;
  const std::size_t schemeEnd = text.find(L"://");
  if (schemeEnd == std::wstring_view::npos) return std::nullopt;
  Url url;
  url.scheme = Lower(text.substr(0, schemeEnd));
  if (url.scheme != L"http" && url.scheme != L"https") return std::nullopt;

  const std::wstring_view rest = text.substr(schemeEnd + 3);
  const std::size_t authorityEnd = rest.find_first_of(L"/?#");
  const std::wstring_view authority = rest.substr(0, authorityEnd);
  // "user@host" and IPv6 literals are not used by the update server; they
  // are also the usual ways to make one host look like another.
  if (authority.find_first_of(L"@[]") != std::wstring_view::npos) return std::nullopt;
  const std::size_t colon = authority.find(L':');
  url.host = Lower(authority.substr(0, colon));
  if (url.host.empty()) return std::nullopt;
  if (colon == std::wstring_view::npos) {
    url.port = url.IsHttps() ? 443 : 80;
  } else {
    const std::optional<unsigned> port = ParsePort(authority.substr(colon + 1));
    if (!port) return std::nullopt;
    url.port = *port;
  }
  url.path = authorityEnd == std::wstring_view::npos ? L"/" : std::wstring(rest.substr(authorityEnd));
  if (url.path.front() != L'/') url.path.insert(0, 1, L'/');
  return url;
}

bool IsLoopbackHost(std::wstring_view host) {
  const std::wstring lower = Lower(host);
  return lower == L"127.0.0.1" || lower == L"localhost";
}

std::wstring ChooseBaseUrl(std::wstring_view builtIn, const std::optional<std::wstring>& override) {
  if (override) {
    const std::optional<Url> url = ParseUrl(*override);
    if (url && IsLoopbackHost(url->host) && url->path.back() == L'/' &&
        url->path.find_first_of(L"?#") == std::wstring::npos) {
      return *override;
    }
  }
  return std::wstring(builtIn);
}

unsigned ChooseTimeoutMs(std::wstring_view baseUrl, const std::optional<std::wstring>& override) {
  const std::optional<Url> url = ParseUrl(baseUrl);
  if (!override || !url || !IsLoopbackHost(url->host) || override->empty() || override->size() > 5) {
    return kNetworkTimeoutMs;
  }
  unsigned value = 0;
  for (wchar_t c : *override) {
    if (c < L'0' || c > L'9') return kNetworkTimeoutMs;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  return value >= 200 && value <= 15000 ? value : kNetworkTimeoutMs;
}

bool RedirectAllowed(const Url& from, const Url& to) {
  if (to.host != from.host || to.port != from.port) return false;
  return !from.IsHttps() || to.IsHttps();
}

std::optional<std::wstring> ResolveRedirect(std::wstring_view current, std::wstring_view location) {
  const std::optional<Url> base = ParseUrl(current);
  if (!base || location.empty() || !AllPrintableAscii(location)) return std::nullopt;
  std::wstring target;
  if (location.find(L"://") != std::wstring_view::npos) {
    target = location;
  } else if (location.starts_with(L"//")) {
    target = base->scheme + L":" + std::wstring(location);
  } else if (location.front() == L'/') {
    target = Authority(*base) + std::wstring(location);
  } else {
    std::wstring directory = base->path.substr(0, base->path.find_first_of(L"?#"));
    directory.erase(directory.find_last_of(L'/') + 1);
    target = Authority(*base) + directory + std::wstring(location);
  }
  if (!ParseUrl(target)) return std::nullopt;
  return target;
}

}  // namespace pv::update
