#include "ui/mainwindow/core/timer_page_rules.h"

#include <algorithm>

#include "ui/skin/core/minutes_step.h"

namespace pv::mainwindow {

using pv::skin::kMaxMinutes;
using pv::skin::kMinMinutes;
using pv::skin::MinutesText;
using pv::skin::MinutesValue;

std::optional<MinutesCorrection> CorrectMinutesText(std::wstring_view text) {
  const std::uint32_t value = MinutesValue(text);
  if (text.size() > 1 && text.front() == L'0') return MinutesCorrection{MinutesText(value), false};
  if (value >= kMinMinutes && value <= kMaxMinutes) return std::nullopt;
  return MinutesCorrection{MinutesText(value > kMaxMinutes ? kMaxMinutes : kMinMinutes), true};
}

std::optional<MinutesBox> NormaliseMinutesBox(const MinutesBox& box) {
  MinutesBox result = box;
  bool changed = false;
  while (const auto correction = CorrectMinutesText(result.text)) {
    const int length = static_cast<int>(correction->text.size());
    if (correction->selectAll) {
      result.selStart = 0;
      result.selEnd = length;
    } else {
      // Dropped leading characters move the caret left with the digits.
      const int removed = static_cast<int>(result.text.size()) - length;
      result.selStart = std::clamp(result.selStart - removed, 0, length);
      result.selEnd = std::clamp(result.selEnd - removed, 0, length);
    }
    result.text = correction->text;
    changed = true;
  }
  if (!changed) return std::nullopt;
  return result;
}

std::uint32_t SecondsFromMinutesText(std::wstring_view text) {
  return MinutesValue(text) * 60u;
}

std::wstring MinutesTextFor(std::uint32_t seconds) {
  return MinutesText(seconds / 60u);
}

std::int64_t JoinStart(std::uint32_t low, std::uint32_t high) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

std::uint32_t StartLow(std::int64_t start) {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(start) & 0xFFFFFFFFu);
}

std::uint32_t StartHigh(std::int64_t start) {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(start) >> 32);
}

TimerResume DecideResume(const StoredTimer& stored, std::int64_t now) {
  TimerResume off;
  off.seconds = stored.seconds.value_or(kDefaultTimerSeconds);
  if (!stored.on.value_or(0)) return off;
  // A running timer whose duration is unreadable cannot be resumed; it is
  // stored as off with the default duration.
  if (!stored.seconds || !stored.startLow || !stored.startHigh) return off;
  const std::int64_t start = JoinStart(*stored.startLow, *stored.startHigh);
  if (now < start) return off;  // the clock was set back, or the value is foreign
  // now >= start here, so the difference cannot overflow.
  const auto elapsed = static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(start);
  if (elapsed >= *stored.seconds) return off;  // ended (a duration of 0 has ended at once)
  return {.running = true, .seconds = *stored.seconds, .start = start};
}

bool TimerHandOver::Submit(const TimerRequest& request) {
  m_pending = request;
  return Retry();
}

bool TimerHandOver::Retry() {
  if (!m_pending) return true;
  if (!m_link.TryStart(*m_pending)) return false;
  m_pending.reset();
  return true;
}

}  // namespace pv::mainwindow
