// CConfDlg: painting of the pages: the page picture and the low-battery
// symbol; the page's controls, switches and hover marks are the settings
// page's. Every picture comes from the window's picture cache (decoded once);
// GDI clips each drawing to the update region, so a repaint of one switch or
// link costs only that area.
#include "framework/gdi.h"
#include "resources/resource_ids.h"
#include "ui/mainwindow/win32/conf_dlg.h"

namespace pv::mainwindow {

void CConfDlg::OnPaint() {
  CPaintDC paint(m_hWnd);
  const HDC dc = paint.Get();
  if (::IsIconic(m_hWnd)) {
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const RECT client = GetClientRect();
    ::DrawIcon(dc, (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
               (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2, m_hIcon);
    return;
  }
  if (m_mode != MODE_READY && m_mode != MODE_NOT_READY) return;  // before the first page, during an effect
  DrawBackground(dc);
  // The blinking low-battery symbol lies where nothing of the page is drawn.
  if (m_mode == MODE_READY && m_bBatteryBlink) {
    m_pictures.Draw(dc, IDP_LOW_BATTERY, m_rcBattery.left, m_rcBattery.top);
  }
  m_settingsPage.Paint(dc);
}

// The page picture, copied 1:1 at the client origin (the window has the
// picture's size).
void CConfDlg::DrawBackground(HDC dc) {
  m_pictures.Copy(dc, m_bgImageId);
}

}  // namespace pv::mainwindow
