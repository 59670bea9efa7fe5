// CBitSlider: the platform trackbar with its painting replaced. The channel is
// drawn from two pictures, the filled one left of the thumb's centre and the
// empty one right of it, and the thumb is a CBitWnd child placed over the
// trackbar's own thumb. Range, position, keys, mouse logic and the WM_HSCROLL
// notifications stay the trackbar's own; this class draws, places the thumb,
// shows the position in a tooltip, sets a cursor and swallows the wheel. The
// pictures are decoded once and kept by the slider.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/core/pixel_geometry.h"
#include "framework/slider_ctrl.h"
#include "framework/tooltip_ctrl.h"
#include "ui/skin/core/slider_geometry.h"
#include "ui/skin/win32/bit_strip.h"
#include "ui/skin/win32/bit_wnd.h"

namespace pv::skin {

class CBitSlider : public CSliderCtrl {
 public:
  ~CBitSlider() override;

  // Creates the thumb window with this picture, the tooltip and its tools,
  // once. Nothing when the strip is null or the thumb exists already.
  void AttachThumb(std::shared_ptr<const CBitStrip> thumbStrip, HCURSOR thumbCursor);

  // The channel pictures (both may be the same picture); the slider is sized
  // to the filled picture's frame. A picture that did not load leaves the
  // slider at its size, drawing nothing.
  void SetChannel(std::shared_ptr<const CBitStrip> filled, std::shared_ptr<const CBitStrip> empty);

  // The picture the slider lies on (the parent's background) and the
  // slider's place on it: the channel's and the thumb's transparent pixels
  // then show the page instead of black. Not owned; it must outlive the slider.
  void SetBackdrop(const CBitStrip* picture, POINT at);

  // Where the thumb window belongs, in slider client coordinates.
  RECT GetThumbRect() const;

  // Sets the tooltip text when the position's text changed.
  void RefreshTip();

  const CBitWnd& Thumb() const { return m_thumb; }

  HCURSOR m_hCursor = nullptr;  // null: the slider sets no cursor
  int m_thumbOffset = 0;        // top of the thumb window

  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnPaint();
  bool CanDraw() const;
  // Backdrop and channel of `area` (slider coordinates) into dc at the same
  // coordinates; the channel splits at `split`.
  void ComposeChannel(HDC dc, const RECT& area, int split) const;
  void DrawBehindThumb(HDC dc) const;

  CBitWnd m_thumb;
  std::shared_ptr<const CBitStrip> m_filled;
  std::shared_ptr<const CBitStrip> m_empty;
  const CBitStrip* m_backdrop = nullptr;
  POINT m_backdropAt{};
  CToolTipCtrl m_toolTip;
  pv::skin::PositionTip m_tip;
};

}  // namespace pv::skin
