#include "settings/win32/win32_desktop_platform.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "resources/resource_ids.h"
#include "settings/core/desktop_integration.h"
#include "settings/win32/shortcut.h"

namespace pv::settings {
namespace {

class RegistryRunKey : public IRunKey {
 public:
  explicit RegistryRunKey(HKEY key) : key_(key) {}
  ~RegistryRunKey() override { RegCloseKey(key_); }
  RegistryRunKey(const RegistryRunKey&) = delete;
  RegistryRunKey& operator=(const RegistryRunKey&) = delete;

  bool SetString(const std::wstring& name, const std::wstring& value) override {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes) == ERROR_SUCCESS;
  }
  bool DeleteValue(const std::wstring& name) override {
    const LSTATUS status = RegDeleteValueW(key_, name.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }

 private:
  HKEY key_;
};

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const bool ok = !valid() || CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

std::wstring Win32DesktopPlatform::ModuleFileName() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: long path
  }
}

std::vector<std::wstring> Win32DesktopPlatform::LogicalDrives() const {
  wchar_t buffer[512] = {};
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer) - 1), buffer);
  std::vector<std::wstring> roots;
  if (length == 0 || length >= std::size(buffer)) return roots;
  for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) roots.emplace_back(p);
  return roots;
}

unsigned Win32DesktopPlatform::DriveType(const std::wstring& root) const {
  return GetDriveTypeW(root.c_str());
}

bool Win32DesktopPlatform::CopyFileTo(const std::wstring& from, const std::wstring& to) {
  return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool Win32DesktopPlatform::ReplaceFileWith(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void Win32DesktopPlatform::RemoveFile(const std::wstring& path) {
  DeleteFileW(path.c_str());
}

bool Win32DesktopPlatform::FileHasContent(const std::wstring& path, std::span<const uint8_t> bytes) const {
  // Shared for reading and writing: a viewer that holds the document open
  // for reading does not keep us from comparing it.
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || static_cast<uint64_t>(size.QuadPart) != bytes.size()) return false;
  std::vector<uint8_t> chunk(1u << 16);
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD wanted = static_cast<DWORD>(std::min(chunk.size(), bytes.size() - done));
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk.data(), wanted, &got, nullptr) || got == 0) return false;
    if (!std::equal(chunk.begin(), chunk.begin() + got, bytes.begin() + static_cast<std::ptrdiff_t>(done)))
      return false;
    done += got;
  }
  return true;
}

std::unique_ptr<IRunKey> Win32DesktopPlatform::OpenRunKey() {
  const std::wstring path(kRunKeyPath);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<RegistryRunKey>(key);
}

std::optional<std::wstring> Win32DesktopPlatform::DesktopFolder() const {
  PIDLIST_ABSOLUTE items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &items)) || !items) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  const BOOL found = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);
  if (!found || path[0] == L'\0') return std::nullopt;
  return std::wstring(path);
}

std::wstring Win32DesktopPlatform::ProductName() const {
  wchar_t text[MAX_PATH] = {};
  const int length = LoadStringW(resources_, IDS_PRODUCT_NAME, text, MAX_PATH);
  return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

bool Win32DesktopPlatform::CreateShortcut(const std::wstring& target, const std::wstring& folder,
                                          const std::wstring& name, const std::wstring& description) {
  return pv::settings::CreateShortcut(target, folder, name, description);
}

std::span<const uint8_t> Win32DesktopPlatform::HelpDocument(bool chinese) const {
  const HRSRC info =
      FindResourceW(resources_, MAKEINTRESOURCEW(chinese ? IDH_MANUAL_ZH : IDH_MANUAL_EN), L"HELP_PDF");
  if (!info) return {};
  const DWORD size = SizeofResource(resources_, info);
  const HGLOBAL loaded = LoadResource(resources_, info);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return {};
  return {static_cast<const uint8_t*>(bytes), size};
}

bool Win32DesktopPlatform::WriteWholeFile(const std::wstring& path, std::span<const uint8_t> bytes) {
  FileHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  const bool written = WriteAll(file.get(), bytes);
  const bool ok = file.Close() && written;
  // A half-written manual would open as a broken document: remove it.
  if (!ok) DeleteFileW(path.c_str());
  return ok;
}

void Win32DesktopPlatform::OpenDocument(const std::wstring& path) {
  ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace pv::settings
