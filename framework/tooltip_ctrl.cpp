#include "framework/tooltip_ctrl.h"

bool CToolTipCtrl::Create(HWND parent, DWORD style) {
  return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, parent);
}

TTTOOLINFOW CToolTipCtrl::ToolInfo(HWND tool, LPCWSTR text) const {
  TTTOOLINFOW info{};
  // The size that both comctl32 5.8 and 6 accept (without the v6-only field),
  // so the tooltip works with and without a common-controls 6 manifest.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND;
  info.hwnd = ::GetParent(tool) != nullptr ? ::GetParent(tool) : tool;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<LPWSTR>(text);
  return info;
}

bool CToolTipCtrl::AddTool(HWND tool, LPCWSTR text) {
  TTTOOLINFOW info = ToolInfo(tool, text);
  return m_hWnd != nullptr && SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void CToolTipCtrl::UpdateTipText(LPCWSTR text, HWND tool) {
  TTTOOLINFOW info = ToolInfo(tool, text);
  if (m_hWnd != nullptr) SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}
