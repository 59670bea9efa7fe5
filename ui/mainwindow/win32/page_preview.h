// CPagePreview: the settings page's preview of the spotlight as the page
// places it. The preview (the effects' CExampleWnd) is a window of its own:
// it lies over the page's sample picture, follows the main window when it
// moves, shows only while the settings page is on the screen, and takes the
// spotlight's darkness as the brightness slider moves.
#pragma once

#include <windows.h>

#include "effects/core/effect_ports.h"
#include "effects/win32/example_wnd.h"
#include "framework/dwm_composition.h"
#include "framework/wnd.h"
#include "ui/mainwindow/core/effect_settings_model.h"

namespace pv::mainwindow {

class CPagePreview final : public EffectSettingsObserver {
 public:
  // page: the main window; preview: the window shown; composition: shows it
  // without fades; settings: the spotlight's values. All outlive this object.
  CPagePreview(CWnd& page, pv::effects::CExampleWnd& preview, Compositor& composition,
               const pv::effects::EffectSettingsSource& settings)
      : m_page(page), m_preview(preview), m_composition(composition), m_settings(settings) {}
  CPagePreview(const CPagePreview&) = delete;
  CPagePreview& operator=(const CPagePreview&) = delete;

  // Creates the preview hidden, at the spotlight's opacity and with its hole
  // scaled to the preview's height; Escape in it reaches `owner`.
  void Create(pv::effects::PreviewOwner& owner);
  void Hide() { m_preview.HidePreview(); }
  // Shows the preview above the page when the settings page is on the
  // screen (never while the window stays hidden or sits in the tray), and
  // hides it otherwise.
  void LayOut(bool settingsPageShown);
  // TIMER_PREVIEW_RESTACK, a moment after LayOut: above the page once more.
  void OnRestackTimer(bool settingsPageShown);
  // The main window moved: the preview goes with it.
  void FollowPage();

  // EffectSettingsObserver: the brightness slider moved.
  void OnEffectSettingChanged(EffectSetting which, const pv::effects::EffectSettings& now) override;

 private:
  POINT PlaceOnScreen() const;
  std::uint32_t HoleDiameter() const;

  CWnd& m_page;
  pv::effects::CExampleWnd& m_preview;
  Compositor& m_composition;
  const pv::effects::EffectSettingsSource& m_settings;
};

}  // namespace pv::mainwindow
