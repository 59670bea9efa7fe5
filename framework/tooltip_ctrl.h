// CToolTipCtrl: a tooltip window created and owned by this object. Tools are
// whole windows (TTF_IDISHWND); mouse messages reach it with RelayEvent,
// typically from the tool's PreTranslateMessage.
#pragma once

#include "framework/wnd.h"

class CToolTipCtrl : public CWnd {
 public:
  // A tooltip owned by `parent`; `style` adds TTS_* styles to WS_POPUP.
  bool Create(HWND parent, DWORD style = 0);
  // `text` may be LPSTR_TEXTCALLBACKW (the tool's parent answers TTN_GETDISPINFOW).
  bool AddTool(HWND tool, LPCWSTR text = LPSTR_TEXTCALLBACKW);
  void UpdateTipText(LPCWSTR text, HWND tool);
  // TTDT_AUTOMATIC, TTDT_INITIAL, TTDT_AUTOPOP or TTDT_RESHOW.
  void SetDelayTime(DWORD which, int ms) { SendMessage(TTM_SETDELAYTIME, which, MAKELPARAM(ms, 0)); }
  void RelayEvent(MSG* msg) {
    if (m_hWnd != nullptr) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
  }

 private:
  TTTOOLINFOW ToolInfo(HWND tool, LPCWSTR text) const;
};
