// Making sure one copy of the program runs per session. The first copy takes
// a named mutex before anything else and owns it until it ends; a later copy
// that finds it held hands over to the first one's main window, which may
// not exist yet (the first copy may still show its splash), so the search is
// retried for a while. Between searches the later copy waits on the mutex:
// when the first copy is ending (its window already gone), the mutex comes
// free and the later copy starts as the first instead of leaving nothing
// running.
#pragma once

#include <cstdint>

namespace pv::app {

// How long a second copy looks for the first one's window, and how often.
inline constexpr std::uint32_t kHandOverSearchMs = 5000;
inline constexpr std::uint32_t kHandOverPollMs = 100;

class ISingleInstancePlatform {
 public:
  virtual ~ISingleInstancePlatform() = default;
  // Creates or opens the session's mutex; true when this copy is the first.
  virtual bool ClaimFirstInstance() = 0;
  // Finds the running copy's main window (our class and title) and keeps it
  // for the hand-over (the show message, sent once the notice is up); false
  // when no such window exists (yet).
  virtual bool FindRunningInstance() = 0;
  // Waits up to `ms` for the running copy to give the mutex up (it ended);
  // true when this copy owns the mutex now.
  virtual bool WaitForRunningCopyToEnd(std::uint32_t ms) = 0;
};

enum class StartDecision {
  kRunAsFirst,           // carry on: this is the only copy (or the other one has ended)
  kHandedOver,           // another copy runs: tell the user, and ask it to show itself
  kOtherCopyStillStarts  // another copy holds the mutex, its window never came
};

// Second copies end in both of the last two cases (and say the program runs).
inline StartDecision DecideStart(ISingleInstancePlatform& platform) {
  if (platform.ClaimFirstInstance()) return StartDecision::kRunAsFirst;
  for (std::uint32_t waited = 0;; waited += kHandOverPollMs) {
    if (platform.FindRunningInstance()) return StartDecision::kHandedOver;
    if (waited >= kHandOverSearchMs) return StartDecision::kOtherCopyStillStarts;
    if (platform.WaitForRunningCopyToEnd(kHandOverPollMs)) return StartDecision::kRunAsFirst;
  }
}

}  // namespace pv::app
