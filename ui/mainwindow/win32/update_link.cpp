#include "ui/mainwindow/win32/update_link.h"

#include <windowsx.h>

#include "ui/mainwindow/core/page_layout.h"

bool CUpdateLink::HandleMessage(UINT msg, WPARAM, LPARAM lp, LRESULT&) {
  if (msg != WM_LBUTTONUP || m_running || !m_isReady()) return false;
  if (!pv::mainwindow::kUpdateLink.Contains(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) return false;
  m_running = true;
  m_onClick();
  m_running = false;
  return false;
}
