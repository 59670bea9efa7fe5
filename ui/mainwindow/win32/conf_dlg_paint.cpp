// CConfDlg: painting of the pages.
#include "framework/gdi.h"
#include "resources/resource_ids.h"
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
    case MODE_NOT_READY:
      DrawBackground(dc);
      ShowControl(IDC_VERSION_TEXT, false);
      if (m_hitHelp) DimRect(dc, m_rcHelp);
      break;
    case MODE_READY:
      DrawBackground(dc);
      // Switches, symbols, hover feedback and the colour dot are drawn over
      // the page here (page painting).
      PaintTimerSwitch(dc);
      break;
    default:
      break;  // nothing is shown before the first page or during an effect
  }
}

// The page picture, copied 1:1 over the whole client area (the window has
// the picture's size).
void CConfDlg::DrawBackground(HDC dc) {
  CBitmap picture;
  if (!LoadPng(picture, m_bgImageId)) return;
  BITMAP info{};
  ::GetObjectW(picture.Get(), sizeof(info), &info);
  CMemDC memory(::CreateCompatibleDC(dc));
  CSelectObject select(memory.Get(), picture.Get());
  const RECT client = GetClientRect();
  ::StretchBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
}
