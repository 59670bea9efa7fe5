// The window's copies of the link flags follow the link when a notice was
// lost, but never race a notice in flight or a removal the link has not seen.
#include "link/core/link_flag_resync.h"

#include <gtest/gtest.h>

#include <vector>

namespace pv::link::test {
namespace {

constexpr LinkFlags kAbsent{false, false};
constexpr LinkFlags kPresent{true, false};
constexpr LinkFlags kLinked{true, true};

struct Look {
  LinkFlags shown;
  LinkFlags link;
  bool resync;
};

void Play(LinkFlagResync& resync, const std::vector<Look>& looks) {
  int index = 0;
  for (const Look& look : looks) {
    EXPECT_EQ(resync.Look(look.shown, look.link), look.resync) << "look " << index;
    ++index;
  }
}

TEST(LinkFlagResync, LostNoticeIsRepairedOnTheSecondLook) {
  LinkFlagResync resync;
  // The radio-up notice was lost: the tray still says "RF Disconnect".
  Play(resync, {{kPresent, kPresent, false}, {kPresent, kLinked, false}, {kPresent, kLinked, true}});
  // Taken: the copies agree again.
  Play(resync, {{kLinked, kLinked, false}, {kLinked, kLinked, false}});
}

TEST(LinkFlagResync, NoticeInFlightIsNotRaced) {
  LinkFlagResync resync;
  // One look sees the link ahead of its notice; by the next the notice arrived.
  Play(resync, {{kPresent, kLinked, false},
                {kLinked, kLinked, false},
                {kLinked, kAbsent, false},
                {kAbsent, kAbsent, false}});
}

TEST(LinkFlagResync, RemovalNoticeIsNotUndoneByTheLinksStaleFlags) {
  LinkFlagResync resync;
  resync.OnRemovalNotice();  // the window shows "No Dongle"; the link still reads
  std::vector<Look> held(LinkFlagResync::kLooksHeldAfterRemoval, Look{kAbsent, kLinked, false});
  Play(resync, held);
  // A link that still says linked after that is believed (the notice was
  // not about a receiver it lost, or it reconnected and that notice was lost).
  Play(resync, {{kAbsent, kLinked, false}, {kAbsent, kLinked, true}});
}

}  // namespace
}  // namespace pv::link::test
