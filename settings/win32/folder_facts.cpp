#include "settings/win32/folder_facts.h"

// After <windows.h>:
#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "framework/kernel_handles.h"

namespace pv::settings {
namespace {

struct LocalFreeDeleter {
  void operator()(void* p) const { LocalFree(p); }
};

std::wstring SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (sid == nullptr || !ConvertSidToStringSidW(sid, &text)) return {};
  std::wstring result = text;
  LocalFree(text);
  return result;
}

AccessEntry EntryOf(const ACE_HEADER* header) {
  AccessEntry entry;
  switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
      // Both lay out mask and SID as ACCESS_ALLOWED_ACE does.
      const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
      entry.kind = AccessEntry::Kind::kAllow;
      entry.mask = ace->Mask;
      entry.sid = SidText(const_cast<DWORD*>(&ace->SidStart));
      return entry;
    }
    case ACCESS_DENIED_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_ACE_TYPE:
    case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
      entry.kind = AccessEntry::Kind::kDeny;
      return entry;
    default:
      entry.kind = AccessEntry::Kind::kOther;
      return entry;
  }
}

}  // namespace

std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  CHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> buffer(size);
  if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
  return SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

FolderFacts FactsOfDescriptor(PSECURITY_DESCRIPTOR descriptor) {
  FolderFacts facts;
  PSID owner = nullptr;
  BOOL ownerDefaulted = FALSE;
  if (GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted)) facts.owner = SidText(owner);
  BOOL present = FALSE;
  BOOL daclDefaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &daclDefaulted)) {
    // Unreadable: an entry nobody trusts.
    facts.hasAccessList = true;
    facts.entries.push_back({AccessEntry::Kind::kOther, 0, {}});
    return facts;
  }
  facts.hasAccessList = present && dacl != nullptr;
  if (!facts.hasAccessList) return facts;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace) || ace == nullptr) {
      facts.entries.push_back({AccessEntry::Kind::kOther, 0, {}});
      continue;
    }
    facts.entries.push_back(EntryOf(static_cast<const ACE_HEADER*>(ace)));
  }
  return facts;
}

std::optional<FolderFacts> ReadFolderFacts(const std::wstring& path) {
  // The folder itself, not what a junction or link in its place points at.
  CFileHandle folder(CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                 nullptr));
  if (!folder) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(folder.Get(), &information)) return std::nullopt;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(folder.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                      nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::unique_ptr<void, LocalFreeDeleter> owned(descriptor);
  FolderFacts facts = FactsOfDescriptor(descriptor);
  facts.isDirectory = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.isReparsePoint = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return facts;
}

FolderVerdict JudgeFolderAt(const std::wstring& path) {
  const std::optional<FolderFacts> facts = ReadFolderFacts(path);
  if (!facts) return FolderVerdict::kNotAFolder;
  return JudgeFolder(*facts, CurrentUserSid());
}

}  // namespace pv::settings
