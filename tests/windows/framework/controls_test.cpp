#include <gtest/gtest.h>

#include <algorithm>

#include "framework/slider_ctrl.h"
#include "framework/tooltip_ctrl.h"
#include "tests/windows/framework/script_dialog.h"

namespace pv::framework::test {
namespace {

constexpr UINT kScriptStep = WM_APP + 10;

// A trackbar wrapper that swallows the wheel and hears its own scroll
// notifications reflected back from the dialog.
class CProbeSlider : public CSliderCtrl {
 public:
  int wheels = 0;
  std::vector<WORD> scrollCodes;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_MOUSEWHEEL:
        ++wheels;
        return TRUE;  // no default processing: the position must not move
      case WM_REFLECT_BASE + WM_HSCROLL:
        scrollCodes.push_back(LOWORD(wp));
        return 0;  // not handled: the dialog's default processing goes on
    }
    return CSliderCtrl::WindowProc(msg, wp, lp);
  }
};

// Runs `body` inside a live dialog (from its message loop) and ends it.
template <typename Body>
void InsideDialog(CScriptDlg& dlg, Body body) {
  dlg.onInit = [](CScriptDlg& d) { d.PostMessage(kScriptStep); };
  dlg.onMessage = [&](CScriptDlg& d, UINT msg, WPARAM, LPARAM) {
    if (msg != kScriptStep) return false;
    body(d);
    d.EndDialog(IDOK);
    return true;
  };
  ASSERT_EQ(dlg.DoModal(), IDOK);
}

TEST(Controls, SliderWrapperDrivesTheTemplateTrackbar) {
  CScriptDlg dlg;
  CProbeSlider slider;
  InsideDialog(dlg, [&](CScriptDlg& d) {
    ASSERT_TRUE(slider.SubclassDlgItem(IDC_TEST_SLIDER, d.GetSafeHwnd()));
    slider.SetRange(0, 100);
    slider.SetLineSize(1);
    slider.SetPos(40);
    EXPECT_EQ(slider.GetPos(), 40);
    EXPECT_EQ(slider.GetRangeMax(), 100);
    const RECT thumb = slider.GetThumbRect();
    EXPECT_GT(thumb.right, thumb.left);

    slider.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(slider.wheels, 1);
    EXPECT_EQ(slider.GetPos(), 40);  // swallowed

    slider.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);  // the trackbar's own keyboard step
    EXPECT_EQ(slider.GetPos(), 41);
  });
  ASSERT_FALSE(slider.scrollCodes.empty());  // WM_HSCROLL reflected to the wrapper
  EXPECT_EQ(slider.scrollCodes.front(), TB_LINEDOWN);
  EXPECT_EQ(slider.GetSafeHwnd(), nullptr);  // detached when the dialog went
}

TEST(Controls, ParentReflectsColourAndCommandNotificationsToTheEdit) {
  CScriptDlg dlg;
  LRESULT colour = 0;
  InsideDialog(dlg, [&](CScriptDlg& d) {
    HDC dc = ::GetDC(d.edit.GetSafeHwnd());
    colour = d.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(d.Edit()));
    ::ReleaseDC(d.edit.GetSafeHwnd(), dc);
    d.edit.SetWindowText(L"12");  // EN_UPDATE / EN_CHANGE to the dialog
  });
  EXPECT_EQ(colour, reinterpret_cast<LRESULT>(dlg.edit.brush));
  const auto& reflected = dlg.edit.reflected;
  EXPECT_NE(std::find(reflected.begin(), reflected.end(), WM_REFLECT_BASE + WM_CTLCOLOREDIT),
            reflected.end());
  ASSERT_FALSE(reflected.empty());
  EXPECT_EQ(reflected.back(), WM_REFLECT_BASE + WM_COMMAND);  // the change notice of SetWindowText
}

TEST(Controls, TooltipTakesToolsAndTheirText) {
  CScriptDlg dlg;
  std::wstring text;
  HWND tipWindow = nullptr;
  InsideDialog(dlg, [&](CScriptDlg& d) {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(d.GetSafeHwnd()));
    tipWindow = tip.GetSafeHwnd();
    ASSERT_TRUE(tip.AddTool(d.Edit()));
    tip.UpdateTipText(L"42", d.Edit());
    tip.SetDelayTime(TTDT_AUTOMATIC, 100);
    wchar_t buffer[16] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = d.GetSafeHwnd();
    info.uId = reinterpret_cast<UINT_PTR>(d.Edit());
    info.lpszText = buffer;
    tip.SendMessage(TTM_GETTEXTW, 16, reinterpret_cast<LPARAM>(&info));
    text = buffer;
    MSG move{d.Edit(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2), 0, {}};
    tip.RelayEvent(&move);
  });
  EXPECT_EQ(text, L"42");
  EXPECT_FALSE(::IsWindow(tipWindow));  // the object destroyed its tooltip
}

}  // namespace
}  // namespace pv::framework::test
