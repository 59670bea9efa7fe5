// Owners of GDI resources: objects (bitmaps, brushes, pens, fonts, regions),
// memory DCs, window DCs (paint, client, whole window) and the selection of an
// object into a DC, which is undone when the guard goes out of scope.
#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

template <typename T>
struct GdiObjectTraits {
  using Type = T;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::DeleteObject(h); }
};

template <typename T>
using CGdiObject = CUniqueHandle<GdiObjectTraits<T>>;
using CBitmap = CGdiObject<HBITMAP>;
using CBrush = CGdiObject<HBRUSH>;
using CPen = CGdiObject<HPEN>;
using CFont = CGdiObject<HFONT>;
using CRgn = CGdiObject<HRGN>;

struct MemDcTraits {
  using Type = HDC;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::DeleteDC(h); }
};

// A DC from CreateCompatibleDC; deleted with DeleteDC.
using CMemDC = CUniqueHandle<MemDcTraits>;

// SelectObject for one scope: the previous object is selected back on exit,
// so the selected object can then be deleted safely. Declare the guard after
// the owner of the object it selects, so it is undone first.
class CSelectObject {
 public:
  CSelectObject(HDC dc, HGDIOBJ object)
      : m_dc(dc), m_old(dc && object ? ::SelectObject(dc, object) : nullptr) {}
  ~CSelectObject() {
    if (m_old != nullptr && m_old != HGDI_ERROR) ::SelectObject(m_dc, m_old);
  }
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// BeginPaint / EndPaint around one WM_PAINT.
class CPaintDC {
 public:
  explicit CPaintDC(HWND wnd) : m_wnd(wnd), m_dc(::BeginPaint(wnd, &m_ps)) {}
  ~CPaintDC() { ::EndPaint(m_wnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  HDC Get() const { return m_dc; }
  const PAINTSTRUCT& Paint() const { return m_ps; }

 private:
  HWND m_wnd;
  PAINTSTRUCT m_ps{};
  HDC m_dc;
};

// GetDC (client area; null window = the screen) or GetWindowDC, released with ReleaseDC.
class CClientDC {
 public:
  explicit CClientDC(HWND wnd, bool wholeWindow = false)
      : m_wnd(wnd), m_dc(wholeWindow ? ::GetWindowDC(wnd) : ::GetDC(wnd)) {}
  ~CClientDC() {
    if (m_dc != nullptr) ::ReleaseDC(m_wnd, m_dc);
  }
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;

  HDC Get() const { return m_dc; }

 private:
  HWND m_wnd;
  HDC m_dc;
};

// Fills a rectangle with one colour without creating a brush (the
// ExtTextOut idiom; leaves the DC's background colour as it was).
inline void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour) {
  const COLORREF old = ::SetBkColor(dc, colour);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(dc, old);
}
