// The folder rule (settings/core/folder_trust.h) on Windows: the facts are
// read through a handle opened without following a reparse point, so a
// junction is seen as the junction it is, never as the folder it points at.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "settings/core/folder_trust.h"

namespace pv::settings {

// The current user's SID ("S-1-5-21-..."); empty on failure.
std::wstring CurrentUserSid();

// Owner and access entries of a security descriptor (isDirectory and
// isReparsePoint are left false).
FolderFacts FactsOfDescriptor(PSECURITY_DESCRIPTOR descriptor);

// nullopt when the path cannot be opened.
std::optional<FolderFacts> ReadFolderFacts(const std::wstring& path);

// JudgeFolder of the folder's facts for the current user.
FolderVerdict JudgeFolderAt(const std::wstring& path);

}  // namespace pv::settings
