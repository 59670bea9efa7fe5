// Helpers of the overlay tests: a full-screen backdrop window painted with a
// known pattern, a message pump, reading pixels back from the screen, saving
// a screenshot, and the pointer's display count.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/gdi.h"
#include "framework/user_handles.h"
#include "tests/windows/skin/canvas.h"

namespace pv::effects::test {

// Runs this thread's messages for `ms` milliseconds, so windows paint and
// Wine's surfaces reach the X server before the screen is read.
inline void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(2);
  } while (::GetTickCount() - start < ms);
}

// The colour of the backdrop's pattern at a screen point: red follows x,
// green follows y (both modulo 256), blue is fixed. A magnified view of it
// can be checked at any sample point.
inline Rgb PatternAt(int x, int y) {
  return Rgb{x & 0xFF, y & 0xFF, 0x60};
}

// A plain (not top-most) popup over the primary screen painted with the
// pattern. It can take the foreground, and it counts the clicks it gets.
class Backdrop {
 public:
  Backdrop() {
    m_width = ::GetSystemMetrics(SM_CXSCREEN);
    m_height = ::GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_info = info;
    m_pixels.resize(static_cast<size_t>(m_width) * m_height);
    for (int y = 0; y < m_height; ++y) {
      for (int x = 0; x < m_width; ++x) {
        const Rgb c = PatternAt(x, y);
        m_pixels[static_cast<size_t>(y) * m_width + x] = (c.r << 16) | (c.g << 8) | c.b;
      }
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Backdrop::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"PvEffectsBackdrop";
    ::RegisterClassW(&wc);
    m_window.Reset(::CreateWindowExW(0, wc.lpszClassName, L"Backdrop", WS_POPUP, 0, 0, m_width, m_height,
                                     nullptr, nullptr, wc.hInstance, nullptr));
    ::SetWindowLongPtrW(m_window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::ShowWindow(m_window.Get(), SW_SHOW);
    ::SetForegroundWindow(m_window.Get());
    ::UpdateWindow(m_window.Get());
    Pump(200);
  }
  HWND Get() const { return m_window.Get(); }
  int Clicks() const { return m_clicks; }
  int KeysTyped() const { return m_keys; }

  // Paints one grey all over instead of the pattern (the screen changed).
  void TurnGrey() {
    for (std::uint32_t& p : m_pixels) p = 0x808080;
    ::InvalidateRect(m_window.Get(), nullptr, FALSE);
    ::UpdateWindow(m_window.Get());
  }

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Backdrop*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self != nullptr) {
      if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(wnd, &ps);
        ::SetDIBitsToDevice(dc, 0, 0, self->m_width, self->m_height, 0, 0, 0, self->m_height,
                            self->m_pixels.data(), &self->m_info, DIB_RGB_COLORS);
        ::EndPaint(wnd, &ps);
        return 0;
      }
      if (msg == WM_LBUTTONDOWN) ++self->m_clicks;
      if (msg == WM_KEYDOWN) ++self->m_keys;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
  }

  int m_width = 0, m_height = 0;
  BITMAPINFO m_info{};
  std::vector<std::uint32_t> m_pixels;
  CWindowHandle m_window;
  int m_clicks = 0;
  int m_keys = 0;
};

