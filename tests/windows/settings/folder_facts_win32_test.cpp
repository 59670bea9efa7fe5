// The folder rule on a real (Wine) system: access lists built as security
// descriptors and read the way the program reads a folder's, and real
// folders, junctions and access changes where the platform lets a test
// stage them.
#include <gtest/gtest.h>

#include <windows.h>
// After <windows.h>:
#include <aclapi.h>
#include <sddl.h>
#include <winioctl.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/kernel_handles.h"
#include "settings/win32/folder_facts.h"
#include "settings/win32/win32_work_folder_platform.h"

namespace pv::settings::test {
namespace {

struct LocalFreeDeleter {
  void operator()(void* p) const { LocalFree(p); }
};
using OwnedDescriptor = std::unique_ptr<void, LocalFreeDeleter>;

// "{U}" in the text stands for the current user's SID.
OwnedDescriptor Descriptor(std::wstring sddl) {
  const std::wstring user = CurrentUserSid();
  for (std::size_t at; (at = sddl.find(L"{U}")) != std::wstring::npos;) sddl.replace(at, 3, user);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                   nullptr))
      << GetLastError();
  return OwnedDescriptor(descriptor);
}

FolderVerdict JudgeDescriptor(const std::wstring& sddl) {
  OwnedDescriptor descriptor = Descriptor(sddl);
  if (!descriptor) return FolderVerdict::kNotAFolder;
  FolderFacts facts = FactsOfDescriptor(descriptor.get());
  facts.isDirectory = true;
  return JudgeFolder(facts, CurrentUserSid());
}

TEST(FolderFactsWin32, AccessListsAsTheProgramReadsThem) {
  ASSERT_FALSE(CurrentUserSid().empty());
  const struct {
    const wchar_t* sddl;
    FolderVerdict verdict;
  } cases[] = {
      // A profile folder: the user, SYSTEM and the administrators.
      {L"O:{U}D:P(A;OICI;FA;;;{U})(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", FolderVerdict::kTrusted},
      // Our private fallback, with the creator-owner entry c:\ passes on.
      {L"O:{U}D:P(A;OICI;FA;;;{U})(A;OICIIO;GA;;;CO)", FolderVerdict::kTrusted},
      {L"O:{U}D:P(A;;FA;;;{U})(A;;0x1200a9;;;WD)", FolderVerdict::kTrusted},  // everyone reads
      {L"O:{U}D:P(A;;FA;;;{U})(D;;FA;;;WD)", FolderVerdict::kTrusted},        // a deny entry
      // A folder made at the root of c: with default security: authenticated
      // users inherit "modify".
      {L"O:{U}D:(A;OICI;FA;;;{U})(A;OICIID;0x1301bf;;;AU)", FolderVerdict::kForeignWriter},
      {L"O:{U}D:P(A;;FA;;;{U})(A;;0x2;;;BU)", FolderVerdict::kForeignWriter},   // add a file
      {L"O:{U}D:P(A;;FA;;;{U})(A;;0x4;;;BU)", FolderVerdict::kForeignWriter},   // add a folder
      {L"O:{U}D:P(A;;FA;;;{U})(A;;0x40;;;WD)", FolderVerdict::kForeignWriter},  // delete items
      {L"O:{U}D:P(A;;FA;;;{U})(A;;WD;;;S-1-5-21-7-7-7-1001)", FolderVerdict::kForeignWriter},
      {L"O:{U}D:P(A;;FA;;;{U})(A;;WO;;;S-1-5-21-7-7-7-1001)", FolderVerdict::kForeignWriter},
      {L"O:{U}D:P(A;;FA;;;{U})(A;;GW;;;WD)", FolderVerdict::kForeignWriter},
      {L"O:{U}D:P(A;;FA;;;{U})(A;;GA;;;AU)", FolderVerdict::kForeignWriter},
      {L"O:S-1-5-21-7-7-7-1001D:P(A;;FA;;;{U})", FolderVerdict::kForeignOwner},
      {L"O:BAD:P(A;;FA;;;{U})", FolderVerdict::kForeignOwner},
      {L"O:{U}", FolderVerdict::kOpenToAll},  // no access list
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JudgeDescriptor(c.sddl), c.verdict) << std::string(c.sddl, c.sddl + wcslen(c.sddl));
  }

  // A present but null access list: everyone may do anything.
  SECURITY_DESCRIPTOR nullDacl{};
  ASSERT_TRUE(InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE));
  OwnedDescriptor owner = Descriptor(L"O:{U}");
  PSID user = nullptr;
  BOOL defaulted = FALSE;
  ASSERT_TRUE(GetSecurityDescriptorOwner(owner.get(), &user, &defaulted));
  ASSERT_TRUE(SetSecurityDescriptorOwner(&nullDacl, user, FALSE));
  FolderFacts facts = FactsOfDescriptor(&nullDacl);
  facts.isDirectory = true;
  EXPECT_EQ(JudgeFolder(facts, CurrentUserSid()), FolderVerdict::kOpenToAll);
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId());
}

