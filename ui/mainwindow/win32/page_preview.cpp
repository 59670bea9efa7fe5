#include "ui/mainwindow/win32/page_preview.h"

#include "effects/core/effect_geometry.h"
#include "ui/mainwindow/core/page_layout.h"
#include "ui/mainwindow/core/window_messages.h"

namespace pv::mainwindow {

POINT CPagePreview::PlaceOnScreen() const {
  // Over the page's sample picture.
  const RECT window = m_page.GetWindowRect();
  return {window.left + kPreviewRect.left, window.top + kPreviewRect.top};
}

std::uint32_t CPagePreview::HoleDiameter() const {
  const pv::effects::EffectSettings& effect = m_settings.Current();
  return pv::effects::PreviewHoleDiameter(effect.spotlightSize, effect.maxEffectSize);
}

void CPagePreview::Create(pv::effects::PreviewOwner& owner) {
  const POINT at = PlaceOnScreen();
  m_preview.SetOwner(&owner);
  m_preview.CreateOrMove(m_page.GetSafeHwnd(), at.x, at.y,
                         pv::effects::OpacityForBrightness(m_settings.Current().brightness), HoleDiameter());
  m_composition.DisableTransitions(m_preview.GetSafeHwnd());
}

void CPagePreview::LayOut(bool settingsPageShown) {
  if (!settingsPageShown) {
    m_preview.HidePreview();
    return;
  }
  m_preview.SetHoleSize(HoleDiameter());
  m_preview.ShowPreview();
  // Activation may raise the page over it once more after this (Wine's X11
  // driver raises a newly focused window by itself): placed again shortly.
  m_page.SetTimer(TIMER_PREVIEW_RESTACK, kPreviewRestackMs);
}

void CPagePreview::OnRestackTimer(bool settingsPageShown) {
  m_page.KillTimer(TIMER_PREVIEW_RESTACK);
  if (settingsPageShown && m_preview.Visible()) m_preview.ShowPreview();
}

void CPagePreview::FollowPage() {
  const POINT at = PlaceOnScreen();
  m_preview.MoveTo(at.x, at.y);
}

void CPagePreview::OnEffectSettingChanged(EffectSetting which, const pv::effects::EffectSettings& now) {
  if (which == EffectSetting::kBrightness)
    m_preview.SetOpacity(pv::effects::OpacityForBrightness(now.brightness));
}

}  // namespace pv::mainwindow
