// Whether a folder may receive a program the user will run (the autostart
// copy, the update downloads, the updater) or a document the program opens.
// Another user of the machine must not be able to change what lies in it:
// the folder must be a real folder (no junction or symbolic link that can be
// re-pointed), belong to the user, and give nobody but the user, the system
// account and the administrators a right to change its contents or its
// access list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pv::settings {

inline constexpr std::wstring_view kSystemSid = L"S-1-5-18";
inline constexpr std::wstring_view kAdministratorsSid = L"S-1-5-32-544";
// Stands for whoever creates an item inside the folder, and only the
// trusted accounts can create one.
inline constexpr std::wstring_view kCreatorOwnerSid = L"S-1-3-0";

// Access rights that let their holder change what the folder holds: add a
// file or a subfolder, delete an item, delete or rename the folder itself,
// or change its access list or owner (and the generic rights that include
// them).
inline constexpr std::uint32_t kFolderWriteRights = 0x00000002u     // FILE_ADD_FILE / FILE_WRITE_DATA
                                                    | 0x00000004u   // FILE_ADD_SUBDIRECTORY / APPEND_DATA
                                                    | 0x00000040u   // FILE_DELETE_CHILD
                                                    | 0x00010000u   // DELETE
                                                    | 0x00040000u   // WRITE_DAC
                                                    | 0x00080000u   // WRITE_OWNER
                                                    | 0x02000000u   // MAXIMUM_ALLOWED
                                                    | 0x10000000u   // GENERIC_ALL
                                                    | 0x40000000u;  // GENERIC_WRITE

struct AccessEntry {
  enum class Kind { kAllow, kDeny, kOther };
  Kind kind = Kind::kAllow;
  std::uint32_t mask = 0;
  std::wstring sid;  // "S-1-..."
};

// What the file system says about a folder, read without following a
// reparse point.
struct FolderFacts {
  bool isDirectory = false;
  bool isReparsePoint = false;
  std::wstring owner;          // "S-1-..."; empty when it could not be read
  bool hasAccessList = false;  // false: no access list at all, everyone may do anything
  std::vector<AccessEntry> entries;
};

enum class FolderVerdict {
  kTrusted,
  kNotAFolder,     // missing, a file, or unreadable
  kReparsePoint,   // a junction or link: it can be re-pointed
  kForeignOwner,   // another account owns it (and may change its access list)
  kOpenToAll,      // no access list
  kForeignWriter,  // an entry lets someone else change its contents
  kUnknownEntry,   // an entry this rule does not know: not trusted
};

FolderVerdict JudgeFolder(const FolderFacts& facts, std::wstring_view userSid);

// The user, the system account, the administrators (and the creator-owner
// stand-in) are trusted writers.
bool IsTrustedWriter(std::wstring_view sid, std::wstring_view userSid);

// A folder path in a form fit for comparing: "/" as "\", no "\\?\" prefix,
// no repeated, "." or trailing separators, ".." applied, ASCII letters in
// lower case.
std::wstring NormaliseFolder(std::wstring_view path);

// The same folder, whatever the case or spelling of the two paths.
bool SameFolderPath(std::wstring_view a, std::wstring_view b);

}  // namespace pv::settings
