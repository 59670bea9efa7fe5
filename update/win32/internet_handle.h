// Owner of a WinINet handle (session, connection or request).
#pragma once

#include <windows.h>
// After <windows.h>:
#include <wininet.h>

#include "framework/unique_handle.h"

namespace pv::update::win32 {

struct InternetHandleTraits {
  using Type = HINTERNET;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::InternetCloseHandle(h); }
};
using CInternetHandle = CUniqueHandle<InternetHandleTraits>;

}  // namespace pv::update::win32
