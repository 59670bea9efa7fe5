// Rules of the timer page: how the minutes box's text is corrected while the
// user types, what a stored timer means when the page loads (resume it or
// store it as off), and the hand-over of a timer change to the link, which
// may have to wait for the link's worker.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/pixel_geometry.h"
#include "ui/mainwindow/core/page_layout.h"

namespace pv::mainwindow {

// Duration when none is stored: 40 minutes.
inline constexpr std::uint32_t kDefaultTimerSeconds = 2400;

// The minutes box in client pixels: where the page picture draws its frame.
// Sized in pixels, not dialog units, so a scaled screen or another dialog
// font does not make it outgrow the frame.
inline constexpr PixelRect kTimerEditRect = RectAt(kTimerEditAt, 42, 20);

// ---- Minutes box --------------------------------------------------------

// One step of correcting the box's text.
struct MinutesCorrection {
  std::wstring text;
  // True: select the whole new text (the value was out of range, so the
  // next digit replaces it). False: keep the caret where the user had it.
  bool selectAll = false;
};

// One correction of a text, or nothing when the text is a plain number of
// minutes (1 to 199): leading zeros are dropped first ("0250" gives "250"),
// then the range applies ("250" gives "199", "0" and "" give "1").
std::optional<MinutesCorrection> CorrectMinutesText(std::wstring_view text);

// The box's text with its selection (character positions, as EM_GETSEL).
struct MinutesBox {
  std::wstring text;
  int selStart = 0;
  int selEnd = 0;
  friend bool operator==(const MinutesBox&, const MinutesBox&) = default;
};

// What the change handler makes of a typed, pasted or stepped text: every
// correction applied until none is left ("007" gives "7" with the caret
// kept among the remaining digits; "0250" gives "199", selected), or nothing
// when the text is fine as it is. Setting the result raises the change
// handler again, which then finds nothing to correct.
std::optional<MinutesBox> NormaliseMinutesBox(const MinutesBox& box);

// The seconds a text in the box stands for (minutes times 60).
std::uint32_t SecondsFromMinutesText(std::wstring_view text);

// The box's text for a duration: whole minutes, rounded down.
std::wstring MinutesTextFor(std::uint32_t seconds);

// ---- Loading the page ---------------------------------------------------

// The four timer settings as read; a missing value is empty.
struct StoredTimer {
  std::optional<std::uint32_t> on;
  std::optional<std::uint32_t> seconds;
  std::optional<std::uint32_t> startLow;
  std::optional<std::uint32_t> startHigh;
};

// What loading the page does with the stored timer.
struct TimerResume {
  // Resume the stored running timer with its first start (true), or store
  // the timer as off with a start of now (false).
  bool running = false;
  std::uint32_t seconds = kDefaultTimerSeconds;
  // The stored start when running; 0 (now) otherwise.
  std::int64_t start = 0;
};

// A stored running timer resumes only while it is actually running at
// `now`: its start is known (both halves), not in the future, and its end
// (start + seconds) lies after now. Anything else, including a duration of
// 0, is off, so a restart never brings back a timer that would never end or
// that ends at once with an alert.
TimerResume DecideResume(const StoredTimer& stored, std::int64_t now);

// The start time as its two stored halves and back.
std::int64_t JoinStart(std::uint32_t low, std::uint32_t high);
std::uint32_t StartLow(std::int64_t start);
std::uint32_t StartHigh(std::int64_t start);

// ---- Handing a change to the link ---------------------------------------

struct TimerRequest {
  bool on = false;
  std::int64_t start = 0;  // never 0 here: the page fixes "now" when the user acts
  std::uint32_t seconds = 0;
  friend bool operator==(const TimerRequest&, const TimerRequest&) = default;
};

// The link's timer as the page reaches it. TryStart waits a bounded time for
// the link's lock and returns false when it could not get it (the worker is
// stuck in a write to a device that does not answer).
class LinkTimerPort {
 public:
  virtual bool TryStart(const TimerRequest& request) = 0;

 protected:
  ~LinkTimerPort() = default;
};

// Hands timer changes to the link without ever blocking the window for
// long. A change the link cannot take now is kept and retried; a newer
// change replaces it. The settings are written before, so what is stored is
// always the user's latest choice, and the start it carries is the moment of
// the user's action, so a late hand-over does not lengthen the countdown.
class TimerHandOver {
 public:
  explicit TimerHandOver(LinkTimerPort& link) : m_link(link) {}

  // True when the link took it; false when it is pending.
  bool Submit(const TimerRequest& request);
  // Tries a pending change again; true when nothing is pending any more.
  bool Retry();
  bool Pending() const { return m_pending.has_value(); }

 private:
  LinkTimerPort& m_link;
  std::optional<TimerRequest> m_pending;
};

}  // namespace pv::mainwindow
