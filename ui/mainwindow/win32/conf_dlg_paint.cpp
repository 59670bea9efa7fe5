// CConfDlg: painting of the pages. Every picture comes from the window's
// picture cache (decoded once); GDI clips each drawing to the update region,
// so a repaint of one switch or link costs only that area.
#include "framework/gdi.h"
#include "resources/resource_ids.h"
#include "ui/mainwindow/core/page_placement.h"
#include "ui/mainwindow/win32/conf_dlg.h"

using namespace pv::mainwindow;

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
  switch (m_mode) {
    case MODE_NOT_READY: {
      DrawBackground(dc);
      ShowControl(IDC_VERSION_TEXT, false);
      const PixelRect help = HelpLinkRect(m_mode);
      if (m_hitHelp) DimRect(dc, {help.left, help.top, help.right, help.bottom});
      break;
    }
    case MODE_READY:
      DrawBackground(dc);
      PaintSettingsPage(dc);
      break;
    default:
      break;  // nothing is shown before the first page or during an effect
  }
}

// Over the page picture, in this order: the arrow in the preview, the
// blinking battery, the switches, the pointer toggle, the hover darkening of
// a link, the version label and the colour dot.
void CConfDlg::PaintSettingsPage(HDC dc) {
  const bool showPointer = m_effect.showPointerInSpotlight;
  if (showPointer) {
    const PixelPoint arrow = PreviewArrowAt();
    m_pictures.Draw(dc, IDP_POINTER_ARROW, arrow.x, arrow.y);
  }
  if (m_bBatteryBlink) m_pictures.Draw(dc, IDP_LOW_BATTERY, m_rcBattery.left, m_rcBattery.top);
  const auto drawSwitch = [&](BOOL on, const RECT& at) {
    m_pictures.Draw(dc, on ? IDP_SWITCH_ON : IDP_SWITCH_OFF, at.left, at.top);
  };
  drawSwitch(m_bAntiLost, m_settingsPage.AntiLostRect());
  drawSwitch(m_bAutoBoot, m_settingsPage.AutoBootRect());
  if (m_bTimerPageReady) PaintTimerSwitch(dc);
  const RECT toggle = m_settingsPage.PointerToggleRect();
  m_pictures.Draw(dc, showPointer ? IDP_POINTER_TOGGLE_ON : IDP_POINTER_TOGGLE_OFF, toggle.left, toggle.top);

  const HitFlags& hits = m_settingsPage.Hits();
  const PixelRect link = hits[HitRegion::kHelp]     ? HelpLinkRect(m_mode)
                         : hits[HitRegion::kUpdate] ? UpdateLinkRect(m_mode)
                                                    : PixelRect{};
  if (!link.Empty()) DimRect(dc, {link.left, link.top, link.right, link.bottom});

  // The label's text is set once at start; here it only has to be visible.
  if (HWND version = GetDlgItem(IDC_VERSION_TEXT); version != nullptr && !::IsWindowVisible(version)) {
    ::ShowWindow(version, SW_SHOWNA);
  }
  m_settingsPage.DrawColorDot(dc);
}

// The page picture, copied 1:1 at the client origin (the window has the
// picture's size).
void CConfDlg::DrawBackground(HDC dc) {
  m_pictures.Copy(dc, m_bgImageId);
}
