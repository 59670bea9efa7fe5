#include "ui/mainwindow/win32/settings_page.h"

#include <windowsx.h>
// After <windows.h>:
#include <commctrl.h>

#include "framework/control_font.h"
#include "framework/strings.h"
#include "framework/win32_rect.h"
#include "link/core/hid_link.h"
#include "resources/resource_ids.h"
#include "settings/win32/reg_keys.h"
#include "ui/mainwindow/core/hue_color.h"
#include "ui/mainwindow/core/page_layout.h"
#include "ui/mainwindow/core/page_placement.h"
#include "ui/mainwindow/win32/timer_page.h"
#include "ui/skin/win32/picture_cache.h"
#include "ui/skin/win32/ui_base.h"
#include "update/win32/version_string.h"

namespace pv::mainwindow {

using pv::PixelPoint;
using pv::settings::SettingId;

namespace {

PixelPoint PointOf(LPARAM lp) {
  return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

constexpr int kThumbFrameWidth = 10;
constexpr int kThumbFrameHeight = 18;
// The 8-point dialog font at 100 % scaling.
constexpr int kVersionFontPixels = 11;
// The version label: black on the page's light grey.
constexpr COLORREF kVersionFieldColour = RGB(214, 214, 214);

}  // namespace

CSettingsPage::CSettingsPage(PageHost& host, pv::settings::SettingsStore& store, EffectSettingsModel& effect,
                             pv::settings::DesktopIntegration& desktop, pv::link::CHidLink& link,
                             CTimerPage& timer)
    : m_host(host),
      m_effect(effect),
      m_desktop(desktop),
      m_link(link),
      m_timer(timer),
      m_values(store, effect, *this),
      m_hHandCursor(::LoadCursorW(nullptr, IDC_HAND)) {}

// Through the settings table: defaults, ranges and write-backs applied there.
void CSettingsPage::LoadValues() {
  m_bAutoBoot = pv::settings::CRegKeys::Load(SettingId::kAutoBoot).IsOn();
  m_bAntiLost = pv::settings::CRegKeys::Load(SettingId::kAntiLost).IsOn();
  m_values.Load();
}

void CSettingsPage::InitControls() {
  // Each region is its picture's own size at its place on the page (pixels
  // of the page picture, whatever the screen's scaling).
  const auto place = [this](UINT png, PixelPoint at) {
    RECT picture{};
    m_host.Pictures().GetRect(png, &picture);
    return ToRect(pv::RectAt(at, picture.right, picture.bottom));
  };
  m_rcAutoBoot = place(IDP_SWITCH_ON, kAutoBootSwitchAt);
  m_rcPointerToggle = place(IDP_POINTER_TOGGLE_ON, kPointerToggleAt);
  m_rcAntiLost = place(IDP_SWITCH_ON, kAntiLostSwitchAt);

  SetupSlider(m_sliderBrightness, IDC_SLIDER_BRIGHTNESS, IDP_CHANNEL_FILLED, IDP_CHANNEL_EMPTY, 0, 100, 0,
              m_values.Brightness());
  SetupSlider(m_sliderPointerSpeed, IDC_SLIDER_POINTER_SPEED, IDP_CHANNEL_FILLED, IDP_CHANNEL_EMPTY, 1, 100,
              2, m_values.PointerSpeed());
  SetupSlider(m_sliderCircleColor, IDC_SLIDER_CIRCLE_COLOR, IDP_HUE_SPECTRUM, IDP_HUE_SPECTRUM, 0,
              static_cast<int>(kHueSteps) - 1, 1, m_values.CircleColorIndex());

  // The sliders lie on the settings page picture: their rounded ends and the
  // thumbs' edges show the page (the cache keeps the picture for the window's life).
  const pv::skin::CBitStrip& page =
      m_host.Pictures().Get(m_host.LangZh() ? IDP_SETTINGS_PAGE_ZH : IDP_SETTINGS_PAGE_EN);
  m_sliderBrightness.SetBackdrop(&page, {kBrightnessSliderAt.x, kBrightnessSliderAt.y});
  m_sliderPointerSpeed.SetBackdrop(&page, {kPointerSpeedSliderAt.x, kPointerSpeedSliderAt.y});
  m_sliderCircleColor.SetBackdrop(&page, {kCircleColorSliderAt.x, kCircleColorSliderAt.y});

  if (HWND version = m_host.Window().GetDlgItem(IDC_VERSION_TEXT)) {
    // The label is a fixed 50 x 20 pixels of the page (the template's dialog
    // units would grow with the screen's scaling): its font is sized in
    // pixels too, so a scaled dialog font never clips the version.
    ::MoveWindow(version, kVersionField.left, kVersionField.top, kVersionField.Width(),
                 kVersionField.Height(), FALSE);
    m_versionFont = CreateFontSizedFromControl(version, -kVersionFontPixels);
    ::SendMessageW(version, WM_SETFONT, reinterpret_cast<WPARAM>(m_versionFont.Get()), FALSE);
    ::SetWindowTextW(version, pv::update::RunningVersionString().c_str());
  }
}

void CSettingsPage::SetupSlider(pv::skin::CBitSlider& slider, int id, UINT filledPng, UINT emptyPng,
                                int minimum, int maximum, int lineSize, std::uint32_t position) {
  if (slider.GetSafeHwnd() == nullptr && !slider.SubclassDlgItem(id, m_host.Window().GetSafeHwnd())) return;
  slider.m_hCursor = m_hHandCursor;
  slider.AttachThumb(
      std::make_shared<pv::skin::CBitStrip>(IDP_SLIDER_THUMB, kThumbFrameWidth, kThumbFrameHeight),
      m_hHandCursor);
  // The colour slider shows the whole spectrum on both sides: one picture.
  auto filled = std::make_shared<pv::skin::CBitStrip>(filledPng, 0, 0);
  auto empty = emptyPng == filledPng ? filled : std::make_shared<pv::skin::CBitStrip>(emptyPng, 0, 0);
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

void CSettingsPage::ShowControls(bool settingsPage) {
  const struct {
    pv::skin::CBitSlider& slider;
    PixelPoint at;
  } sliders[] = {{m_sliderBrightness, kBrightnessSliderAt},
                 {m_sliderPointerSpeed, kPointerSpeedSliderAt},
                 {m_sliderCircleColor, kCircleColorSliderAt}};
  for (const auto& [slider, at] : sliders) {
    if (slider.GetSafeHwnd() == nullptr) continue;
    if (settingsPage) {
      ::SetWindowPos(slider.GetSafeHwnd(), nullptr, at.x, at.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    slider.ShowWindow(settingsPage ? SW_SHOW : SW_HIDE);
  }
}

void CSettingsPage::Repaint(const RECT& rect, bool erase) {
  m_host.Window().InvalidateRect(&rect, erase ? TRUE : FALSE);
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
      if (!OnLButtonUp(PointOf(lp))) return false;
      result = 0;
      return true;
    case WM_SETCURSOR:
      if (!OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp))) return false;
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC:
      if (::GetDlgCtrlID(reinterpret_cast<HWND>(lp)) != IDC_VERSION_TEXT) return false;
      result = OnVersionLabelColours(reinterpret_cast<HDC>(wp));
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
    m_values.SyncBrightness(m_sliderBrightness.GetPos(), step);  // the preview follows the model
  } else if (slider == m_sliderPointerSpeed.GetSafeHwnd()) {
    m_values.SyncPointerSpeed(m_sliderPointerSpeed.GetPos(), step);
  } else if (slider == m_sliderCircleColor.GetSafeHwnd()) {
    if (m_values.SyncCircleColor(m_sliderCircleColor.GetPos(), step)) {
      Repaint(ToRect(kColorDot), false);
      ::UpdateWindow(m_host.Window().GetSafeHwnd());  // the dot follows the thumb at once
    }
  }
  if (code == TB_ENDTRACK) m_values.EndScrollRun();
}

CSettingsPage::~CSettingsPage() {
  // A run that never saw its end (the window went mid-drag) loses nothing.
  m_values.EndScrollRun();
}

HitRegions CSettingsPage::Regions() const {
  HitRegions regions;
  regions.autoBoot = pv::ToPixelRect(m_rcAutoBoot);
  regions.antiLost = pv::ToPixelRect(m_rcAntiLost);
  regions.pointerToggle = pv::ToPixelRect(m_rcPointerToggle);
  regions.timerSwitch = pv::ToPixelRect(m_timer.SwitchRect());
  regions.mode = m_host.Mode();
  regions.timerPageReady = m_timer.Ready();
  return regions;
}

// True when the move changed a hit flag (then nothing else happens).
bool CSettingsPage::OnMouseMove(WPARAM keys, PixelPoint point) {
  const PageMode mode = m_host.Mode();
  if (mode == MODE_EFFECT) return true;
  if (const auto change = TrackHits(m_hits, Regions(), point)) {
    if (change->region == HitRegion::kHelp) Repaint(ToRect(HelpLinkRect(mode)), false);
    if (change->region == HitRegion::kUpdate) Repaint(ToRect(UpdateLinkRect(mode)), false);
    return true;
  }
  const auto offset = DragOffset(m_bDragging, keys == MK_LBUTTON, point, m_dragStart);
  if (!offset) return false;
  // Only the place changes: the window's pixels move with it, nothing is
  // repainted (a repaint per move would redraw the whole page while dragging).
  CWnd& wnd = m_host.Window();
  const RECT window = wnd.GetWindowRect();
  ::SetWindowPos(wnd.GetSafeHwnd(), nullptr, window.left + offset->x, window.top + offset->y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void CSettingsPage::OnLButtonDown(PixelPoint point) {
  if (StartsDrag(m_hits, point, m_host.Mode())) {
    m_dragStart = point;
    m_bDragging = true;
  }
}

// True after the timer switch (nothing more happens then).
bool CSettingsPage::OnLButtonUp(PixelPoint point) {
  m_bDragging = false;
  // The update link acts where the button is released, so it works again
  // without a move in between (the pointer rests on it once its box has
  // closed). Its hover flag below only takes the hover look away.
  if (UpdateLinkRect(m_host.Mode()).Contains(point)) m_host.RunUpdateCheck();
  switch (ClickActionFor(m_hits, m_timer.Ready())) {
    case ClickAction::kAutoBoot:
      ToggleAutoBoot();
      break;
    case ClickAction::kPointerToggle:
      TogglePointerInSpotlight();
      break;
    case ClickAction::kTimerSwitch:
      m_timer.OnSwitchClick();
      return true;
    case ClickAction::kHelp:
      OpenHelpLink();
      break;
    case ClickAction::kUpdate:
      ClearUpdateLinkHover();
      break;
    case ClickAction::kAntiLost:
      ToggleAntiLost();
      break;
    case ClickAction::kNone:
      break;
  }
  // A click anywhere else takes the minutes typed so far over.
  m_timer.OnTimerEditDone();
  return false;
}

bool CSettingsPage::OnSetCursor(HWND wnd, UINT hitTest) {
  if (wnd != m_host.Window().GetSafeHwnd() || hitTest != HTCLIENT || m_host.Mode() == MODE_EFFECT)
    return false;
  const bool overRegion = ClickActionFor(m_hits, m_timer.Ready()) != ClickAction::kNone;
  if (!overRegion || m_hHandCursor == nullptr) return false;
  ::SetCursor(m_hHandCursor);
  return true;
}

// Autostart can fail (the copy or the Run value); the switch then shows what
// is really set, never an autostart that does not exist.
void CSettingsPage::ToggleAutoBoot() {
  const bool reached = m_desktop.SetAutostart(!m_bAutoBoot);
  m_bAutoBoot = AutoBootAfterClick(m_bAutoBoot, reached);
  Repaint(m_rcAutoBoot, false);
}

void CSettingsPage::ToggleAntiLost() {
  m_bAntiLost = !m_bAntiLost;
  Repaint(m_rcAntiLost, false);
  pv::settings::CRegKeys::Save(SettingId::kAntiLost, m_bAntiLost ? 1 : 0);
  if (!m_bAntiLost) return;
  ::UpdateWindow(m_host.Window().GetSafeHwnd());  // the switch shows "on" behind the notice
  const std::wstring text = LoadResString(IDS_ANTILOST_NOTICE);
  const std::wstring caption = LoadResString(IDS_PRODUCT_NAME);
  ::MessageBoxW(m_host.Window().GetSafeHwnd(), text.c_str(), caption.c_str(), MB_OK);
}

void CSettingsPage::TogglePointerInSpotlight() {
  const bool show = !m_effect.Current().showPointerInSpotlight;
  m_effect.SetShowPointerInSpotlight(show);  // kept and stored
  Repaint(ToRect(kPreviewRect), false);
  Repaint(m_rcPointerToggle, false);
}

void CSettingsPage::OpenHelpLink() {
  m_desktop.OpenHelpDocument(m_host.LangZh());
  m_hits.Clear(HitRegion::kHelp);
  Repaint(ToRect(HelpLinkRect(m_host.Mode())), true);
}

void CSettingsPage::ClearUpdateLinkHover() {
  m_hits.Clear(HitRegion::kUpdate);
  Repaint(ToRect(UpdateLinkRect(m_host.Mode())), true);
}

// The help link's flag doubles as the guard: F1 does nothing while the
// pointer rests on the link, nor while the manual is being opened.
void CSettingsPage::OnHelpKey() {
  if (m_host.Mode() == MODE_EFFECT || m_hits[HitRegion::kHelp]) return;
  m_hits.Set(HitRegion::kHelp, true);
  m_desktop.OpenHelpDocument(m_host.LangZh());
  m_hits.Clear(HitRegion::kHelp);
}

void CSettingsPage::Paint(HDC dc) {
  const PageMode mode = m_host.Mode();
  if (mode == MODE_READY) {
    PaintSettingsPage(dc);
    return;
  }
  if (mode != MODE_NOT_READY) return;
  if (HWND version = m_host.Window().GetDlgItem(IDC_VERSION_TEXT)) ::ShowWindow(version, SW_HIDE);
  if (m_hits[HitRegion::kHelp]) pv::skin::UIBase::DimRect(dc, ToRect(HelpLinkRect(mode)));
}

// Over the page picture (and the low-battery symbol, which the window draws
// where nothing of this page lies), in this order: the arrow in the preview,
// the switches, the pointer toggle, the hover darkening of a link, the
// version label and the colour dot.
void CSettingsPage::PaintSettingsPage(HDC dc) {
  pv::skin::CPictureCache& pictures = m_host.Pictures();
  const bool showPointer = m_effect.Current().showPointerInSpotlight;
  if (showPointer) {
    const PixelPoint arrow = PreviewArrowAt();
    pictures.Draw(dc, IDP_POINTER_ARROW, arrow.x, arrow.y);
  }
  const auto drawSwitch = [&](bool on, const RECT& at) {
    pictures.Draw(dc, on ? IDP_SWITCH_ON : IDP_SWITCH_OFF, at.left, at.top);
  };
  drawSwitch(m_bAntiLost, m_rcAntiLost);
  drawSwitch(m_bAutoBoot, m_rcAutoBoot);
  m_timer.PaintSwitch(dc);
  pictures.Draw(dc, showPointer ? IDP_POINTER_TOGGLE_ON : IDP_POINTER_TOGGLE_OFF, m_rcPointerToggle.left,
                m_rcPointerToggle.top);

  const PixelRect link = m_hits[HitRegion::kHelp]     ? HelpLinkRect(MODE_READY)
                         : m_hits[HitRegion::kUpdate] ? UpdateLinkRect(MODE_READY)
                                                      : PixelRect{};
  if (!link.Empty()) pv::skin::UIBase::DimRect(dc, ToRect(link));

  // The label's text is set once at start; here it only has to be visible.
  HWND version = m_host.Window().GetDlgItem(IDC_VERSION_TEXT);
  if (version != nullptr && !::IsWindowVisible(version)) ::ShowWindow(version, SW_SHOWNA);
  DrawColorDot(dc);
}

LRESULT CSettingsPage::OnVersionLabelColours(HDC dc) {
  if (!m_versionBrush) m_versionBrush.Reset(::CreateSolidBrush(kVersionFieldColour));
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SetBkMode(dc, OPAQUE);
  ::SetBkColor(dc, kVersionFieldColour);
  return reinterpret_cast<LRESULT>(m_versionBrush.Get());
}

void CSettingsPage::DrawColorDot(HDC dc) const {
  const COLORREF colour = ToColorRef(m_values.CircleColor());
  CPen pen(::CreatePen(PS_SOLID, 1, colour));
  CBrush brush(::CreateSolidBrush(colour));
  CSelectObject selectPen(dc, pen.Get());
  CSelectObject selectBrush(dc, brush.Get());
  ::Ellipse(dc, kColorDot.left, kColorDot.top, kColorDot.right, kColorDot.bottom);
}

}  // namespace pv::mainwindow
