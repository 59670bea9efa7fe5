// Owners of USER resources the program creates itself. Icons and cursors
// loaded with LoadIcon/LoadCursor or LR_SHARED belong to the system and must
// not be put in these owners; those from CreateIconIndirect or LoadImage
// without LR_SHARED must.
#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

struct IconTraits {
  using Type = HICON;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::DestroyIcon(h); }
};
using CIcon = CUniqueHandle<IconTraits>;

struct CursorTraits {
  using Type = HCURSOR;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::DestroyCursor(h); }
};
using CCursor = CUniqueHandle<CursorTraits>;

// A menu from LoadMenuW/CreatePopupMenu; its sub-menus go with it.
struct MenuTraits {
  using Type = HMENU;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::DestroyMenu(h); }
};
using CMenu = CUniqueHandle<MenuTraits>;

// A raw window handle that is destroyed with its owner (for windows without a
// CWnd object, e.g. test fixtures). Windows with a CWnd object own themselves.
struct WindowTraits {
  using Type = HWND;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) {
    if (::IsWindow(h)) ::DestroyWindow(h);
  }
};
using CWindowHandle = CUniqueHandle<WindowTraits>;

struct HookTraits {
  using Type = HHOOK;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::UnhookWindowsHookEx(h); }
};
using CHook = CUniqueHandle<HookTraits>;

struct DevNotifyTraits {
  using Type = HDEVNOTIFY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::UnregisterDeviceNotification(h); }
};
using CDevNotify = CUniqueHandle<DevNotifyTraits>;
