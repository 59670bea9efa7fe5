// Scenes and the effect values the controller works with.
#pragma once

#include <cstdint>

namespace pv::effects {

// The effect the remote's scene key has chosen (kept by the link, stored as
// the setting LastScene). Values are fixed: the link and the receiver use them.
enum Scene : std::uint8_t {
  SCENE_SPOTLIGHT = 0,
  SCENE_MAGNIFIER = 1,
  SCENE_CIRCLE = 2,
  SCENE_NONE = 255,  // none of the three is visible
};

// The values the effects are drawn with, loaded from the settings at start
// and changed by the settings page. Sizes are pixels within
// [kMinEffectSize, maxEffectSize].
struct EffectSettings {
  std::uint32_t spotlightSize = 500;
  std::uint32_t zoomSize = 500;
  std::uint32_t circleSize = 150;
  std::uint32_t maxEffectSize = 1080;    // smaller side of the primary screen
  std::uint32_t brightness = 80;         // 0..100
  std::uint32_t circleColor = 0xFF0000;  // 0xRRGGBB
  bool showPointerInSpotlight = true;    // the setting "Default"
};

// True for the three effects a message may name (any program can post the
// link's messages, so a scene from a message parameter is checked first).
constexpr bool IsEffectScene(std::intmax_t value) {
  return value == SCENE_SPOTLIGHT || value == SCENE_MAGNIFIER || value == SCENE_CIRCLE;
}

inline constexpr std::uint32_t kMinEffectSize = 80;
inline constexpr std::uint32_t kSizeStep = 20;

}  // namespace pv::effects
