// CSettingsPage: the settings page's controls and mouse handling beside the
// main window. It owns the three skinned sliders and the page values behind
// them, the click regions with their hit flags, the click dispatcher, and
// dragging the borderless window by its top strip. It takes WM_HSCROLL,
// WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP and WM_SETCURSOR from the main
// window's handler chain; the rules it follows are in ui/mainwindow/core.
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "framework/message_chain.h"
#include "settings/core/settings_store.h"
#include "ui/mainwindow/core/page_hits.h"
#include "ui/mainwindow/core/settings_page_values.h"
#include "ui/skin/win32/bit_slider.h"

class CConfDlg;

namespace pv::link {
class CHidLink;
}

class CSettingsPage : public IMessageHandler, private pv::mainwindow::SettingsPageOutputs {
 public:
  // link: takes the pointer speed; it outlives the page.
  CSettingsPage(CConfDlg& dlg, pv::settings::SettingsStore& store, pv::link::CHidLink& link);
  ~CSettingsPage();
  CSettingsPage(const CSettingsPage&) = delete;
  CSettingsPage& operator=(const CSettingsPage&) = delete;

  // Reads brightness, pointer speed and laser colour (before the sliders).
  void LoadValues();
  // Places the click regions from their pictures' sizes, skins the three
  // sliders and gives them their ranges and positions, fills the version label.
  void InitControls();

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  const pv::mainwindow::HitFlags& Hits() const { return m_hits; }
  const pv::mainwindow::SettingsPageValues& Values() const { return m_values; }
  RECT AutoBootRect() const { return m_rcAutoBoot; }
  RECT AntiLostRect() const { return m_rcAntiLost; }
  RECT PointerToggleRect() const { return m_rcPointerToggle; }

  // The colour dot left of the colour slider, in the laser's colour.
  void DrawColorDot(HDC dc) const;

 private:
  // SettingsPageOutputs
  void SetLinkPointerSpeed(std::uint8_t speed) override;

  void SetupSlider(CBitSlider& slider, int id, UINT filledPng, UINT emptyPng, int minimum, int maximum,
                   int lineSize, std::uint32_t position);
  void OnHScroll(UINT code, HWND slider);
  bool OnMouseMove(WPARAM keys, pv::PixelPoint point);
  void OnLButtonDown(pv::PixelPoint point);
  bool OnLButtonUp();
  bool OnSetCursor(HWND wnd, UINT hitTest);

  void ToggleAutoBoot();
  void ToggleAntiLost();
  void TogglePointerInSpotlight();
  void OpenHelpLink();
  void OpenUpdateLink();
  void Repaint(const RECT& rect, bool erase);

  pv::mainwindow::HitRegions Regions() const;

  CConfDlg& m_dlg;
  pv::link::CHidLink& m_link;
  pv::mainwindow::SettingsPageValues m_values;
  pv::mainwindow::HitFlags m_hits;
  bool m_bDragging = false;
  pv::PixelPoint m_dragStart;

  RECT m_rcAutoBoot{};
  RECT m_rcAntiLost{};
  RECT m_rcPointerToggle{};
  RECT m_rcTimerSwitch{};

  HCURSOR m_hHandCursor = nullptr;  // shared system cursor
  CFont m_versionFont;
  CBitSlider m_sliderBrightness;
  CBitSlider m_sliderPointerSpeed;
  CBitSlider m_sliderCircleColor;
};
