// The receiver's removal notice as the window reads it: only a completed
// removal of a device interface gives a path, and the path never reaches
// past the size the record gives.
#include "link/win32/device_removal.h"

#include <windows.h>
// After <windows.h>:
#include <dbt.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace pv::link::test {
namespace {

constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);

// A broadcast record in a buffer of its own: `name` (with its terminator
// when asked) after the header, `size` as the record states it, and a guard
// of non-zero characters after the stated size.
class Record {
 public:
  Record(DWORD type, const std::wstring& name, bool terminated, std::size_t statedSize = 0)
      : m_bytes(kNameOffset + (name.size() + 8) * sizeof(wchar_t), std::byte{0}) {
    const std::size_t nameBytes = (name.size() + (terminated ? 1 : 0)) * sizeof(wchar_t);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(m_bytes.data());
    record->dbcc_size = static_cast<DWORD>(statedSize != 0 ? statedSize : kNameOffset + nameBytes);
    record->dbcc_devicetype = type;
    std::memcpy(m_bytes.data() + kNameOffset, name.data(), name.size() * sizeof(wchar_t));
    // What lies behind the record's end must never be read as the name.
    for (std::size_t at = kNameOffset + nameBytes; at + sizeof(wchar_t) <= m_bytes.size();
         at += sizeof(wchar_t)) {
      const wchar_t guard = L'#';
      std::memcpy(m_bytes.data() + at, &guard, sizeof(guard));
    }
  }
  LPARAM Param() { return reinterpret_cast<LPARAM>(m_bytes.data()); }

 private:
  std::vector<std::byte> m_bytes;
};

TEST(DeviceRemoval, OnlyACompletedRemovalOfAnInterfaceGivesItsPath) {
  const std::wstring path = L"\\\\?\\HID#VID_0C45&PID_8101#1";
  Record iface(DBT_DEVTYP_DEVICEINTERFACE, path, true);
  EXPECT_EQ(win32::RemovedInterfacePath(DBT_DEVICEREMOVECOMPLETE, iface.Param()), path);

  EXPECT_FALSE(win32::RemovedInterfacePath(DBT_DEVICEARRIVAL, iface.Param()));
  EXPECT_FALSE(win32::RemovedInterfacePath(DBT_DEVNODES_CHANGED, 0));
  EXPECT_FALSE(win32::RemovedInterfacePath(DBT_DEVICEREMOVECOMPLETE, 0));
  Record volume(DBT_DEVTYP_VOLUME, path, true);
  EXPECT_FALSE(win32::RemovedInterfacePath(DBT_DEVICEREMOVECOMPLETE, volume.Param()));
}

TEST(DeviceRemoval, ThePathEndsWhereTheRecordEnds) {
  const std::wstring path = L"\\\\?\\HID#VID_0C45&PID_8101#2";
  const struct {
    const char* what;
    std::size_t statedSize;
    bool terminated;
    std::wstring expected;
  } cases[] = {
      {"unterminated name: up to the stated size", 0, false, path},
      {"size cuts the name short", kNameOffset + 4 * sizeof(wchar_t), false, path.substr(0, 4)},
      {"size ends before the name", kNameOffset, false, L""},
      {"size inside the header", sizeof(DEV_BROADCAST_HDR) + 2, false, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Record record(DBT_DEVTYP_DEVICEINTERFACE, path, c.terminated, c.statedSize);
    EXPECT_EQ(win32::RemovedInterfacePath(DBT_DEVICEREMOVECOMPLETE, record.Param()), c.expected);
  }
  Record tooShort(DBT_DEVTYP_DEVICEINTERFACE, path, false, sizeof(DEV_BROADCAST_HDR) - 1);
  EXPECT_FALSE(win32::RemovedInterfacePath(DBT_DEVICEREMOVECOMPLETE, tooShort.Param()))
      << "a record shorter than its header says nothing";
}

}  // namespace
}  // namespace pv::link::test
