#include "effects/win32/effect_windows.h"

#include <algorithm>

#include "effects/win32/pointer_visibility.h"
#include "framework/dpi_awareness.h"
#include "framework/window_class.h"

namespace pv::effects {

namespace {

// The overlays cover the screen in physical pixels, while the main window
// and its page are system-scaled: every overlay is created, placed and fed
// with pointer positions in a per-monitor aware context, whatever context the
// calling thread is in (a no-op where the platform has no thread contexts).
class CPhysicalPixels : public CDpiContextScope {
 public:
  CPhysicalPixels() : CDpiContextScope(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) {}
};

}  // namespace

CEffectWindows::~CEffectWindows() {
  RestoreDesktop();
}

bool CEffectWindows::Create(HWND mainWindow) {
  const CPhysicalPixels physical;
  const PixelRect screen = CurrentVirtualScreen();
  if (m_owner.GetSafeHwnd() == nullptr &&
      !m_owner.CreateEx(0, RegisterWndClass(0).c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr)) {
    return false;
  }
  const HWND owner = m_owner.GetSafeHwnd();
  // Created hidden (no WS_VISIBLE), so none of them flashes on screen.
  bool ok = m_mask.CreateOverlay(owner, screen);
  ok = m_spotlight.CreateOverlay(owner, screen) && ok;
  ok = m_lens.CreateOverlay(owner, screen) && ok;
  ok = m_circle.CreateOverlay(owner, screen) && ok;
  ok = m_black.CreateOverlay(owner, mainWindow, screen) && ok;
  // They appear and vanish at once, and the lens's picture never catches
  // one of them (or the main window) on its way out.
  for (HWND w : {m_mask.GetSafeHwnd(), m_spotlight.GetSafeHwnd(), m_lens.GetSafeHwnd(),
                 m_circle.GetSafeHwnd(), m_black.GetSafeHwnd()}) {
    m_composition.DisableTransitions(w);
  }
  m_lens.SetCompositor(&m_composition);
  return ok;
}

std::uint32_t CEffectWindows::MaxEffectSize() {
  const CPhysicalPixels physical;
  const int side = std::min(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  return side > 0 ? static_cast<std::uint32_t>(side) : 0;
}

bool CEffectWindows::AnythingShown() const {
  return m_mask.Visible() || m_spotlight.Visible() || m_lens.Visible() || m_circle.Visible() ||
         m_black.Shown();
}

void CEffectWindows::RestoreDesktop() {
  const CPhysicalPixels physical;
  const bool shown = AnythingShown();
  if (m_black.Shown()) m_black.HideBlack();
  m_mask.Hide();
  m_spotlight.Hide();
  m_lens.Hide();
  m_circle.Hide();
  if (shown || m_pointerHidden) ShowPointer();
}

PixelPoint CEffectWindows::CursorPos() {
  const CPhysicalPixels physical;
  POINT p{};
  if (!::GetCursorPos(&p)) return {};
  return {p.x, p.y};
}

PixelRect CEffectWindows::VirtualScreen() {
  const CPhysicalPixels physical;
  return CurrentVirtualScreen();
}

void CEffectWindows::ShowMask(const PixelRect& virtualScreen) {
  const CPhysicalPixels physical;
  m_mask.Show(virtualScreen);
}
void CEffectWindows::HideMask() {
  const CPhysicalPixels physical;
  m_mask.Hide();
}

void CEffectWindows::ShowSpotlight(const PixelRect& virtualScreen, std::uint8_t opacity,
                                   const PixelRect& holeBox) {
  const CPhysicalPixels physical;
  m_spotlight.Show(virtualScreen, opacity, holeBox);
}
void CEffectWindows::MoveSpotlightHole(const PixelRect& holeBox) {
  const CPhysicalPixels physical;
  m_spotlight.MoveHole(holeBox);
}
void CEffectWindows::HideSpotlight() {
  const CPhysicalPixels physical;
  m_spotlight.Hide();
}
bool CEffectWindows::SpotlightVisible() {
  return m_spotlight.Visible();
}

void CEffectWindows::ShowLens(const PixelRect& lens, bool capture) {
  const CPhysicalPixels physical;
  m_lens.Show(lens, capture);
}
void CEffectWindows::MoveLens(const PixelRect& lens) {
  const CPhysicalPixels physical;
  m_lens.Move(lens);
}
void CEffectWindows::HideLens() {
  const CPhysicalPixels physical;
  m_lens.Hide();
}
bool CEffectWindows::LensVisible() {
  return m_lens.Visible();
}

void CEffectWindows::ShowCircle(const PixelRect& window, std::uint32_t rgb) {
  const CPhysicalPixels physical;
  m_circle.Show(window, rgb);
}
void CEffectWindows::MoveCircle(const PixelRect& window) {
  const CPhysicalPixels physical;
  m_circle.Move(window);
}
void CEffectWindows::HideCircle() {
  const CPhysicalPixels physical;
  m_circle.Hide();
}
bool CEffectWindows::CircleVisible() {
  return m_circle.Visible();
}

void CEffectWindows::ShowBlack(const PixelRect& virtualScreen) {
  const CPhysicalPixels physical;
  m_black.ShowBlack(virtualScreen);
  m_pointerHidden = true;
}
void CEffectWindows::HideBlack() {
  const CPhysicalPixels physical;
  m_black.HideBlack();
}
bool CEffectWindows::BlackVisible() {
  const CPhysicalPixels physical;
  return m_black.Shown();
}

void CEffectWindows::HidePointer() {
  const CPhysicalPixels physical;
  HidePointerFully();
  m_pointerHidden = true;
}
void CEffectWindows::ShowPointer() {
  const CPhysicalPixels physical;
  ShowPointerFully();
  m_pointerHidden = false;
}

}  // namespace pv::effects
