// CConfDlg: the presentation effects. The window owns the overlay windows and
// the effect controller, and is the controller's host: it enters the effect
// mode, puts itself into the tray and runs the pointer-tracking timer. It
// also places the settings page's preview of the spotlight.
#include "effects/core/effect_geometry.h"
#include "ui/mainwindow/core/window_messages.h"
#include "ui/mainwindow/win32/conf_dlg.h"

using namespace pv::mainwindow;

namespace {

// The preview lies over the page's sample picture, at this client offset.
constexpr POINT kPreviewOffset{15, 103};

}  // namespace

// Right after the raw-input registration: mask, spotlight, lens, circle and
// the black screen, all hidden (which also brings back a taskbar an earlier
// run left hidden).
void CConfDlg::CreateEffectWindows() {
  m_effectWindows.Create(m_hWnd);
  // No fade as the window goes into the tray: the magnifier's picture,
  // taken as an effect starts, must not catch it on its way out.
  m_effectWindows.Composition().DisableTransitions(m_hWnd);
}

// Hidden until the settings page is laid out; at the spotlight's opacity,
// with the spotlight's hole scaled to its height.
void CConfDlg::CreatePreview() {
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  const pv::effects::EffectSettings& effect = m_effectSettings.Current();
  pv::effects::CExampleWnd& preview = m_effectWindows.Preview();
  preview.SetOwner(this);
  preview.CreateOrMove(m_hWnd, window.left + kPreviewOffset.x, window.top + kPreviewOffset.y,
                       pv::effects::OpacityForBrightness(effect.brightness),
                       pv::effects::PreviewHoleDiameter(effect.spotlightSize, effect.maxEffectSize));
  m_effectWindows.Composition().DisableTransitions(preview.GetSafeHwnd());
}

// The preview shows only on the settings page of a window that is on the
// screen: never while the window stays hidden or sits in the tray.
void CConfDlg::LayOutPreview() {
  pv::effects::CExampleWnd& preview = m_effectWindows.Preview();
  if (m_mode != MODE_READY || !MainWindowShown()) {
    preview.HidePreview();
    return;
  }
  const pv::effects::EffectSettings& effect = m_effectSettings.Current();
  preview.SetHoleSize(pv::effects::PreviewHoleDiameter(effect.spotlightSize, effect.maxEffectSize));
  preview.ShowPreview();
  // Activation may raise the page over it once more after this (Wine's X11
  // driver raises a newly focused window by itself): placed again shortly.
  SetTimer(TIMER_PREVIEW_RESTACK, kPreviewRestackMs);
}

void CConfDlg::OnPreviewRestackTimer() {
  KillTimer(TIMER_PREVIEW_RESTACK);
  pv::effects::CExampleWnd& preview = m_effectWindows.Preview();
  if (m_mode == MODE_READY && MainWindowShown() && preview.Visible()) preview.ShowPreview();
}

// The preview is a window of its own and follows the main window.
void CConfDlg::OnWindowPosChanged(const WINDOWPOS* pos) {
  if (pos == nullptr || (pos->flags & SWP_NOMOVE) != 0) return;
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  m_effectWindows.Preview().MoveTo(window.left + kPreviewOffset.x, window.top + kPreviewOffset.y);
}

// Escape in the focused preview: the page's own cancel.
void CConfDlg::OnPreviewCancel() {
  OnCancel();
}

bool CConfDlg::InEffectMode() {
  return m_mode == MODE_EFFECT;
}

void CConfDlg::EnterEffectMode() {
  m_mode = MODE_EFFECT;
  ApplyLayout();
}

bool CConfDlg::MainWindowShown() {
  return ::IsWindowVisible(m_hWnd) != FALSE && ::IsIconic(m_hWnd) == FALSE;
}

bool CConfDlg::PointerOverHelpLink() {
  return m_settingsPage.PointerOverHelpLink();
}

bool CConfDlg::RfLinked() {
  return m_bRfLinked != FALSE;
}

void CConfDlg::SetTrackingPeriod(unsigned milliseconds) {
  m_timerTrack = SetTimer(TIMER_TRACK_POINTER, milliseconds);
}
