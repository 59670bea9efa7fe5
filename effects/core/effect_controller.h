// EffectController: turns the remote's effect events, raw mouse and keyboard
// input and the pointer-tracking ticks into presentation effects around the
// pointer: the spotlight, the 2x lens, the laser circle and the black screen.
//
// It owns the state of the effect rules (the latch, the movement counter,
// the last tracked pointer position, where each effect is and its size).
// Which effect is shown it asks the overlays; the values the effects are
// drawn with it reads from their owner, and changes only the sizes (the
// remote's size keys). It changes the desktop only through its ports, and
// runs on the user-interface thread.
//
// Values from outside the process (message parameters any program on the
// desktop can post) are checked before they act: the link's events arrive
// typed, decoded once where they enter (link_messages.h); the parameters of
// the raw-input messages are checked here.
#pragma once

#include <cstdint>

#include "effects/core/effect_ports.h"
#include "effects/core/effect_types.h"
#include "effects/core/raw_input_messages.h"
#include "framework/core/pixel_geometry.h"
#include "link/core/link_messages.h"

namespace pv::effects {

// The few platform values the raw-input rules compare with.
inline constexpr unsigned kWmKeyDown = 0x100;
inline constexpr unsigned kWmKeyUp = 0x101;
inline constexpr unsigned kWmMouseMove = 0x200;
inline constexpr unsigned kVkEscape = 27;

// Pointer movements a latched (or unlinked) effect tolerates before it ends:
// counted raw mouse records, and tracking ticks that saw the pointer move.
inline constexpr std::uint8_t kRawMoveLimit = 10;
inline constexpr std::uint8_t kTrackedMoveLimit = 3;

class EffectController {
 public:
  // settings: the values effects are drawn with; the size keys change the
  // sizes through it.
  EffectController(OverlayOutputs& screen, EffectHost& host, LinkFlags& link, EffectSettingsSource& settings);

  // Shows the effect of `scene` at the pointer (stopping another one first);
  // nothing when that effect already shows.
  void StartEffect(Scene scene);
  // Hides every effect window and the mask and shows the pointer; mode,
  // latch and black screen stay.
  void StopEffects();
  // Moves the visible effect to a point; nothing when it is already there.
  void MoveEffectTo(PixelPoint point);
  bool AnyEffectVisible() const { return VisibleScene() != SCENE_NONE; }
  // The visible effect, or SCENE_NONE, as the overlays report it.
  Scene VisibleScene() const;
  // Drops a latch and asks the link to tell the receiver.
  void ReleaseLatch();

  // The remote's keys (UM_LINK_KEYS) and size steps (UM_LINK_SIZE_STEP).
  void OnLinkKeys(const link::KeyMessage& keys);
  void OnLinkSizeStep(link::SizeStep step);

  // The black screen's hide sequence: window hidden, taskbar back, link told.
  void HideBlackScreen();

  // Raw input rules. OnRawMouse: a pointer movement (follow it, or count it
  // while latched or unlinked). OnRawMouseRecord: any raw mouse record (a
  // move, a button or the wheel all count as a move); it also speeds the
  // tracking timer up. OnRawKey: WM_KEYDOWN / WM_KEYUP of any keyboard; true
  // when consumed. OnDrainedKeyDown: a key press found while draining queued
  // input. Keys are only compared here, never kept.
  void OnRawMouse();
  void OnRawMouseRecord();
  bool OnRawKey(unsigned message, unsigned virtualKey);
  void OnDrainedKeyDown(unsigned virtualKey);
  // A key release found while draining: it ends the black screen like any
  // other (a key tapped quickly queues its release behind its press, and
  // the release must not be lost).
  void OnDrainedKeyUp(unsigned virtualKey);
  // The same rules reached as UM_RAW_MOUSE (message, unused) and UM_RAW_KEY
  // (message, virtual key), which any program can post: parameters that do
  // not fit a message number or a virtual key are not truncated into one.
  std::intptr_t OnRawMouseMessage(std::uintptr_t message, std::intptr_t lParam);
  std::intptr_t OnRawKeyMessage(std::uintptr_t message, std::intptr_t virtualKey);
  // TIMER_TRACK_POINTER.
  void OnTrackingTick();

  // Gives the desktop back before the program ends: black screen and
  // effects hidden, taskbar and pointer back.
  void RestoreDesktop();

  bool Latched() const { return m_bLatched; }
  std::uint8_t MoveCount() const { return m_moveCount; }

 private:
  void ShowSpotlightAt(PixelPoint point, std::uint32_t diameter);
  void ShowLensAt(PixelPoint point, std::uint32_t diameter);
  void ShowCircleAt(PixelPoint point, std::uint32_t size);
  // The latch request of the remote (KeyEvent::kLatch).
  void OnLatchRequest();
  void ToggleBlackScreen();
  // Ends the effect when the pointer has moved more than `limit` times.
  bool CountMovement(std::uint8_t limit);
  bool EffectShownInEffectMode() { return m_host.InEffectMode() && AnyEffectVisible(); }

  OverlayOutputs& m_screen;
  EffectHost& m_host;
  LinkFlags& m_link;
  EffectSettingsSource& m_settings;

  bool m_bLatched = false;
  std::uint8_t m_moveCount = 0;
  PixelPoint m_lastTrackPos{};

  // Where each effect is (whether it shows, its overlay knows).
  PixelPoint m_spotlightPos{};
  PixelPoint m_lensPos{};
  PixelPoint m_circlePos{};
  // The sizes each effect was last shown with (a move keeps them).
  std::uint32_t m_spotlightDiameter = 0;
  std::uint32_t m_lensDiameter = 0;
  std::uint32_t m_circleSize = 0;
};

}  // namespace pv::effects