// A junction (mount point) at `link` that points at `target`; false when
// the platform does not let the test make one.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  CFileHandle handle(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return false;
  const std::wstring substitute = L"\\??\\" + target;
  const USHORT substituteBytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
  const USHORT printBytes = static_cast<USHORT>(target.size() * sizeof(wchar_t));
  // REPARSE_DATA_BUFFER's mount-point form, laid out by hand (MinGW's
  // headers do not carry it): tag, data length, reserved, then four offsets
  // and lengths and the two names, each terminated.
  std::vector<BYTE> buffer(8 + 8 + substituteBytes + 2 + printBytes + 2);
  auto put16 = [&](std::size_t at, USHORT value) { memcpy(buffer.data() + at, &value, 2); };
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  memcpy(buffer.data(), &tag, 4);
  put16(4, static_cast<USHORT>(buffer.size() - 8));
  put16(8, 0);
  put16(10, substituteBytes);
  put16(12, static_cast<USHORT>(substituteBytes + 2));
  put16(14, printBytes);
  memcpy(buffer.data() + 16, substitute.data(), substituteBytes);
  memcpy(buffer.data() + 16 + substituteBytes + 2, target.data(), printBytes);
  DWORD returned = 0;
  return DeviceIoControl(handle.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                         static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr) != FALSE;
}

TEST(FolderFactsWin32, AJunctionToOurOwnFolderIsRefused) {
  const std::wstring target = TempPath(L"pv_junction_target_");
  const std::wstring link = TempPath(L"pv_junction_");
  RemoveDirectoryW(link.c_str());
  RemoveDirectoryW(target.c_str());
  Win32WorkFolderPlatform platform;
  ASSERT_TRUE(platform.CreatePrivateFolder(target));
  EXPECT_EQ(JudgeFolderAt(target), FolderVerdict::kTrusted);
  const bool made = MakeJunction(link, target);
  const DWORD error = GetLastError();
  if (!made) {
    RemoveDirectoryW(link.c_str());
    RemoveDirectoryW(target.c_str());
    GTEST_SKIP() << "this platform cannot make a junction here (" << error << ")";
  }
  const std::optional<FolderFacts> facts = ReadFolderFacts(link);
  ASSERT_TRUE(facts.has_value());
  EXPECT_TRUE(facts->isReparsePoint) << "read through the junction instead of at it";
  EXPECT_EQ(JudgeFolderAt(link), FolderVerdict::kReparsePoint);
  EXPECT_FALSE(platform.IsTrustedFolder(link));
  EXPECT_TRUE(platform.IsTrustedFolder(target));
  RemoveDirectoryW(link.c_str());
  RemoveDirectoryW(target.c_str());
}

TEST(FolderFactsWin32, AFolderOthersMayWriteIntoIsRefused) {
  const std::wstring path = TempPath(L"pv_open_folder_");
  RemoveDirectoryW(path.c_str());
  Win32WorkFolderPlatform platform;
  ASSERT_TRUE(platform.CreatePrivateFolder(path));
  ASSERT_TRUE(platform.IsTrustedFolder(path));
  EXPECT_FALSE(platform.IsTrustedFolder(path + L"\\missing"));

  // Everyone may add files: the access list of a folder someone else set up.
  OwnedDescriptor open = Descriptor(L"D:P(A;OICI;FA;;;{U})(A;OICI;0x1301bf;;;WD)");
  ASSERT_TRUE(open);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(open.get(), &present, &dacl, &defaulted));
  const DWORD set = SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                                          DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                          nullptr, nullptr, dacl, nullptr);
  const std::optional<FolderFacts> facts = ReadFolderFacts(path);
  ASSERT_TRUE(facts.has_value());
  bool everyoneWrites = false;
  for (const AccessEntry& entry : facts->entries) {
    everyoneWrites |= entry.kind == AccessEntry::Kind::kAllow && entry.sid == L"S-1-1-0" &&
                      (entry.mask & kFolderWriteRights) != 0;
  }
  if (set != ERROR_SUCCESS || !everyoneWrites) {
    RemoveDirectoryW(path.c_str());
    GTEST_SKIP() << "this platform did not keep the access list (" << set << ")";
  }
  EXPECT_EQ(JudgeFolderAt(path), FolderVerdict::kForeignWriter);
  EXPECT_FALSE(platform.IsTrustedFolder(path));
  RemoveDirectoryW(path.c_str());
}

}  // namespace
}  // namespace pv::settings::test
