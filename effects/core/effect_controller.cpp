#include "effects/core/effect_controller.h"

#include "effects/core/effect_geometry.h"
#include "link/core/link_messages.h"

namespace pv::effects {

// The link's scenes are the effects' scenes.
static_assert(SCENE_SPOTLIGHT == link::SCENE_SPOTLIGHT && SCENE_MAGNIFIER == link::SCENE_MAGNIFIER &&
              SCENE_CIRCLE == link::SCENE_CIRCLE);

EffectController::EffectController(OverlayOutputs& screen, EffectHost& host, LinkFlags& link,
                                   EffectSettingsSource& settings)
    : m_screen(screen), m_host(host), m_link(link), m_settings(settings) {}

Scene EffectController::VisibleScene() const {
  if (m_screen.SpotlightVisible()) return SCENE_SPOTLIGHT;
  if (m_screen.LensVisible()) return SCENE_MAGNIFIER;
  if (m_screen.CircleVisible()) return SCENE_CIRCLE;
  return SCENE_NONE;
}

void EffectController::StartEffect(Scene scene) {
  if (!IsEffectScene(scene)) return;
  const Scene current = m_host.InEffectMode() ? VisibleScene() : SCENE_NONE;
  if (current == scene) return;  // already shown: no flicker, pointer stays hidden

  // A change of effect always passes through StopEffects; the window's
  // HideToTray then finds nothing left to stop.
  if (AnyEffectVisible()) StopEffects();
  m_host.HideToTray();
  if (!m_host.InEffectMode()) m_host.EnterEffectMode();

  const PixelPoint pointer = m_screen.CursorPos();
  // The mask lies under every effect but the spotlight with the show-pointer
  // option on: then clicks in the hole reach the presentation.
  const EffectSettings& settings = m_settings.Current();
  if (scene == SCENE_SPOTLIGHT && settings.showPointerInSpotlight) {
    m_screen.HideMask();
  } else {
    m_screen.ShowMask(m_screen.VirtualScreen());
  }
  // Shown after the mask, each effect window lies above it.
  switch (scene) {
    case SCENE_SPOTLIGHT:
      ShowSpotlightAt(pointer, settings.spotlightSize);
      break;
    case SCENE_MAGNIFIER:
      ShowLensAt(pointer, settings.zoomSize);
      break;
    default:
      ShowCircleAt(pointer, settings.circleSize);
      break;
  }
  m_screen.HidePointer();
}

void EffectController::ShowSpotlightAt(PixelPoint point, std::uint32_t diameter) {
  m_spotlightPos = point;
  m_spotlightDiameter = diameter;
  m_screen.ShowSpotlight(m_screen.VirtualScreen(), OpacityForBrightness(m_settings.Current().brightness),
                         SpotlightHoleBox(point, diameter));
}

void EffectController::ShowLensAt(PixelPoint point, std::uint32_t diameter) {
  // A lens that is already shown (a size step) keeps its still picture.
  const bool capture = !m_screen.LensVisible();
  m_lensPos = point;
  m_lensDiameter = diameter;
  m_screen.ShowLens(LensWindowRect(point, diameter), capture);
}

void EffectController::ShowCircleAt(PixelPoint point, std::uint32_t size) {
  m_circlePos = point;
  m_circleSize = size;
  m_screen.ShowCircle(CircleWindowRect(point, size), m_settings.Current().circleColor);
}

void EffectController::StopEffects() {
  m_screen.ShowPointer();
  m_screen.HideMask();
  m_screen.HideSpotlight();
  m_screen.HideLens();
  m_screen.HideCircle();
}

void EffectController::MoveEffectTo(PixelPoint point) {
  // A still pointer costs no window operation: tracking calls this every
  // 15 to 20 ms.
  switch (VisibleScene()) {
    case SCENE_SPOTLIGHT:
      if (point == m_spotlightPos) return;
      m_spotlightPos = point;
      m_screen.MoveSpotlightHole(SpotlightHoleBox(point, m_spotlightDiameter));
      return;
    case SCENE_MAGNIFIER:
      if (point == m_lensPos) return;
      m_lensPos = point;
      m_screen.MoveLens(LensWindowRect(point, m_lensDiameter));
      return;
    case SCENE_CIRCLE:
      if (point == m_circlePos) return;
      m_circlePos = point;
      m_screen.MoveCircle(CircleWindowRect(point, m_circleSize));
      return;
    default:
      return;
  }
}

void EffectController::ReleaseLatch() {
  if (!m_bLatched) return;
  m_bLatched = false;
  m_link.RequestResend();
}

void EffectController::OnLinkKeys(const link::KeyMessage& keys) {
  switch (keys.event) {
    case link::KeyEvent::kDown:
      if (m_bLatched) {
        ReleaseLatch();  // the effect stays and follows the pointer again
      } else {
        StartEffect(static_cast<Scene>(keys.scene));
      }
      return;
    case link::KeyEvent::kUp:
      ReleaseLatch();
      StopEffects();
      return;
    case link::KeyEvent::kLatch:
      OnLatchRequest();
      return;
    case link::KeyEvent::kBlackScreen:
      ToggleBlackScreen();
      return;
  }
}

void EffectController::OnLatchRequest() {
  if (EffectShownInEffectMode()) {
    if (VisibleScene() == SCENE_CIRCLE) {
      // A laser dot cannot be frozen: the request ends it.
      m_bLatched = false;
      m_link.RequestResend();
      StopEffects();
    } else {
      m_bLatched = true;
      m_link.SetEffectLatched();
    }
    m_moveCount = 0;
    return;
  }
  // Nothing to latch: the receiver is told so even when nothing was latched.
  m_bLatched = false;
  m_link.RequestResend();
  StopEffects();
}

void EffectController::ToggleBlackScreen() {
  if (m_screen.BlackVisible()) {
    HideBlackScreen();
    StopEffects();
    ReleaseLatch();
    return;
  }
  // An effect keeps tracking underneath; hiding the black screen ends it.
  m_screen.ShowBlack(m_screen.VirtualScreen());
  m_link.SetBlackScreen(true);
}

void EffectController::HideBlackScreen() {
  m_screen.HideBlack();
  m_link.SetBlackScreen(false);
}

void EffectController::OnLinkSizeStep(link::SizeStep step) {
  if (!m_host.InEffectMode()) return;
  const Scene scene = VisibleScene();
  if (scene == SCENE_NONE) return;

  const PixelPoint pointer = m_screen.CursorPos();
  const bool grow = step == link::SizeStep::kLarger;
  const std::uint32_t maxSize = m_settings.Current().maxEffectSize;
  std::uint32_t size = 0;
  switch (scene) {
    case SCENE_SPOTLIGHT:
      size = SteppedEffectSize(m_spotlightDiameter, grow, maxSize);
      ShowSpotlightAt(pointer, size);
      break;
    case SCENE_MAGNIFIER:
      size = SteppedEffectSize(m_lensDiameter, grow, maxSize);
      ShowLensAt(pointer, size);
      break;
    default:
      size = SteppedEffectSize(m_circleSize, grow, maxSize);
      ShowCircleAt(pointer, size);
      break;
  }
  m_settings.SetEffectSize(scene, size);
}

bool EffectController::CountMovement(std::uint8_t limit) {
  ++m_moveCount;
  if (m_moveCount <= limit) return false;
  m_moveCount = 0;
  return true;
}

void EffectController::OnRawMouse() {
  if (!EffectShownInEffectMode()) return;
  if (!m_bLatched && m_host.RfLinked()) {
    m_moveCount = 0;
    MoveEffectTo(m_screen.CursorPos());
    return;
  }
  // Latched, or the remote is out of reach: moving the mouse ends the effect.
  if (CountMovement(kRawMoveLimit)) {
    StopEffects();
    ReleaseLatch();
  }
}

void EffectController::OnRawMouseRecord() {
  m_host.SetTrackingPeriod(kTrackingActivePeriodMs);
  OnRawMouse();
}

bool EffectController::OnRawKey(unsigned message, unsigned virtualKey) {
  if (message == kWmKeyUp) {
    if (!m_screen.BlackVisible()) return false;
    HideBlackScreen();
    StopEffects();
    ReleaseLatch();
    return true;
  }
  if (message != kWmKeyDown) return false;
  // An effect the remote holds with the radio link up ignores the keyboard;
  // a latched one, or one whose remote is out of reach, ends on any key.
  if (m_host.InEffectMode() && (m_bLatched || !m_host.RfLinked()) && AnyEffectVisible()) {
    StopEffects();
    ReleaseLatch();
    return true;
  }
  // Escape in any application hides a shown main window into the tray.
  if (virtualKey == kVkEscape && !m_host.InEffectMode() && m_host.MainWindowShown() &&
      !m_host.PointerOverHelpLink()) {
    m_host.HideToTray();
    return true;
  }
  return false;
}

void EffectController::OnDrainedKeyDown(unsigned virtualKey) {
  OnRawKey(kWmKeyDown, virtualKey);
}

void EffectController::OnDrainedKeyUp(unsigned virtualKey) {
  OnRawKey(kWmKeyUp, virtualKey);
}

std::intptr_t EffectController::OnRawMouseMessage(std::uintptr_t message, std::intptr_t /*lParam*/) {
  if (message == kWmMouseMove) OnRawMouse();
  return 1;
}

std::intptr_t EffectController::OnRawKeyMessage(std::uintptr_t message, std::intptr_t virtualKey) {
  constexpr std::intptr_t kLargestVirtualKey = 0xFF;
  if (message != kWmKeyDown && message != kWmKeyUp) return 0;
  // A key code out of range is no key the rules name (but still a key).
  const unsigned key =
      virtualKey >= 0 && virtualKey <= kLargestVirtualKey ? static_cast<unsigned>(virtualKey) : 0;
  return OnRawKey(static_cast<unsigned>(message), key) ? 1 : 0;
}

void EffectController::OnTrackingTick() {
  if (!EffectShownInEffectMode()) return;
  const PixelPoint previous = m_lastTrackPos;
  m_lastTrackPos = m_screen.CursorPos();
  const bool moved = m_lastTrackPos != previous;
  if (!m_bLatched) {
    MoveEffectTo(m_lastTrackPos);
    return;
  }
  // A latched effect stays where it was frozen, also when the pointer comes
  // to rest elsewhere; enough movement ends it.
  if (moved && CountMovement(kTrackedMoveLimit)) {
    ReleaseLatch();
    StopEffects();
  }
}

void EffectController::RestoreDesktop() {
  // Unconditional: whatever state the windows are in, the taskbar and the
  // pointer come back before the program ends.
  HideBlackScreen();
  StopEffects();
  ReleaseLatch();
}

}  // namespace pv::effects
