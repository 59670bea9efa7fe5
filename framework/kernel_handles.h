// Owners of kernel handles. Win32 has two "not open" values: most creators
// return null, CreateFile returns INVALID_HANDLE_VALUE; each owner tests the
// value its creator uses.
#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

// Events, mutexes, threads: null when not open.
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::CloseHandle(h); }
};
using CHandle = CUniqueHandle<KernelHandleTraits>;

// Files and devices from CreateFileW: INVALID_HANDLE_VALUE when not open.
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { ::CloseHandle(h); }
};
using CFileHandle = CUniqueHandle<FileHandleTraits>;

// A manual- or auto-reset event; invalid if creation failed.
inline CHandle CreateEventHandle(bool manualReset, bool initialState) {
  return CHandle(::CreateEventW(nullptr, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE, nullptr));
}
