// Owner of an open registry key (RegOpenKeyExW / RegCreateKeyExW).
#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};
using CRegKey = CUniqueHandle<RegKeyTraits>;
