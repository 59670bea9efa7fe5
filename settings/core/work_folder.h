// The per-user work folder "Presenter_Vela": in the user profile, or at the
// root of drive c: when the profile folder cannot be used. Holds the help
// document, the autostart copy of the program and the update downloads.
//
// The application creates one WorkFolder (with a Win32WorkFolderPlatform),
// calls EnsureWorkFolder once at start, and hands the object to everything
// that needs paths inside it.
#pragma once

#include <optional>
#include <string>

namespace pv::settings {

inline constexpr std::wstring_view kWorkFolderName = L"Presenter_Vela";
inline constexpr std::wstring_view kFallbackWorkFolder = L"c:\\Presenter_Vela";

// The file-system facts the decision needs; Win32 in the program, fakes in tests.
class IWorkFolderPlatform {
 public:
  enum class Entry { kNone, kDirectory, kOther };

  virtual ~IWorkFolderPlatform() = default;
  // The "USERPROFILE" environment variable; nullopt when unset or unreadable.
  virtual std::optional<std::wstring> UserProfile() const = 0;
  virtual Entry Probe(const std::wstring& path) const = 0;
  // True when the folder was created by this call.
  virtual bool CreateFolder(const std::wstring& path) = 0;
  // Creates a folder only the current user may use (its access list names
  // the user alone); true when it was created by this call. The defaults
  // serve file systems without owners (test fakes); the Win32 platform
  // implements both.
  virtual bool CreatePrivateFolder(const std::wstring& path) { return CreateFolder(path); }
  // True when the folder passes the folder rule of folder_trust.h: a real
  // folder (no reparse point) of the user's that nobody else may change.
  virtual bool IsTrustedFolder(const std::wstring& path) const { return Probe(path) == Entry::kDirectory; }
};

class WorkFolder {
 public:
  explicit WorkFolder(IWorkFolderPlatform& platform) : platform_(platform) {}

  // Decides once which folder is in use and creates it if needed. A profile
  // folder that exists, or can be created, is used; otherwise the fallback.
  void EnsureWorkFolder();

  // The work folder path, without a trailing separator.
  std::wstring GetWorkFolder() const;

  // A file inside the work folder.
  std::wstring PathOf(std::wstring_view fileName) const;

  bool UsesFallbackFolder() const { return m_bUseFallbackFolder; }

  // False when the folder in use fails the folder rule (folder_trust.h):
  // another user of the machine may have made it first, re-point it as a
  // junction or put files in it. Nothing that will be run (the autostart
  // copy, update downloads) and no document the program opens goes there.
  // Checked at each call, for the profile folder and the fallback alike.
  bool IsOurs() const;

 private:
  std::optional<std::wstring> ProfileFolder() const;

  IWorkFolderPlatform& platform_;
  bool m_bUseFallbackFolder = false;
};

}  // namespace pv::settings
