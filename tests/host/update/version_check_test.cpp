// Reading "update.ini" and comparing its version with the program's.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "update/core/version_check.h"

namespace pv::update::test {
namespace {

TEST(ParseVersion, ReadsTheValueOfTheVersionKey) {
  const struct {
    const char* what;
    std::wstring text;
    bool found;
    std::wstring value;
  } cases[] = {
      {"CR LF line end", L"Version=1.0.1.0\r\n", true, L"1.0.1.0"},
      {"no line end", L"Version=1.2.3.4", true, L"1.2.3.4"},
      {"[update] first line", L"[update]\r\nVersion=1.2.3.4\r\n", true, L"1.2.3.4"},
      {"LF only: runs to the end", L"Version=1.2.3.4\nNote=x\n", true, L"1.2.3.4\nNote=x\n"},
      {"LF then CR", L"Version=1.2.3.4\nA=b\rC", true, L"1.2.3.4\nA=b"},
      {"first of two keys", L"Version=2.0.0.0\r\nVersion=3.0.0.0\r\n", true, L"2.0.0.0"},
      {"key is case-sensitive", L"version=1.2.3.4\r\n", false, L"unchanged"},
      {"no key", L"[update]\r\n", false, L"unchanged"},
      {"empty value", L"Version=\r\n", true, L""},
  };
  for (const auto& c : cases) {
    std::wstring out = L"unchanged";
    EXPECT_EQ(ParseVersion(c.text, out), c.found) << c.what;
    EXPECT_EQ(out, c.value) << c.what;
  }
}

TEST(ParseVersion, OnlyTheFirst199BytesOfTheFileCount) {
  // The key starts at byte 190: its value is cut after "1.2" (bytes 198, 199, 200 are "1.2").
  const std::string file = std::string(190, ';') + "Version=1.2.3.4\r\n";
  const std::string_view cut = CutIniBytes(file);
  ASSERT_EQ(cut.size(), 199u);
  const std::wstring text(cut.begin(), cut.end());
  std::wstring value;
  ASSERT_TRUE(ParseVersion(text, value));
  EXPECT_EQ(value, L"1");
  EXPECT_EQ(CompareVersions(L"1.0.0.1", value), VersionVerdict::kUnusable);

  EXPECT_EQ(CutIniBytes("Version=1.2.3.4").size(), 15u);  // shorter files stay whole
}

TEST(ParseVersionNumbers, AcceptsFourNumbersUpTo65535Only) {
  EXPECT_EQ(ParseVersionNumbers(L"1.0.0.10"), (VersionNumbers{1, 0, 0, 10}));
  EXPECT_EQ(ParseVersionNumbers(L"65535.0.65535.0"), (VersionNumbers{65535, 0, 65535, 0}));
  EXPECT_EQ(ParseVersionNumbers(L"01.002.0.9"), (VersionNumbers{1, 2, 0, 9}));
  for (const wchar_t* bad : {L"", L"1.0.0", L"1.0.0.0.0", L"1..0.0", L".1.0.0", L"1.0.0.", L"65536.0.0.0",
                             L"1.0.0.99999", L"1.0.0.100000", L"1.0.0.-1", L"1.0.0.1a", L" 1.0.0.1",
                             L"1.0.0.1 x", L"1,0,0,1", L"１.0.0.1", L"1.0.0.1\x7f"}) {
    EXPECT_FALSE(ParseVersionNumbers(bad).has_value()) << "\"" << std::string(bad, bad + wcslen(bad)) << "\"";
  }
}

TEST(CompareVersions, ComparesNumberByNumber) {
  const struct {
    const wchar_t* local;
    const wchar_t* remote;
    VersionVerdict verdict;
  } cases[] = {
      {L"1.0.0.9", L"1.0.1.0", VersionVerdict::kNewer},
      {L"1.0.0.9", L"1.0.0.10", VersionVerdict::kNewer},  // the text comparison said "not newer"
      {L"1.0.0.10", L"1.0.0.9", VersionVerdict::kNotNewer},
      {L"1.0.0.1", L"1.0.0.1", VersionVerdict::kNotNewer},
      {L"2.0.0.0", L"1.9.9.9", VersionVerdict::kNotNewer},
      {L"1.9.65535.65535", L"2.0.0.0", VersionVerdict::kNewer},
      {L"", L"1.0.0.1", VersionVerdict::kNewer},  // no version resource: older than anything
      {L"", L"garbage", VersionVerdict::kUnusable},
      {L"1.0.0.1", L"1.0.0.2\n", VersionVerdict::kNewer},  // a trailing line end is not part of it
      {L"1.0.0.1", L"1.0.0.2 \t", VersionVerdict::kNewer},
      {L"1.0.0.1", L"1.0.0.2\nNote=x", VersionVerdict::kUnusable},
      {L"1.0.0.1", L"99.0.0.0.0", VersionVerdict::kUnusable},
      {L"1.0.0.1", L"1.0.0.70000", VersionVerdict::kUnusable},
      {L"1.0.0.1", L"", VersionVerdict::kUnusable},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareVersions(c.local, c.remote), c.verdict)
        << std::string(c.local, c.local + wcslen(c.local)) << " vs "
        << std::string(c.remote, c.remote + wcslen(c.remote));
  }
}

}  // namespace
}  // namespace pv::update::test
