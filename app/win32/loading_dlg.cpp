#include "app/win32/loading_dlg.h"

#include "framework/gdi.h"
#include "resources/resource_ids.h"

namespace pv::app {
namespace {
constexpr UINT_PTR kCloseTimerId = 1000;
constexpr UINT kShowForMs = 2000;
}  // namespace

BOOL CLoadingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_imageId = m_bLangZh ? IDP_SPLASH_ZH : IDP_SPLASH_EN;
  RECT picture{};
  GetPngRect(m_imageId, &picture);  // 0 x 0 when the picture is missing
  MoveWindow(0, 0, picture.right, picture.bottom, TRUE);
  CentreInWorkArea();
  m_timerId = SetTimer(kCloseTimerId, kShowForMs);
  return TRUE;
}

// The owner is an invisible window, so the splash is centred in the work
// area of the monitor it is on.
void CLoadingDlg::CentreInWorkArea() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT window = GetWindowRect();
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const RECT& work = monitor.rcWork;
  ::SetWindowPos(m_hWnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The one way the splash closes itself.
void CLoadingDlg::OnOK() {
  if (m_timerId != 0) KillTimer(std::exchange(m_timerId, 0));
  CDialog::OnOK();
}

void CLoadingDlg::OnPaint() {
  CPaintDC paint(m_hWnd);
  DrawPng(paint.Get(), m_imageId, 0, 0);
}

LRESULT CLoadingDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_TIMER:
    case WM_KEYUP:
    case WM_LBUTTONUP:
      OnOK();
      return 0;
    case WM_ACTIVATEAPP: {
      const LRESULT result = DefaultProc(msg, wp, lp);
      if (!wp) OnOK();  // the user switched to another application
      return result;
    }
    case WM_HELP:
      return TRUE;  // F1 opens no help while the splash is up
    default:
      return CDialog::WindowProc(msg, wp, lp);
  }
}

}  // namespace pv::app
