// A recording fake of the effect controller's four ports: the overlay
// windows with the pointer and the taskbar, the main window, the effect
// settings, the link flags.
// Window operations and flag writes are recorded as short strings in call
// order; questions (pointer position, mode, which overlay shows, ...) answer
// from plain fields.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "effects/core/effect_controller.h"
#include "effects/core/effect_ports.h"

namespace pv::effects::test {

inline std::string Str(const PixelRect& r) {
  std::ostringstream out;
  out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
  return out.str();
}

class FakeDesktop : public OverlayOutputs, public EffectHost, public EffectSettingsSource, public LinkFlags {
 public:
  // OverlayOutputs
  PixelPoint CursorPos() override { return cursor; }
  PixelRect VirtualScreen() override { return virtualScreen; }
  void ShowMask(const PixelRect& vs) override { Record("ShowMask " + Str(vs)); }
  void HideMask() override { Record("HideMask"); }
  void ShowSpotlight(const PixelRect& vs, std::uint8_t opacity, const PixelRect& hole) override {
    Record("ShowSpotlight " + Str(vs) + " opacity " + std::to_string(opacity) + " hole " + Str(hole));
    spotlightShown = true;
  }
  void MoveSpotlightHole(const PixelRect& hole) override { Record("MoveHole " + Str(hole)); }
  void HideSpotlight() override {
    Record("HideSpotlight");
    spotlightShown = false;
  }
  bool SpotlightVisible() override { return spotlightShown; }
  void ShowLens(const PixelRect& lens, bool capture) override {
    Record("ShowLens " + Str(lens) + (capture ? " capture" : " keep"));
    lensShown = true;
  }
  void MoveLens(const PixelRect& lens) override { Record("MoveLens " + Str(lens)); }
  void HideLens() override {
    Record("HideLens");
    lensShown = false;
  }
  bool LensVisible() override { return lensShown; }
  void ShowCircle(const PixelRect& window, std::uint32_t rgb) override {
    std::ostringstream colour;
    colour << std::hex << rgb;
    Record("ShowCircle " + Str(window) + " #" + colour.str());
    circleShown = true;
  }
  void MoveCircle(const PixelRect& window) override { Record("MoveCircle " + Str(window)); }
  void HideCircle() override {
    Record("HideCircle");
    circleShown = false;
  }
  bool CircleVisible() override { return circleShown; }
  void ShowBlack(const PixelRect& vs) override {
    Record("ShowBlack " + Str(vs));
    blackShown = true;
    taskbarShown = false;
    pointerShown = false;
  }
  void HideBlack() override {
    Record("HideBlack");
    blackShown = false;
    taskbarShown = true;
  }
  bool BlackVisible() override { return blackShown; }
  void HidePointer() override {
    Record("HidePointer");
    pointerShown = false;
  }
  void ShowPointer() override {
    Record("ShowPointer");
    pointerShown = true;
  }

  // EffectHost: behaves like the main window (HideToTray stops a visible
  // effect through the controller, then hides the window).
  bool InEffectMode() override { return effectMode; }
  void EnterEffectMode() override {
    Record("EnterEffectMode");
    effectMode = true;
    mainWindowShown = false;
  }
  void HideToTray() override {
    Record("HideToTray");
    if (controller != nullptr && controller->AnyEffectVisible()) controller->StopEffects();
    mainWindowShown = false;
  }
  bool MainWindowShown() override { return mainWindowShown; }
  bool PointerOverHelpLink() override { return pointerOverHelp; }
  bool RfLinked() override { return rfLinked; }
  void SetTrackingPeriod(unsigned ms) override { Record("Period " + std::to_string(ms)); }

  // EffectSettingsSource
  const EffectSettings& Current() const override { return settings; }
  void SetEffectSize(Scene scene, std::uint32_t size) override {
    Record("Save " + std::to_string(scene) + " " + std::to_string(size));
    switch (scene) {
      case SCENE_SPOTLIGHT:
        settings.spotlightSize = size;
        break;
      case SCENE_MAGNIFIER:
        settings.zoomSize = size;
        break;
      default:
        settings.circleSize = size;
        break;
    }
  }

  // LinkFlags
  void RequestResend() override { Record("Resend"); }
  void SetEffectLatched() override { Record("Latched"); }
  void SetBlackScreen(bool shown) override { Record(shown ? "Black 1" : "Black 0"); }

  // Returns the calls recorded so far and forgets them.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
  }

  EffectController* controller = nullptr;
  PixelPoint cursor{100, 200};
  PixelRect virtualScreen{0, 0, 1920, 1080};
  bool effectMode = false;
  bool mainWindowShown = false;
  bool pointerOverHelp = false;
  bool rfLinked = true;
  // Each overlay's shown state, kept as the overlay windows keep it.
  bool spotlightShown = false;
  bool lensShown = false;
  bool circleShown = false;
  bool blackShown = false;
  bool taskbarShown = true;
  bool pointerShown = true;
  EffectSettings settings;
  std::vector<std::string> calls;

 private:
  void Record(std::string call) { calls.push_back(std::move(call)); }
};

// What StopEffects does, in order.
inline const std::vector<std::string> kStopCalls = {"ShowPointer", "HideMask", "HideSpotlight", "HideLens",
                                                    "HideCircle"};

}  // namespace pv::effects::test
