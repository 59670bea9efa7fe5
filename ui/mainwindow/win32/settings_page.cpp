#include "ui/mainwindow/win32/settings_page.h"

#include <windowsx.h>
// After <windows.h>:
#include <commctrl.h>

#include "effects/core/effect_geometry.h"
#include "framework/control_font.h"
#include "framework/strings.h"
#include "framework/win32_rect.h"
#include "link/core/hid_link.h"
#include "resources/resource_ids.h"
#include "ui/mainwindow/core/hue_color.h"
#include "ui/mainwindow/core/page_layout.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/conf_dlg.h"
#include "update/win32/version_string.h"

using namespace pv::mainwindow;
using pv::PixelPoint;
using pv::settings::SettingId;

namespace {

pv::PixelRect ToPixel(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

PixelPoint PointOf(LPARAM lp) {
  return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

constexpr int kThumbFrameWidth = 10;
constexpr int kThumbFrameHeight = 18;
// The 8-point dialog font at 100 % scaling.
constexpr int kVersionFontPixels = 11;

}  // namespace

CSettingsPage::CSettingsPage(CConfDlg& dlg, pv::settings::SettingsStore& store, pv::link::CHidLink& link)
    : m_dlg(dlg),
      m_link(link),
      m_values(store, dlg.m_effect, *this),
      m_hHandCursor(::LoadCursorW(nullptr, IDC_HAND)) {}

void CSettingsPage::LoadValues() {
  m_values.Load();
}

void CSettingsPage::InitControls() {
  // Each region is its picture's own size at its place on the page (pixels
  // of the page picture, whatever the screen's scaling).
  const auto place = [this](UINT png, PixelPoint at) {
    RECT picture{};
    m_dlg.m_pictures.GetRect(png, &picture);
    return ToRect(pv::RectAt(at, picture.right, picture.bottom));
  };
  m_rcAutoBoot = place(IDP_SWITCH_ON, kAutoBootSwitchAt);
  m_rcPointerToggle = place(IDP_POINTER_TOGGLE_ON, kPointerToggleAt);
  m_rcAntiLost = place(IDP_SWITCH_ON, kAntiLostSwitchAt);
  m_rcTimerSwitch = place(IDP_SWITCH_ON, kTimerSwitchAt);

  SetupSlider(m_sliderBrightness, IDC_SLIDER_BRIGHTNESS, IDP_CHANNEL_FILLED, IDP_CHANNEL_EMPTY, 0, 100, 0,
              m_values.Brightness());
  SetupSlider(m_sliderPointerSpeed, IDC_SLIDER_POINTER_SPEED, IDP_CHANNEL_FILLED, IDP_CHANNEL_EMPTY, 1, 100,
              2, m_values.PointerSpeed());
  SetupSlider(m_sliderCircleColor, IDC_SLIDER_CIRCLE_COLOR, IDP_HUE_SPECTRUM, IDP_HUE_SPECTRUM, 0,
              static_cast<int>(kHueSteps) - 1, 1, m_values.CircleColorIndex());

  // The sliders lie on the settings page picture: their rounded ends and the
  // thumbs' edges show the page (the cache keeps the picture for the window's life).
  const CBitStrip& page = m_dlg.m_pictures.Get(m_dlg.m_bLangZh ? IDP_SETTINGS_PAGE_ZH : IDP_SETTINGS_PAGE_EN);
  m_sliderBrightness.SetBackdrop(&page, {kBrightnessSliderAt.x, kBrightnessSliderAt.y});
  m_sliderPointerSpeed.SetBackdrop(&page, {kPointerSpeedSliderAt.x, kPointerSpeedSliderAt.y});
  m_sliderCircleColor.SetBackdrop(&page, {kCircleColorSliderAt.x, kCircleColorSliderAt.y});

  if (HWND version = m_dlg.GetDlgItem(IDC_VERSION_TEXT)) {
    // The label is a fixed 50 x 20 pixels of the page: its font is sized in
    // pixels too, so a scaled dialog font never clips the version.
    m_versionFont = CreateFontSizedFromControl(version, -kVersionFontPixels);
    ::SendMessageW(version, WM_SETFONT, reinterpret_cast<WPARAM>(m_versionFont.Get()), FALSE);
    ::SetWindowTextW(version, pv::update::RunningVersionString().c_str());
  }
}

void CSettingsPage::SetupSlider(CBitSlider& slider, int id, UINT filledPng, UINT emptyPng, int minimum,
                                int maximum, int lineSize, std::uint32_t position) {
  if (slider.GetSafeHwnd() == nullptr && !slider.SubclassDlgItem(id, m_dlg.m_hWnd)) return;
  slider.m_hCursor = m_hHandCursor;
  slider.AttachThumb(std::make_shared<CBitStrip>(IDP_SLIDER_THUMB, kThumbFrameWidth, kThumbFrameHeight),
                     m_hHandCursor);
  // The colour slider shows the whole spectrum on both sides: one picture.
  auto filled = std::make_shared<CBitStrip>(filledPng, 0, 0);
  auto empty = emptyPng == filledPng ? filled : std::make_shared<CBitStrip>(emptyPng, 0, 0);
  slider.SetChannel(std::move(filled), std::move(empty));
  slider.m_thumbOffset = 0;
  slider.SetRange(minimum, maximum, false);
  slider.SetLineSize(lineSize);
  slider.SetPos(static_cast<int>(position));
  slider.RefreshTip();
}

void CSettingsPage::SetLinkPointerSpeed(std::uint8_t speed) {
  m_link.SetPointerSpeed(speed);
}

void CSettingsPage::Repaint(const RECT& rect, bool erase) {
  m_dlg.InvalidateRect(&rect, erase ? TRUE : FALSE);
}

bool CSettingsPage::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_HSCROLL:
      OnHScroll(LOWORD(wp), reinterpret_cast<HWND>(lp));
      return false;  // the default handling follows
    case WM_MOUSEMOVE:
      if (!OnMouseMove(wp, PointOf(lp))) return false;
      result = 0;
      return true;
    case WM_LBUTTONDOWN:
      OnLButtonDown(PointOf(lp));
      return false;
    case WM_LBUTTONUP:
      if (!OnLButtonUp()) return false;
      result = 0;
      return true;
    case WM_SETCURSOR:
      if (!OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp))) return false;
      result = TRUE;
      return true;
    default:
      return false;
  }
}

