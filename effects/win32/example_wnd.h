// CExampleWnd: the settings page's preview of the spotlight. A small black
// layered window over the page's sample picture, at the spotlight's opacity,
// with a centred hole scaled from the spotlight size.
#pragma once

#include <cstdint>

#include "effects/win32/overlay_wnd.h"

namespace pv::effects {

// Told when Escape is pressed in the focused preview (the page's cancel:
// effects stopped, main window hidden into the tray).
class PreviewOwner {
 public:
  virtual void OnPreviewCancel() = 0;

 protected:
  ~PreviewOwner() = default;
};

class CExampleWnd : public COverlayWnd {
 public:
  static constexpr int kWidth = 290;
  static constexpr int kHeight = 148;

  // Who hears Escape in the preview; may be null.
  void SetOwner(PreviewOwner* owner) { m_owner = owner; }

  // The first call creates the preview (hidden) at (x, y) in screen
  // coordinates, owned by `parent`; later calls move it there. Both then set
  // the opacity and the hole.
  void CreateOrMove(HWND parent, int x, int y, std::uint8_t opacity, std::uint32_t diameter);
  void SetOpacity(std::uint8_t opacity);
  // Cuts a centred round hole of `diameter` pixels (rounded down to even).
  void SetHoleSize(std::uint32_t diameter);
  // Moves the preview without repainting (the main window moved).
  void MoveTo(int x, int y);

  void ShowPreview();
  void HidePreview() { Hide(); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnPaint(HDC dc) override;

 private:
  PreviewOwner* m_owner = nullptr;
};

}  // namespace pv::effects
