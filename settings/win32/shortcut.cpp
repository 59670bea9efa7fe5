#include "settings/win32/shortcut.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

namespace pv::settings {
namespace {

// COM for the current thread, released only if this object initialised it: a
// thread already in another apartment mode must not be uninitialised by us.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

// Owns one interface reference.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* operator->() const { return p_; }
  T** Out() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace

bool CreateShortcut(const std::wstring& target, const std::wstring& folder, const std::wstring& name,
                    const std::wstring& description) {
  const size_t separator = target.find_last_of(L'\\');
  if (separator == std::wstring::npos) return false;
  const std::wstring workingDirectory = target.substr(0, separator);
  const std::wstring linkFile = folder + L"\\" + name + L".lnk";

  ComScope com;
  ComRef<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out())))) {
    return false;
  }
  ComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) return false;
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(workingDirectory.c_str());
  link->SetDescription(description.c_str());
  link->SetShowCmd(SW_SHOWNORMAL);
  return SUCCEEDED(file->Save(linkFile.c_str(), TRUE));
}

}  // namespace pv::settings
