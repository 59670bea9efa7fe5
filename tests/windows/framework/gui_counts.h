// The process's GDI, USER and kernel object counts, to show that
// create/destroy cycles leave nothing behind.
//
// Windows reports both through GetGuiResources. Wine's GetGuiResources is a
// stub that returns 0, so there the counts come from the handle tables
// themselves: Wine accepts a handle's table index alone (high word 0) for a
// live object, so probing every index counts the live GDI objects; for USER
// the windows of this thread are counted (top-level and children).
#pragma once

#include <windows.h>

struct GuiCounts {
  DWORD gdi;
  DWORD user;
  friend bool operator==(const GuiCounts&, const GuiCounts&) = default;
};

inline DWORD CountGdiObjectsByIndex() {
  DWORD count = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
  }
  return count;
}

inline BOOL CALLBACK CountWindow(HWND wnd, LPARAM counter) {
  ++*reinterpret_cast<DWORD*>(counter);
  ::EnumChildWindows(
      wnd, [](HWND, LPARAM c) -> BOOL { return ++*reinterpret_cast<DWORD*>(c), TRUE; }, counter);
  return TRUE;
}

inline DWORD CountThreadWindows() {
  DWORD count = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The process's open kernel handles: GetProcessHandleCount, or on Wine,
// where that returns 0, the handle values that are open (multiples of 4).
inline DWORD CurrentKernelHandleCount() {
  DWORD count = 0;
  if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count != 0) return count;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

inline GuiCounts CurrentGuiCounts() {
  GuiCounts counts{::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
                   ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)};
  if (counts.gdi == 0) counts.gdi = CountGdiObjectsByIndex();
  if (counts.user == 0) counts.user = CountThreadWindows();
  return counts;
}
