// The desktop services autostart and the help document use. The program's
// implementation is settings/win32/win32_desktop_platform.h; tests replace
// single operations (drive types, opening a document) to observe them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pv::settings {

// Drive types as GetDriveTypeW reports them.
inline constexpr unsigned kDriveUnknown = 0;
inline constexpr unsigned kDriveRemovable = 2;
inline constexpr unsigned kDriveFixed = 3;
inline constexpr unsigned kDriveRemote = 4;

// The user's Run key, open for as long as the object lives.
class IRunKey {
 public:
  virtual ~IRunKey() = default;
  virtual bool SetString(const std::wstring& name, const std::wstring& value) = 0;
  // True when the value is gone afterwards (also when there was none).
  virtual bool DeleteValue(const std::wstring& name) = 0;
};

class IDesktopPlatform {
 public:
  virtual ~IDesktopPlatform() = default;

  // Full path of the running program.
  virtual std::wstring ModuleFileName() const = 0;
  // Roots of the logical drives in the system's order ("C:\", "D:\", ...).
  virtual std::vector<std::wstring> LogicalDrives() const = 0;
  virtual unsigned DriveType(const std::wstring& root) const = 0;
  // Copies a file, replacing an existing target.
  virtual bool CopyFileTo(const std::wstring& from, const std::wstring& to) = 0;
  // Renames `from` to `to` in one step, replacing `to`, written through.
  virtual bool ReplaceFileWith(const std::wstring& from, const std::wstring& to) = 0;
  virtual void RemoveFile(const std::wstring& path) = 0;
  // True when the file exists with exactly these bytes.
  virtual bool FileHasContent(const std::wstring& path, std::span<const uint8_t> bytes) const = 0;
  // nullptr when the Run key cannot be opened for writing.
  virtual std::unique_ptr<IRunKey> OpenRunKey() = 0;
  virtual std::optional<std::wstring> DesktopFolder() const = 0;
  // The product name in the user's language (string 166): the shortcut's name and description.
  virtual std::wstring ProductName() const = 0;
  virtual bool CreateShortcut(const std::wstring& target, const std::wstring& folder,
                              const std::wstring& name, const std::wstring& description) = 0;
  // The embedded manual: Simplified Chinese or English.
  virtual std::span<const uint8_t> HelpDocument(bool chinese) const = 0;
  // Creates or truncates the file and writes all bytes; false on any failure.
  virtual bool WriteWholeFile(const std::wstring& path, std::span<const uint8_t> bytes) = 0;
  // Opens a document with the user's viewer; the result is not examined.
  virtual void OpenDocument(const std::wstring& path) = 0;
};

}  // namespace pv::settings
