// The anti-lost alarm: a sound played once when the remote has been out of
// radio reach for 20 seconds while the receiver stays plugged in.
//
//   Idle ──radio up──▶ Armed ──radio down──▶ Counting ──20 s──▶ Sounding/Idle
//
// Radio up (receiver present) from any state cancels a countdown or cuts the
// sound, and arms. Radio down starts a countdown only when armed; otherwise it
// just cancels. Removing the receiver cancels but keeps the armed flag.
#pragma once

namespace pv::mainwindow {

// The window's side of the alarm: one one-shot timer and one sound.
class AlarmOutputs {
 public:
  virtual ~AlarmOutputs() = default;
  virtual void StartCountdownTimer() = 0;  // TIMER_ALARM, 20000 ms
  virtual void KillCountdownTimer() = 0;
  virtual void PlayAlarmSound() = 0;  // asynchronous, once
  virtual void StopSound() = 0;
};

class AntiLostAlarm {
 public:
  explicit AntiLostAlarm(AlarmOutputs& outputs) : outputs_(outputs) {}

  // The radio link came up while the receiver is present.
  void OnRadioUp();
  // The radio link went down while the receiver is present.
  void OnRadioDown();
  // The receiver was unplugged, or the window is going away.
  void OnReceiverGone() { CancelCountdownOrSound(); }
  // The countdown timer fired; the alarm sounds only if the option is on now.
  void OnCountdownElapsed(bool antiLostEnabled);

  bool armed() const { return armed_; }
  bool counting() const { return counting_; }

 private:
  void CancelCountdownOrSound();

  AlarmOutputs& outputs_;
  bool armed_ = false;
  bool counting_ = false;
};

}  // namespace pv::mainwindow
