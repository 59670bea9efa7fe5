#include "ui/mainwindow/core/anti_lost_alarm.h"

namespace pv::mainwindow {

void AntiLostAlarm::CancelCountdownOrSound() {
  if (counting_) {
    outputs_.KillCountdownTimer();
    counting_ = false;
  } else {
    outputs_.StopSound();
  }
}

void AntiLostAlarm::OnRadioUp() {
  CancelCountdownOrSound();
  armed_ = true;
}

void AntiLostAlarm::OnRadioDown() {
  CancelCountdownOrSound();
  if (!armed_) return;
  armed_ = false;
  outputs_.StartCountdownTimer();
  counting_ = true;
}

void AntiLostAlarm::OnCountdownElapsed(bool antiLostEnabled) {
  outputs_.KillCountdownTimer();
  counting_ = false;
  if (antiLostEnabled) outputs_.PlayAlarmSound();
}

}  // namespace pv::mainwindow
