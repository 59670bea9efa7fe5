#include "settings/win32/registry_backend.h"

#include <windows.h>

#include <string>

namespace pv::settings {

RawValue RegistryBackend::Query(std::wstring_view name) const {
  const std::wstring valueName(name);
  RawValue raw;
  DWORD size = static_cast<DWORD>(raw.data.size());
  const LSTATUS status =
      RegQueryValueExW(HKEY_CURRENT_USER, valueName.c_str(), nullptr, nullptr, raw.data.data(), &size);
  switch (status) {
    case ERROR_SUCCESS:
      raw.status = QueryStatus::kOk;
      raw.size = size;
      break;
    case ERROR_FILE_NOT_FOUND:
      raw.status = QueryStatus::kMissing;
      break;
    case ERROR_MORE_DATA:
      raw.status = QueryStatus::kTooLarge;
      break;
    default:
      raw.status = QueryStatus::kError;
      break;
  }
  return raw;
}

bool RegistryBackend::SetDword(std::wstring_view name, uint32_t value) {
  // Stored is not yet durable: only a flushed value survives a power cut.
  return SetDwordUnflushed(name, value) && Flush();
}

bool RegistryBackend::SetDwordUnflushed(std::wstring_view name, uint32_t value) {
  const std::wstring valueName(name);
  const DWORD data = value;
  return RegSetValueExW(HKEY_CURRENT_USER, valueName.c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

bool RegistryBackend::Flush() {
  return RegFlushKey(HKEY_CURRENT_USER) == ERROR_SUCCESS;
}

}  // namespace pv::settings
