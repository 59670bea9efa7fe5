#include "link/win32/device_removal.h"

// After <windows.h>:
#include <dbt.h>

#include <cstddef>
#include <cwchar>

namespace pv::link::win32 {

std::optional<std::wstring> RemovedInterfacePath(WPARAM event, LPARAM header) {
  if (event != DBT_DEVICEREMOVECOMPLETE || header == 0) return std::nullopt;
  const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_HDR*>(header);
  if (broadcast->dbch_size < sizeof(DEV_BROADCAST_HDR)) return std::nullopt;
  if (broadcast->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return std::nullopt;
  const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
  constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  const std::size_t nameBytes = broadcast->dbch_size > kNameOffset ? broadcast->dbch_size - kNameOffset : 0;
  return std::wstring(device->dbcc_name, ::wcsnlen(device->dbcc_name, nameBytes / sizeof(wchar_t)));
}

}  // namespace pv::link::win32
