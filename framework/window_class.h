// Registration of the window classes our own windows (overlays, the hidden
// owner, the thumb button) are created on. Every such class has
// CWnd::ClassWindowProc as window procedure, so a window created on it with
// CWnd::CreateEx is attached to its object from WM_NCCREATE on.
#pragma once

#include <windows.h>

#include <string>

// A class for these class styles, cursor, background brush and icon,
// registered once per process (a second call with the same arguments returns
// the same name). Returns an empty string if registration failed.
std::wstring RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                              HICON icon = nullptr);

// The same under a fixed name (for windows that other tools look up by
// class). Registering a name that exists already succeeds.
bool RegisterNamedWndClass(LPCWSTR name, UINT classStyle, HCURSOR cursor = nullptr,
                           HBRUSH background = nullptr, HICON icon = nullptr);