// Every scroll notification (drag, channel click, keys, end of scroll) takes
// the slider's position over; values are stored on every change. During a
// drag or a run of key steps they are flushed once, when the run ends
// (TB_ENDTRACK): the thumb's release or the key's.
void CSettingsPage::OnHScroll(UINT code, HWND slider) {
  if (slider == nullptr) return;
  const bool runEnds = code == TB_ENDTRACK || code == TB_THUMBPOSITION;
  const ScrollStep step = runEnds ? ScrollStep::kEndOfRun : ScrollStep::kWithinRun;
  if (slider == m_sliderBrightness.GetSafeHwnd()) {
    if (m_values.SyncBrightness(m_sliderBrightness.GetPos(), step)) {
      m_dlg.OnPreviewOpacityChanged(pv::effects::OpacityForBrightness(m_values.Brightness()));
    }
  } else if (slider == m_sliderPointerSpeed.GetSafeHwnd()) {
    m_values.SyncPointerSpeed(m_sliderPointerSpeed.GetPos(), step);
  } else if (slider == m_sliderCircleColor.GetSafeHwnd()) {
    if (m_values.SyncCircleColor(m_sliderCircleColor.GetPos(), step)) {
      Repaint(ToRect(kColorDot), false);
      ::UpdateWindow(m_dlg.m_hWnd);  // the dot follows the thumb at once
    }
  }
  if (code == TB_ENDTRACK) m_values.EndScrollRun();
}

CSettingsPage::~CSettingsPage() {
  // A run that never saw its end (the window went mid-drag) loses nothing.
  m_values.EndScrollRun();
}

pv::mainwindow::HitRegions CSettingsPage::Regions() const {
  HitRegions regions;
  regions.autoBoot = ToPixel(m_rcAutoBoot);
  regions.antiLost = ToPixel(m_rcAntiLost);
  regions.pointerToggle = ToPixel(m_rcPointerToggle);
  regions.timerSwitch = ToPixel(m_rcTimerSwitch);
  regions.mode = m_dlg.m_mode;
  regions.timerPageReady = m_dlg.m_bTimerPageReady != FALSE;
  return regions;
}

