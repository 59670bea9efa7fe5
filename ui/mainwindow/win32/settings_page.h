// CSettingsPage: the controls and the mouse handling of the main window's
// pages. It owns the option switches (AutoBoot, AntiLost, the pointer in the
// spotlight), the three skinned sliders and the values behind them, the
// version label, the click regions with their hit flags, the click
// dispatcher, dragging the borderless window by its top strip, and the
// painting of all of these.
//
// The switch regions and the help link react on the "plug in the receiver"
// page too. The timer page's switch lies on this page: its place and state
// are the timer page's, its hit flag and click dispatch are here.
//
// It takes WM_HSCROLL, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP,
// WM_SETCURSOR and the version label's WM_CTLCOLORSTATIC from the main
// window's handler chain and reaches the window only through its PageHost;
// the rules it follows are in ui/mainwindow/core.
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "framework/message_chain.h"
#include "settings/core/desktop_integration.h"
#include "settings/core/settings_store.h"
#include "ui/mainwindow/core/effect_settings_model.h"
#include "ui/mainwindow/core/page_hits.h"
#include "ui/mainwindow/core/settings_page_values.h"
#include "ui/mainwindow/win32/page_host.h"
#include "ui/skin/win32/bit_slider.h"

namespace pv::link {
class CHidLink;
}

namespace pv::mainwindow {

class CTimerPage;

class CSettingsPage : public IMessageHandler, private SettingsPageOutputs {
 public:
  // host: the window the page lies on; effect: the values the effects are
  // drawn with (brightness, laser colour and the pointer option change
  // here); desktop: autostart and the manual; link: takes the pointer speed;
  // timer: the timer page whose switch lies on this page. All of them
  // outlive the page.
  CSettingsPage(PageHost& host, pv::settings::SettingsStore& store, EffectSettingsModel& effect,
                pv::settings::DesktopIntegration& desktop, pv::link::CHidLink& link, CTimerPage& timer);
  ~CSettingsPage();
  CSettingsPage(const CSettingsPage&) = delete;
  CSettingsPage& operator=(const CSettingsPage&) = delete;

  // Reads the option switches, brightness, pointer speed and laser colour
  // (before the sliders get their positions).
  void LoadValues();
  // Places the click regions from their pictures' sizes, skins the three
  // sliders and gives them their ranges and positions, fills the version label.
  void InitControls();
  // Shows the sliders at their places on the settings page, hides them on
  // any other.
  void ShowControls(bool settingsPage);

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // What the page draws over its picture: on the settings page the pointer
  // arrow, switches, link hover, version label and colour dot; on the
  // "plug in" page the help link's hover.
  void Paint(HDC dc);

  // F1: the manual, unless the pointer rests on the help link or the help
  // is being opened already (the help link's flag guards both).
  void OnHelpKey();
  // The pointer rests on the help link (Escape is left to the page then).
  bool PointerOverHelpLink() const { return m_hits[HitRegion::kHelp]; }
  // The AntiLost switch (the alarm sounds only while it is on).
  bool AntiLostOn() const { return m_bAntiLost; }

 private:
  // SettingsPageOutputs
  void SetLinkPointerSpeed(std::uint8_t speed) override;

  void SetupSlider(pv::skin::CBitSlider& slider, int id, UINT filledPng, UINT emptyPng, int minimum,
                   int maximum, int lineSize, std::uint32_t position);
  void OnHScroll(UINT code, HWND slider);
  bool OnMouseMove(WPARAM keys, pv::PixelPoint point);
  void OnLButtonDown(pv::PixelPoint point);
  bool OnLButtonUp(pv::PixelPoint point);
  bool OnSetCursor(HWND wnd, UINT hitTest);
  // WM_CTLCOLORSTATIC of the version label: its colours and brush.
  LRESULT OnVersionLabelColours(HDC dc);

  void ToggleAutoBoot();
  void ToggleAntiLost();
  void TogglePointerInSpotlight();
  void OpenHelpLink();
  void ClearUpdateLinkHover();
  void Repaint(const RECT& rect, bool erase);
  void PaintSettingsPage(HDC dc);
  // The colour dot left of the colour slider, in the laser's colour.
  void DrawColorDot(HDC dc) const;

  HitRegions Regions() const;

  PageHost& m_host;
  EffectSettingsModel& m_effect;
  pv::settings::DesktopIntegration& m_desktop;
  pv::link::CHidLink& m_link;
  CTimerPage& m_timer;
  SettingsPageValues m_values;

  bool m_bAutoBoot = false;
  bool m_bAntiLost = false;

  HitFlags m_hits;
  bool m_bDragging = false;
  pv::PixelPoint m_dragStart;

  RECT m_rcAutoBoot{};
  RECT m_rcAntiLost{};
  RECT m_rcPointerToggle{};

  HCURSOR m_hHandCursor = nullptr;  // shared system cursor
  CFont m_versionFont;
  CBrush m_versionBrush;  // made at the label's first paint
  pv::skin::CBitSlider m_sliderBrightness;
  pv::skin::CBitSlider m_sliderPointerSpeed;
  pv::skin::CBitSlider m_sliderCircleColor;
};

}  // namespace pv::mainwindow
