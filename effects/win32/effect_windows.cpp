#include "effects/win32/effect_windows.h"

#include "effects/win32/pointer_visibility.h"

namespace pv::effects {

CEffectWindows::~CEffectWindows() {
  RestoreDesktop();
}

bool CEffectWindows::Create(HWND mainWindow) {
  const PixelRect screen = CurrentVirtualScreen();
  // Created hidden (no WS_VISIBLE), so none of them flashes on screen.
  bool ok = m_mask.CreateOverlay(mainWindow, screen);
  ok = m_spotlight.CreateOverlay(mainWindow, screen) && ok;
  ok = m_lens.CreateOverlay(mainWindow, screen) && ok;
  ok = m_circle.CreateOverlay(mainWindow, screen) && ok;
  ok = m_black.CreateOverlay(mainWindow, screen) && ok;
  return ok;
}

bool CEffectWindows::AnythingShown() const {
  return m_mask.Visible() || m_spotlight.Visible() || m_lens.Visible() || m_circle.Visible() ||
         m_black.Shown();
}

void CEffectWindows::RestoreDesktop() {
  const bool shown = AnythingShown();
  if (m_black.Shown()) m_black.HideBlack();
  m_mask.Hide();
  m_spotlight.Hide();
  m_lens.Hide();
  m_circle.Hide();
  if (shown || m_pointerHidden) ShowPointer();
}

PixelPoint CEffectWindows::CursorPos() {
  POINT p{};
  if (!::GetCursorPos(&p)) return {};
  return {p.x, p.y};
}

PixelRect CEffectWindows::VirtualScreen() {
  return CurrentVirtualScreen();
}

void CEffectWindows::ShowMask(const PixelRect& virtualScreen) {
  m_mask.Show(virtualScreen);
}
void CEffectWindows::HideMask() {
  m_mask.Hide();
}

void CEffectWindows::ShowSpotlight(const PixelRect& virtualScreen, std::uint8_t opacity,
                                   const PixelRect& holeBox) {
  m_spotlight.Show(virtualScreen, opacity, holeBox);
}
void CEffectWindows::MoveSpotlightHole(const PixelRect& holeBox) {
  m_spotlight.MoveHole(holeBox);
}
void CEffectWindows::HideSpotlight() {
  m_spotlight.Hide();
}

void CEffectWindows::ShowLens(const PixelRect& lens, bool capture) {
  m_lens.Show(lens, capture);
}
void CEffectWindows::MoveLens(const PixelRect& lens) {
  m_lens.Move(lens);
}
void CEffectWindows::HideLens() {
  m_lens.Hide();
}

void CEffectWindows::ShowCircle(const PixelRect& window, std::uint32_t rgb) {
  m_circle.Show(window, rgb);
}
void CEffectWindows::MoveCircle(const PixelRect& window) {
  m_circle.Move(window);
}
void CEffectWindows::HideCircle() {
  m_circle.Hide();
}

void CEffectWindows::ShowBlack(const PixelRect& virtualScreen) {
  m_black.ShowBlack(virtualScreen);
  m_pointerHidden = true;
}
void CEffectWindows::HideBlack() {
  m_black.HideBlack();
}
bool CEffectWindows::BlackVisible() {
  return m_black.Shown();
}

void CEffectWindows::HidePointer() {
  HidePointerFully();
  m_pointerHidden = true;
}
void CEffectWindows::ShowPointer() {
  ShowPointerFully();
  m_pointerHidden = false;
}

}  // namespace pv::effects
