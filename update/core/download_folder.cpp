#include "update/core/download_folder.h"

namespace pv::update {
namespace {

constexpr std::wstring_view kTempSubfolder = L"\\temp";

}  // namespace

std::wstring FolderOf(std::wstring_view filePath) {
  const std::size_t cut = filePath.find_last_of(L"\\/");
  return cut == std::wstring_view::npos ? std::wstring() : std::wstring(filePath.substr(0, cut));
}

bool SameFolder(std::wstring_view a, std::wstring_view b) {
  return settings::SameFolderPath(a, b);
}

bool DownloadFolder::GetDownloadFolder(std::wstring& out) {
  out = workFolder_.GetWorkFolder();
  // Downloaded programs are run: never from a folder someone else can write
  // into (a fallback folder at the root of c: made first by another user).
  if (!workFolder_.IsOurs()) return false;
  if (m_folderState == kFolderWork) return true;
  if (m_folderState == kFolderTemp) {
    out += kTempSubfolder;
    return fileSystem_.IsTrustedFolder(out);
  }
  if (!SameFolder(FolderOf(runningProgram_), out)) {
    m_folderState = kFolderWork;
    return true;
  }
  out += kTempSubfolder;
  if (fileSystem_.Probe(out) != settings::IWorkFolderPlatform::Entry::kDirectory &&
      !fileSystem_.CreateFolder(out)) {
    return false;
  }
  // The subfolder is checked as well: someone may have made it a junction.
  if (!fileSystem_.IsTrustedFolder(out)) return false;
  m_folderState = kFolderTemp;
  return true;
}

std::wstring UpdaterParameters(std::wstring_view newProgram, std::wstring_view runningProgram) {
  std::wstring text;
  text.reserve(newProgram.size() + runningProgram.size() + 5);
  text += L'"';
  text += newProgram;
  text += L"\" \"";
  text += runningProgram;
  text += L'"';
  return text;
}

std::wstring PathIn(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  path += L'\\';
  path += name;
  return path;
}

}  // namespace pv::update
