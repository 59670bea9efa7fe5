// Making sure one copy of the program runs per session. The first copy takes
// a named mutex before anything else; a later copy that finds it held hands
// over to the first one's main window, which may not exist yet (the first
// copy may still show its splash), so the search is retried for a while.
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
  // Finds the running copy's main window (our class and title) and posts it
  // the show message; false when no such window exists (yet).
  virtual bool PostShowToRunningInstance() = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
};

enum class StartDecision {
  kRunAsFirst,           // carry on: this is the only copy
  kHandedOver,           // another copy runs and was asked to show itself
  kOtherCopyStillStarts  // another copy holds the mutex, its window never came
};

// Second copies end in both of the last two cases (and say the program runs).
inline StartDecision DecideStart(ISingleInstancePlatform& platform) {
  if (platform.ClaimFirstInstance()) return StartDecision::kRunAsFirst;
  for (std::uint32_t waited = 0;; waited += kHandOverPollMs) {
    if (platform.PostShowToRunningInstance()) return StartDecision::kHandedOver;
    if (waited >= kHandOverSearchMs) return StartDecision::kOtherCopyStillStarts;
    platform.Sleep(kHandOverPollMs);
  }
}

}  // namespace pv::app
