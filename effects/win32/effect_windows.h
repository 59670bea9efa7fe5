// CEffectWindows: the main window's overlay windows and the desktop side of
// the effect controller (its OverlayOutputs port). Owns the mask, spotlight,
// magnifier, laser circle, black screen and the settings page's preview.
// Destroying it while an effect or the black screen is shown gives the
// desktop back: taskbar shown, pointer visible.
#pragma once

#include <windows.h>

#include "effects/core/effect_ports.h"
#include "effects/win32/black_wnd.h"
#include "effects/win32/circle_wnd.h"
#include "effects/win32/example_wnd.h"
#include "effects/win32/mask_wnd.h"
#include "effects/win32/spotlight_wnd.h"
#include "effects/win32/zoom_wnd.h"
#include "framework/dwm_composition.h"

namespace pv::effects {

class CEffectWindows final : public OverlayOutputs {
 public:
  CEffectWindows() = default;
  ~CEffectWindows();
  CEffectWindows(const CEffectWindows&) = delete;
  CEffectWindows& operator=(const CEffectWindows&) = delete;

  // Creates mask, spotlight, magnifier and circle, then the black screen,
  // all hidden; shows the taskbar. `mainWindow` receives the black screen's
  // close request. False if a window could not be made.
  //
  // They are owned by a hidden window of their own, never by the main
  // window: Windows hides an owner's popups when it is minimised and shows
  // them again at its restore, and the main window is minimised on its way
  // into the tray. Only the effect controller shows and hides the effects.
  bool Create(HWND mainWindow);

  // The hidden, never minimised owner of the effect windows.
  HWND Owner() const { return m_owner.GetSafeHwnd(); }

  // The compositor the overlays are shown through (the preview and the main
  // window use it too: no fade transitions).
  Compositor& Composition() { return m_composition; }

  // The largest effect: the smaller side of the primary screen, in the
  // physical pixels the overlays work in.
  static std::uint32_t MaxEffectSize();

  // The settings page creates, moves and shapes the preview itself.
  CExampleWnd& Preview() { return m_preview; }

  // Put the desktop back as it was before any effect: every overlay hidden,
  // taskbar shown, pointer visible (program exit, session end).
  void RestoreDesktop();

  // OverlayOutputs
  PixelPoint CursorPos() override;
  PixelRect VirtualScreen() override;
  void ShowMask(const PixelRect& virtualScreen) override;
  void HideMask() override;
  void ShowSpotlight(const PixelRect& virtualScreen, std::uint8_t opacity, const PixelRect& holeBox) override;
  void MoveSpotlightHole(const PixelRect& holeBox) override;
  void HideSpotlight() override;
  bool SpotlightVisible() override;
  void ShowLens(const PixelRect& lens, bool capture) override;
  void MoveLens(const PixelRect& lens) override;
  void HideLens() override;
  bool LensVisible() override;
  void ShowCircle(const PixelRect& window, std::uint32_t rgb) override;
  void MoveCircle(const PixelRect& window) override;
  void HideCircle() override;
  bool CircleVisible() override;
  void ShowBlack(const PixelRect& virtualScreen) override;
  void HideBlack() override;
  bool BlackVisible() override;
  void HidePointer() override;
  void ShowPointer() override;

  // For tests and the main window: the windows themselves.
  CMaskWnd& Mask() { return m_mask; }
  CSpotlightWnd& Spotlight() { return m_spotlight; }
  CZoomWnd& Lens() { return m_lens; }
  CCircleWnd& Circle() { return m_circle; }
  CBlackWnd& Black() { return m_black; }

 private:
  bool AnythingShown() const;

  CDwmComposition m_composition;
  // Before the windows, so it is destroyed after the windows it owns.
  CWnd m_owner;
  CMaskWnd m_mask;
  CSpotlightWnd m_spotlight;
  CZoomWnd m_lens;
  CCircleWnd m_circle;
  CBlackWnd m_black;
  CExampleWnd m_preview;
  bool m_pointerHidden = false;
};

}  // namespace pv::effects
