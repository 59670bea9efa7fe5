// Recognising the receiver in a device-change notice.
#include "link/core/device_path.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "link/core/hid_link.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

const HidClassGuid kHid{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

TEST(LinkGuidText, BracedUpperCase) {
  EXPECT_EQ(FormatGuid(kHid), L"{4D1E55B2-F16F-11CF-88CB-001111000030}");
  EXPECT_EQ(FormatGuid(HidClassGuid{}), L"{00000000-0000-0000-0000-000000000000}");
}

struct PathCase {
  const wchar_t* path;
  bool matches;
};

void PrintTo(const PathCase& c, std::ostream* out) {
  for (const wchar_t* ch = c.path; *ch != L'\0'; ++ch) *out << static_cast<char>(*ch < 128 ? *ch : '?');
}

class LinkPaths : public testing::TestWithParam<PathCase> {};

TEST_P(LinkPaths, MarkersMustAllOccurAfterTheStart) {
  std::wstring path = GetParam().path;
  EXPECT_EQ(PathNamesReceiver(path.data(), kHid), GetParam().matches)
      << std::string(path.begin(), path.end());
}

INSTANTIATE_TEST_SUITE_P(
    Notices, LinkPaths,
    testing::Values(
        PathCase{L"\\\\?\\HID#VID_0C45&PID_8101&MI_01#7&1a2b&0&0000#{4D1E55B2-F16F-11CF-88CB-001111000030}",
                 true},
        PathCase{L"\\\\?\\hid#vid_0c45&pid_8101&mi_01#7&1a2b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                 true},
        PathCase{L"\\\\?\\HID#VID_0C45&PID_8102#7&1a2b#{4D1E55B2-F16F-11CF-88CB-001111000030}", false},
        PathCase{L"\\\\?\\HID#VID_0C45&PID_8101#7&1a2b#{A5DCBF10-6530-11D2-901F-00C04FB951ED}", false},
        PathCase{L"VID_0C45&PID_8101#{4D1E55B2-F16F-11CF-88CB-001111000030}", false}, PathCase{L"", false}));

TEST(LinkPaths, PathIsUpperCasedInPlace) {
  std::wstring path = L"\\\\?\\hid#vid_0c45";
  PathNamesReceiver(path.data(), HidClassGuid{});
  EXPECT_EQ(path, L"\\\\?\\HID#VID_0C45");
}

// Two receivers plugged in: only the removal of the open one counts.
struct RemovalCase {
  const char* name;
  const wchar_t* removed;
  const wchar_t* open;
  bool concerns;
};

void PrintTo(const RemovalCase& c, std::ostream* out) {
  *out << c.name;
}

constexpr wchar_t kOpen[] =
    L"\\\\?\\hid#vid_0c45&pid_8101&mi_01#7&1a2b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr wchar_t kSpare[] =
    L"\\\\?\\hid#vid_0c45&pid_8101&mi_01#7&9f9f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr wchar_t kMouse[] =
    L"\\\\?\\hid#vid_046d&pid_c077#7&1a2b&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

class LinkRemoval : public testing::TestWithParam<RemovalCase> {};

TEST_P(LinkRemoval, OnlyTheOpenReceiversRemovalCounts) {
  const RemovalCase& c = GetParam();
  std::wstring removed = c.removed;
  EXPECT_EQ(RemovalConcernsOpenReceiver(removed.data(), c.open, kHid), c.concerns);
}

INSTANTIATE_TEST_SUITE_P(
    Removal, LinkRemoval,
    testing::Values(RemovalCase{"open_receiver_removed", kOpen, kOpen, true},
                    RemovalCase{"spare_receiver_removed", kSpare, kOpen, false},
                    RemovalCase{"another_device_removed", kMouse, kOpen, false},
                    RemovalCase{"receiver_removed_while_none_is_open", kSpare, L"", true},
                    RemovalCase{"other_device_while_none_is_open", kMouse, L"", false}),
    [](const testing::TestParamInfo<RemovalCase>& info) { return std::string(info.param.name); });

// The link knows the open interface's path from the moment it connects until
// it closes the receiver.
TEST(LinkRemoval, TheLinkComparesWithThePathItHasOpen) {
  LinkRig rig;
  rig.transport.m_interfaces = {FakeInterface{}, FakeInterface{}};
  rig.transport.m_paths = {kOpen, kSpare};
  rig.worker.m_hidGuid = kHid;
  ASSERT_TRUE(rig.worker.OpenDevice());
  std::wstring spare = kSpare;
  std::wstring open = kOpen;
  EXPECT_FALSE(rig.link.RemovalConcernsOpenReceiver(spare.data()));
  EXPECT_TRUE(rig.link.RemovalConcernsOpenReceiver(open.data()));
  rig.worker.CloseHandles();
  spare = kSpare;
  EXPECT_TRUE(rig.link.RemovalConcernsOpenReceiver(spare.data())) << "nothing open: any receiver counts";
}

}  // namespace
}  // namespace pv::link::test