// True when the move changed a hit flag (then nothing else happens).
bool CSettingsPage::OnMouseMove(WPARAM keys, PixelPoint point) {
  if (m_dlg.m_mode == MODE_EFFECT) return true;
  if (const auto change = TrackHits(m_hits, Regions(), point)) {
    m_dlg.m_hitHelp = m_hits[HitRegion::kHelp] ? TRUE : FALSE;
    if (change->region == HitRegion::kHelp) Repaint(ToRect(HelpLinkRect(m_dlg.m_mode)), false);
    if (change->region == HitRegion::kUpdate) Repaint(ToRect(UpdateLinkRect(m_dlg.m_mode)), false);
    return true;
  }
  const auto offset = DragOffset(m_bDragging, keys == MK_LBUTTON, point, m_dragStart);
  if (!offset) return false;
  // Only the place changes: the window's pixels move with it, nothing is
  // repainted (a repaint per move would redraw the whole page while dragging).
  const RECT window = m_dlg.GetWindowRect();
  ::SetWindowPos(m_dlg.m_hWnd, nullptr, window.left + offset->x, window.top + offset->y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void CSettingsPage::OnLButtonDown(PixelPoint point) {
  if (StartsDrag(m_hits, point, m_dlg.m_mode)) {
    m_dragStart = point;
    m_bDragging = true;
  }
}

// True after the timer switch (nothing more happens then).
bool CSettingsPage::OnLButtonUp() {
  m_bDragging = false;
  switch (ClickActionFor(m_hits, m_dlg.m_bTimerPageReady != FALSE)) {
    case ClickAction::kAutoBoot:
      ToggleAutoBoot();
      break;
    case ClickAction::kPointerToggle:
      TogglePointerInSpotlight();
      break;
    case ClickAction::kTimerSwitch:
      m_dlg.OnTimerSwitchClick();
      return true;
    case ClickAction::kHelp:
      OpenHelpLink();
      break;
    case ClickAction::kUpdate:
      OpenUpdateLink();
      break;
    case ClickAction::kAntiLost:
      ToggleAntiLost();
      break;
    case ClickAction::kNone:
      break;
  }
  // A click anywhere else takes the minutes typed so far over (timer page).
  ::SendMessageW(m_dlg.m_hWnd, UM_TIMER_EDIT_DONE, 0, 0);
  return false;
}

bool CSettingsPage::OnSetCursor(HWND wnd, UINT hitTest) {
  if (wnd != m_dlg.m_hWnd || hitTest != HTCLIENT || m_dlg.m_mode == MODE_EFFECT) return false;
  const bool overRegion = ClickActionFor(m_hits, m_dlg.m_bTimerPageReady != FALSE) != ClickAction::kNone;
  if (!overRegion || m_hHandCursor == nullptr) return false;
  ::SetCursor(m_hHandCursor);
  return true;
}

// Autostart can fail (the copy or the Run value); the switch then shows what
// is really set, never an autostart that does not exist.
void CSettingsPage::ToggleAutoBoot() {
  const bool wasOn = m_dlg.m_bAutoBoot != FALSE;
  const bool reached = m_dlg.m_desktop.SetAutostart(!wasOn);
  m_dlg.m_bAutoBoot = AutoBootAfterClick(wasOn, reached) ? TRUE : FALSE;
  Repaint(m_rcAutoBoot, false);
}

void CSettingsPage::ToggleAntiLost() {
  m_dlg.m_bAntiLost = !m_dlg.m_bAntiLost;
  Repaint(m_rcAntiLost, false);
  CRegKeys::Save(SettingId::kAntiLost, m_dlg.m_bAntiLost ? 1 : 0);
  if (!m_dlg.m_bAntiLost) return;
  ::UpdateWindow(m_dlg.m_hWnd);  // the switch shows "on" behind the notice
  const std::wstring text = LoadResString(IDS_ANTILOST_NOTICE);
  const std::wstring caption = LoadResString(IDS_PRODUCT_NAME);
  ::MessageBoxW(m_dlg.m_hWnd, text.c_str(), caption.c_str(), MB_OK);
}

void CSettingsPage::TogglePointerInSpotlight() {
  bool& show = m_dlg.m_effect.showPointerInSpotlight;
  show = !show;
  Repaint(ToRect(kPreviewRect), false);
  Repaint(m_rcPointerToggle, false);
  CRegKeys::Save(SettingId::kDefault, show ? 1 : 0);
}

void CSettingsPage::OpenHelpLink() {
  m_dlg.m_desktop.OpenHelpDocument(m_dlg.m_bLangZh != FALSE);
  m_hits.Clear(HitRegion::kHelp);
  m_dlg.m_hitHelp = FALSE;
  Repaint(ToRect(HelpLinkRect(m_dlg.m_mode)), true);
}

// The check itself has run already: the update link's own handler takes the
// same release first (CUpdateLink). Here the link loses its hover look.
void CSettingsPage::OpenUpdateLink() {
  m_hits.Clear(HitRegion::kUpdate);
  Repaint(ToRect(UpdateLinkRect(m_dlg.m_mode)), true);
}

void CSettingsPage::DrawColorDot(HDC dc) const {
  const COLORREF colour = ToColorRef(m_values.CircleColor());
  CPen pen(::CreatePen(PS_SOLID, 1, colour));
  CBrush brush(::CreateSolidBrush(colour));
  CSelectObject selectPen(dc, pen.Get());
  CSelectObject selectBrush(dc, brush.Get());
  ::Ellipse(dc, kColorDot.left, kColorDot.top, kColorDot.right, kColorDot.bottom);
}
