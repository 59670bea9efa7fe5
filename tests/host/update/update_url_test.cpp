// The base URL, its test override and the redirect rule.
#include <gtest/gtest.h>

#include <string>

#include "update/core/update_url.h"

namespace pv::update::test {
namespace {

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

constexpr wchar_t kBuiltIn[] = L"https://update.example.com/Presenter/Vela/Normal/Windowsxp/";

TEST(UpdateUrl, TheBuiltInBaseUrlIsHttpsWithTheServersPath) {
  const std::wstring builtIn = PV_UPDATE_BASE_URL;
  const std::optional<Url> url = ParseUrl(builtIn);
  ASSERT_TRUE(url.has_value());
  EXPECT_TRUE(url->IsHttps());
  EXPECT_EQ(url->port, 443u);
  EXPECT_TRUE(builtIn.ends_with(L"/Presenter/Vela/Normal/Windowsxp/"));
  EXPECT_FALSE(IsLoopbackHost(url->host));
}

TEST(UpdateUrl, ParsesSchemeHostPortAndPath) {
  const std::optional<Url> url = ParseUrl(L"HTTP://LocalHost:8080/a/b/?q=1");
  ASSERT_TRUE(url.has_value());
  EXPECT_EQ(url->scheme, L"http");
  EXPECT_EQ(url->host, L"localhost");
  EXPECT_EQ(url->port, 8080u);
  EXPECT_EQ(url->path, L"/a/b/?q=1");
  EXPECT_EQ(ParseUrl(L"https://h")->path, L"/");
  EXPECT_EQ(ParseUrl(L"http://h/")->port, 80u);
  for (const wchar_t* bad :
       {L"", L"ftp://h/", L"file:///c:/x", L"http:///x", L"http://h:0/", L"http://h:65536/", L"http://h:80x/",
        L"http://user@h/", L"http://[::1]/", L"http://h/a b", L"http://h\\@evil/", L"//h/x", L"http://h:/"}) {
    EXPECT_FALSE(ParseUrl(bad).has_value()) << Narrow(bad);
  }
}

TEST(UpdateUrl, TheOverrideIsTakenOnlyForThisMachine) {
  const struct {
    std::optional<std::wstring> value;
    bool taken;
  } cases[] = {
      {std::nullopt, false},
      {L"http://127.0.0.1:8080/Presenter/Vela/Normal/Windowsxp/", true},
      {L"http://localhost/u/", true},
      {L"https://LOCALHOST:4443/u/", true},
      {L"http://127.0.0.1/", true},
      {L"http://127.0.0.1:8080/no-trailing-slash", false},
      {L"http://127.0.0.1/u/?x=/", false},
      {L"http://127.0.0.2/u/", false},
      {L"http://localhost.evil.com/u/", false},
      {L"http://127.0.0.1.evil.com/u/", false},
      {L"http://localhost@evil.com/u/", false},
      {L"http://evil.com/u/", false},
      {L"https://update.example.com/u/", false},
      {L"ftp://127.0.0.1/u/", false},
      {L"", false},
      {L"127.0.0.1:8080/u/", false},
  };
  for (const auto& c : cases) {
    const std::wstring chosen = ChooseBaseUrl(kBuiltIn, c.value);
    EXPECT_EQ(chosen, c.taken ? *c.value : std::wstring(kBuiltIn))
        << (c.value ? Narrow(*c.value) : "(unset)");
  }
}

TEST(UpdateUrl, ATimeOutOverrideCountsOnlyForAServerOnThisMachine) {
  const std::wstring local = L"http://127.0.0.1:8080/u/";
  EXPECT_EQ(ChooseTimeoutMs(local, std::nullopt), kNetworkTimeoutMs);
  EXPECT_EQ(ChooseTimeoutMs(local, L"1500"), 1500u);
  EXPECT_EQ(ChooseTimeoutMs(kBuiltIn, L"1500"), kNetworkTimeoutMs);
  for (const wchar_t* bad : {L"", L"0", L"199", L"15001", L"99999999", L"1s", L"-5"}) {
    EXPECT_EQ(ChooseTimeoutMs(local, std::wstring(bad)), kNetworkTimeoutMs) << Narrow(bad);
  }
}

TEST(UpdateUrl, RedirectsStayOnTheHostAndNeverLeaveHttps) {
  const struct {
    const wchar_t* from;
    const wchar_t* to;
    bool allowed;
  } cases[] = {
      {L"https://u.example.com/a/update.ini", L"https://u.example.com/b/update.ini", true},
      {L"https://u.example.com/a", L"https://U.EXAMPLE.COM:443/b", true},
      {L"https://u.example.com/a", L"http://u.example.com/b", false},
      {L"https://u.example.com/a", L"https://evil.example.com/b", false},
      {L"https://u.example.com/a", L"https://u.example.com:8443/b", false},
      {L"https://u.example.com/a", L"https://u.example.com.evil/b", false},
      {L"http://127.0.0.1:8080/a", L"http://127.0.0.1:8080/b", true},
      {L"http://127.0.0.1:8080/a", L"http://localhost:8080/b", false},
      {L"http://127.0.0.1:8080/a", L"http://127.0.0.1:9090/b", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RedirectAllowed(*ParseUrl(c.from), *ParseUrl(c.to)), c.allowed)
        << Narrow(c.from) << " -> " << Narrow(c.to);
  }
}

TEST(UpdateUrl, ResolvesLocationHeaders) {
  const std::wstring current = L"https://u.example.com/P/V/update.ini";
  EXPECT_EQ(ResolveRedirect(current, L"https://x.example.com/y"), L"https://x.example.com/y");
  EXPECT_EQ(ResolveRedirect(current, L"/other/update.ini"), L"https://u.example.com/other/update.ini");
  EXPECT_EQ(ResolveRedirect(current, L"new.ini"), L"https://u.example.com/P/V/new.ini");
  EXPECT_EQ(ResolveRedirect(current, L"//evil.example.com/x"), L"https://evil.example.com/x");
  EXPECT_EQ(ResolveRedirect(L"http://127.0.0.1:8080/a/b", L"/c"), L"http://127.0.0.1:8080/c");
  EXPECT_FALSE(ResolveRedirect(current, L"").has_value());
  EXPECT_FALSE(ResolveRedirect(current, L"ftp://x/y").has_value());
  EXPECT_FALSE(ResolveRedirect(current, L"/a b").has_value());
}

}  // namespace
}  // namespace pv::update::test
