// CLoadingDlg: the welcome picture shown for two seconds at every start,
// before the program retires to the notification area. Any key, a click,
// switching to another application or the timer closes it.
#pragma once

#include "framework/dialog.h"
#include "ui/skin/win32/ui_base.h"

namespace pv::app {

class CLoadingDlg : public CDialog, public pv::skin::UIBase {
 public:
  CLoadingDlg(UINT templateId, HWND owner, BOOL langZh) : CDialog(templateId, owner), m_bLangZh(langZh) {}

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnPaint();
  void CentreInWorkArea();

  BOOL m_bLangZh;
  UINT m_imageId = 0;
  UINT_PTR m_timerId = 0;
};

}  // namespace pv::app
