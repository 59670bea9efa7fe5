// The folder that receives "url.txt" and the downloads: the work folder, or
// its "temp" subfolder when the program itself runs from the work folder, so
// a download never lands on the running program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/core/folder_trust.h"
#include "settings/core/work_folder.h"

namespace pv::update {

enum FolderState : std::uint8_t {
  kFolderUndecided = 0,
  kFolderWork = 1,
  kFolderTemp = 2,
};

// The folder part of a file path (up to its last separator).
std::wstring FolderOf(std::wstring_view filePath);

// Windows paths compare without regard to case or spelling (separators,
// ".", "..").
bool SameFolder(std::wstring_view a, std::wstring_view b);

class DownloadFolder {
 public:
  // runningProgram: the full path of the running executable.
  DownloadFolder(const settings::WorkFolder& workFolder, settings::IWorkFolderPlatform& fileSystem,
                 std::wstring runningProgram)
      : workFolder_(workFolder), fileSystem_(fileSystem), runningProgram_(std::move(runningProgram)) {}

  // Writes the folder into `out` (always, also on failure); false when the
  // work folder is not ours (see WorkFolder::IsOurs), or the "temp"
  // subfolder is needed and cannot be made or fails the same folder rule.
  // Work folder or subfolder is decided once, then kept until Reset; the
  // folder rule is applied at every call.
  bool GetDownloadFolder(std::wstring& out);

  // The next GetDownloadFolder decides again.
  void Reset() { m_folderState = kFolderUndecided; }

  FolderState State() const { return m_folderState; }

 private:
  const settings::WorkFolder& workFolder_;
  settings::IWorkFolderPlatform& fileSystem_;
  std::wstring runningProgram_;
  FolderState m_folderState = kFolderUndecided;
};

// The parameters the updater is started with: the new program, then the
// running one, each quoted.
std::wstring UpdaterParameters(std::wstring_view newProgram, std::wstring_view runningProgram);

// "folder\name".
std::wstring PathIn(std::wstring_view folder, std::wstring_view name);

}  // namespace pv::update
