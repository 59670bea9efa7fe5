#include "settings/core/folder_trust.h"

namespace pv::settings {
namespace {

wchar_t FoldCase(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool IsTrustedWriter(std::wstring_view sid, std::wstring_view userSid) {
  return (!userSid.empty() && sid == userSid) || sid == kSystemSid || sid == kAdministratorsSid ||
         sid == kCreatorOwnerSid;
}

FolderVerdict JudgeFolder(const FolderFacts& facts, std::wstring_view userSid) {
  if (facts.isReparsePoint) return FolderVerdict::kReparsePoint;
  if (!facts.isDirectory) return FolderVerdict::kNotAFolder;
  if (facts.owner.empty() || userSid.empty() || facts.owner != userSid) return FolderVerdict::kForeignOwner;
  if (!facts.hasAccessList) return FolderVerdict::kOpenToAll;
  for (const AccessEntry& entry : facts.entries) {
    switch (entry.kind) {
      case AccessEntry::Kind::kDeny:
        continue;  // takes rights away: never a danger
      case AccessEntry::Kind::kOther:
        return FolderVerdict::kUnknownEntry;
      case AccessEntry::Kind::kAllow:
        if ((entry.mask & kFolderWriteRights) != 0 && !IsTrustedWriter(entry.sid, userSid)) {
          return FolderVerdict::kForeignWriter;
        }
        continue;
    }
  }
  return FolderVerdict::kTrusted;
}

std::wstring NormaliseFolder(std::wstring_view path) {
  std::wstring text;
  text.reserve(path.size());
  for (wchar_t c : path) text += c == L'/' ? L'\\' : FoldCase(c);
  std::wstring_view rest = text;
  std::wstring prefix;
  if (rest.starts_with(L"\\\\?\\unc\\")) {
    prefix = L"\\\\";
    rest.remove_prefix(8);
  } else if (rest.starts_with(L"\\\\?\\")) {
    rest.remove_prefix(4);
  } else if (rest.starts_with(L"\\\\")) {
    prefix = L"\\\\";
    rest.remove_prefix(2);
  } else if (rest.starts_with(L"\\")) {
    prefix = L"\\";
  }
  std::vector<std::wstring_view> parts;
  while (!rest.empty()) {
    const std::size_t cut = rest.find(L'\\');
    const std::wstring_view part = rest.substr(0, cut);
    rest.remove_prefix(cut == std::wstring_view::npos ? rest.size() : cut + 1);
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      // Never above the drive or the share's root.
      if (parts.size() > 1) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::wstring out = prefix;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i != 0) out += L'\\';
    out += parts[i];
  }
  return out;
}

bool SameFolderPath(std::wstring_view a, std::wstring_view b) {
  return NormaliseFolder(a) == NormaliseFolder(b);
}

}  // namespace pv::settings
