// The ports through which the effect controller changes the desktop and
// talks to the main window and the receiver link. The Win32 side implements
// them (the overlay windows' owner, the main window); tests use recording
// fakes. Everything here runs on the user-interface thread.
#pragma once

#include <cstdint>

#include "effects/core/effect_types.h"
#include "framework/core/pixel_geometry.h"

namespace pv::effects {

// The overlay windows, the pointer and the taskbar. Every rectangle and point
// is in screen coordinates; the virtual screen may start at negative
// coordinates (a monitor left of or above the primary one).
class OverlayOutputs {
 public:
  virtual PixelPoint CursorPos() = 0;
  virtual PixelRect VirtualScreen() = 0;

  // The invisible shield over the virtual screen that swallows clicks.
  virtual void ShowMask(const PixelRect& virtualScreen) = 0;
  virtual void HideMask() = 0;

  // The dark layer over the virtual screen with a round hole; `holeBox` is
  // the bounding box of the hole's disc (SpotlightHoleBox).
  virtual void ShowSpotlight(const PixelRect& virtualScreen, std::uint8_t opacity,
                             const PixelRect& holeBox) = 0;
  // Moves the hole of a shown spotlight and keeps it above the other
  // top-most windows, without repainting it.
  virtual void MoveSpotlightHole(const PixelRect& holeBox) = 0;
  virtual void HideSpotlight() = 0;
  // Whether the effect is on: from its Show to its Hide (likewise LensVisible
  // and CircleVisible). The overlay keeps this state; the controller asks for
  // it rather than keeping a copy.
  virtual bool SpotlightVisible() = 0;

  // The 2x lens, `lens` its window rectangle (LensWindowRect). `capture`:
  // take a new still picture of the virtual screen first (the lens was not
  // shown); false keeps the picture (a size step).
  virtual void ShowLens(const PixelRect& lens, bool capture) = 0;
  virtual void MoveLens(const PixelRect& lens) = 0;
  virtual void HideLens() = 0;
  virtual bool LensVisible() = 0;

  // The laser disc, `window` its square window (CircleWindowRect), colour
  // 0xRRGGBB.
  virtual void ShowCircle(const PixelRect& window, std::uint32_t rgb) = 0;
  virtual void MoveCircle(const PixelRect& window) = 0;
  virtual void HideCircle() = 0;
  virtual bool CircleVisible() = 0;

  // The black screen over the virtual screen, above everything; hides the
  // taskbar and the pointer while shown. Hiding brings the taskbar back (the
  // pointer comes back through ShowPointer).
  virtual void ShowBlack(const PixelRect& virtualScreen) = 0;
  virtual void HideBlack() = 0;
  virtual bool BlackVisible() = 0;

  // The pointer over the program's own windows: hidden until the display
  // count is negative, shown until it is zero or more.
  virtual void HidePointer() = 0;
  virtual void ShowPointer() = 0;

 protected:
  ~OverlayOutputs() = default;
};

// The main window as the controller sees it.
class EffectHost {
 public:
  // True while the window is in MODE_EFFECT.
  virtual bool InEffectMode() = 0;
  // Sets MODE_EFFECT and lays the window out for it (hides it and its controls).
  virtual void EnterEffectMode() = 0;
  // The window's HideToTray (which stops a visible effect through the controller).
  virtual void HideToTray() = 0;
  // The window is shown and not minimised (Escape hides it then).
  virtual bool MainWindowShown() = 0;
  // The pointer is over the page's help link (Escape is left to the page then).
  virtual bool PointerOverHelpLink() = 0;
  // The window's copy of the link's radio state.
  virtual bool RfLinked() = 0;
  // Raw mouse input sets the pointer-tracking timer to this period.
  virtual void SetTrackingPeriod(unsigned milliseconds) = 0;

 protected:
  ~EffectHost() = default;
};

// The values the effects are drawn with. Their one owner loads them,
// stores every change and tells who follows them (the settings page's
// preview); the controller reads them and changes only the sizes.
class EffectSettingsSource {
 public:
  virtual const EffectSettings& Current() const = 0;
  // A size the remote's size keys changed: kept and stored.
  virtual void SetEffectSize(Scene scene, std::uint32_t size) = 0;

 protected:
  ~EffectSettingsSource() = default;
};

// The receiver link's flags the controller sets (the worker reads them).
class LinkFlags {
 public:
  virtual void RequestResend() = 0;
  virtual void SetEffectLatched() = 0;
  virtual void SetBlackScreen(bool shown) = 0;

 protected:
  ~LinkFlags() = default;
};

}  // namespace pv::effects