// A copy of a screen rectangle, read through the screen DC as a user sees it.
class ScreenShot {
 public:
  ScreenShot(int x, int y, int width, int height) : m_x(x), m_y(y), m_canvas(width, height, RGB(1, 2, 3)) {
    CClientDC screen(nullptr);
    ::BitBlt(m_canvas.Dc(), 0, 0, width, height, screen.Get(), x, y, SRCCOPY | CAPTUREBLT);
  }
  static ScreenShot Primary() {
    return ScreenShot(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  }
  // A pixel by its screen coordinates.
  Rgb At(int x, int y) const { return m_canvas.Pixel(x - m_x, y - m_y); }
  HDC Dc() const { return m_canvas.Dc(); }

 private:
  int m_x, m_y;
  Canvas m_canvas;
};

// Saves a screen rectangle as a 24-bit BMP next to the test's other output
// (build/windows/artifacts/effects_win32), for a person to look at.
inline void SaveScreenshot(const std::wstring& name) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  Canvas canvas(w, h, RGB(0, 0, 0));
  {
    CClientDC screen(nullptr);
    ::BitBlt(canvas.Dc(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY | CAPTUREBLT);
  }
  wchar_t exe[MAX_PATH];
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir(exe);
  dir = dir.substr(0, dir.find_last_of(L"\\/"));
  dir = dir.substr(0, dir.find_last_of(L"\\/")) + L"\\artifacts";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  dir += L"\\effects_win32";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring path = dir + L"\\" + name + L".bmp";

  const int stride = (w * 3 + 3) & ~3;
  std::vector<std::uint8_t> bits(static_cast<size_t>(stride) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgb c = canvas.Pixel(x, y);
      std::uint8_t* p = &bits[static_cast<size_t>(h - 1 - y) * stride + x * 3];
      p[0] = static_cast<std::uint8_t>(c.b);
      p[1] = static_cast<std::uint8_t>(c.g);
      p[2] = static_cast<std::uint8_t>(c.r);
    }
  }
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
  HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(out, &file, sizeof(file), &written, nullptr);
  ::WriteFile(out, &info, sizeof(info), &written, nullptr);
  ::WriteFile(out, bits.data(), static_cast<DWORD>(bits.size()), &written, nullptr);
  ::CloseHandle(out);
}

// A left click at a screen point, as the mouse makes it.
inline void ClickAt(int x, int y) {
  ::SetCursorPos(x, y);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, clicks, sizeof(INPUT));
  Pump(150);
}

// A key typed on the keyboard (press and release).
inline void TypeKey(WORD vk) {
  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = vk;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof(INPUT));
  Pump(100);
}

// The pointer's display count (visible when 0 or more), left as it was.
inline int PointerDisplayCount() {
  const int count = ::ShowCursor(TRUE) - 1;
  ::ShowCursor(FALSE);
  return count;
}

// The colour `c` under black at `alpha` as a compositor blends it.
inline Rgb Darkened(const Rgb& c, int alpha) {
  const auto keep = [alpha](int v) { return (v * (255 - alpha) + 127) / 255; };
  return Rgb{keep(c.r), keep(c.g), keep(c.b)};
}

// Whether the display blends layered windows by their alpha. Without a
// compositor, Wine shows them opaque. Measured with a black layered window
// of our own at alpha 128 over the backdrop at (x, y).
inline bool DisplayBlendsAlpha(int x, int y) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"PvEffectsAlphaProbe";
  ::RegisterClassW(&wc);
  CWindowHandle probe(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                                        wc.lpszClassName, L"", WS_POPUP, x - 10, y - 10, 20, 20, nullptr,
                                        nullptr, nullptr, nullptr));
  ::SetLayeredWindowAttributes(probe.Get(), 0, 128, LWA_ALPHA);
  ::ShowWindow(probe.Get(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(probe.Get());
  Pump(150);
  const Rgb seen = ScreenShot(x, y, 1, 1).At(x, y);
  probe.Reset();
  Pump(100);
  return seen != Rgb{0, 0, 0};
}

// What a user sees of the backdrop at (x, y) under a black layer at
// `alpha`: the blend with a compositor, black without one.
inline Rgb UnderBlackLayer(int x, int y, int alpha, bool blends) {
  return blends ? Darkened(PatternAt(x, y), alpha) : Rgb{0, 0, 0};
}

// Whether a window's region contains a point in the window's coordinates
// (a window without a region contains its whole rectangle).
inline bool RegionContains(HWND wnd, int x, int y) {
  CRgn region(::CreateRectRgn(0, 0, 0, 0));
  if (::GetWindowRgn(wnd, region.Get()) == ERROR) {
    RECT r;
    ::GetWindowRect(wnd, &r);
    return x >= 0 && y >= 0 && x < r.right - r.left && y < r.bottom - r.top;
  }
  return ::PtInRegion(region.Get(), x, y) != FALSE;
}

}  // namespace pv::effects::test
