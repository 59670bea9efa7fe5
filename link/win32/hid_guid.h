// The HID interface class GUID in the link core's own form.
#pragma once

#include <windows.h>

#include <algorithm>

extern "C" {
#include <hidsdi.h>
}

#include "link/core/link_ports.h"

namespace pv::link::win32 {

inline HidClassGuid QueryHidClassGuid() {
  GUID guid{};
  HidD_GetHidGuid(&guid);
  HidClassGuid result;
  result.data1 = guid.Data1;
  result.data2 = guid.Data2;
  result.data3 = guid.Data3;
  std::copy(std::begin(guid.Data4), std::end(guid.Data4), std::begin(result.data4));
  return result;
}

}  // namespace pv::link::win32
