#include "framework/window_class.h"

#include <cwchar>

#include "framework/wnd.h"

bool RegisterNamedWndClass(LPCWSTR name, UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, name, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = classStyle;
  wc.lpfnWndProc = &CWnd::ClassWindowProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::wstring RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  // The name encodes every argument, so equal requests share one class.
  wchar_t name[96];
  std::swprintf(name, sizeof(name) / sizeof(name[0]), L"PV:%x:%p:%p:%p", classStyle,
                static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
  return RegisterNamedWndClass(name, classStyle, cursor, background, icon) ? std::wstring(name)
                                                                           : std::wstring();
}
