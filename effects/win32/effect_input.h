// CEffectInput: the raw-input reader of the effects, a collaborator of the
// window that receives raw input (the main window). It registers that window
// for raw mouse and keyboard input, reads WM_INPUT (and the input queued
// behind it), and forwards the link's effect messages, the raw-input messages
// and the pointer-tracking timer to the effect controller, which decides
// everything.
//
// The link's two effect messages are decoded here, once, and reach the
// controller typed; a message that does not decode does nothing.
//
// The controller must outlive this object, and the object must be in the
// window's handler chain from raw-input registration on. It takes
// UM_LINK_KEYS, UM_LINK_SIZE_STEP, UM_RAW_MOUSE, UM_RAW_KEY and the WM_TIMER
// of the tracking timer; every other WM_TIMER, and WM_INPUT it does not
// consume, is left to the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "effects/core/effect_controller.h"
#include "framework/message_chain.h"

namespace pv::effects {

class CEffectInput : public IMessageHandler {
 public:
  // trackingTimer: the id of the window's pointer-tracking timer (the window
  // numbers its timers; the controller sets this one's period through its
  // host).
  CEffectInput(EffectController& controller, UINT_PTR trackingTimer);

  // Registers `window` for raw mouse and keyboard input, also while other
  // applications have the focus. False when the system refused.
  bool RegisterRawInput(HWND window);

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // WM_INPUT. Returns true when the input was consumed (the message then
  // gets no default processing).
  bool OnRawInput(HRAWINPUT input);
  // Input queued behind the current WM_INPUT, read in batches.
  void DrainRawInputBuffer();

 private:
  // The WM_INPUT's own record; true when consumed.
  bool OnOwnRecord(HRAWINPUT input);

  EffectController& m_controller;
  UINT_PTR m_trackingTimer;
  // Batch buffer and its record list, allocated once: raw input arrives with
  // every mouse movement, so reading it never allocates.
  std::vector<std::uint64_t> m_batch;
  std::vector<RAWINPUT*> m_records;
};

}  // namespace pv::effects
