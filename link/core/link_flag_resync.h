// The main window keeps its own copies of the link's presence and radio
// flags, updated by the link's posted notices. A notice can be lost (the
// window's queue was full, the window was busy in a modal loop that dropped
// it): then the tray would lie until the next change. A periodic look at the
// link's own flags repairs that, without fighting notices still on their way
// or a removal notice the link has not caught up with yet.
#pragma once

namespace pv::link {

struct LinkFlags {
  bool receiverPresent = false;
  bool rfLinked = false;
  bool operator==(const LinkFlags&) const = default;
};

class LinkFlagResync {
 public:
  // A difference must last this many looks (one second apart): a notice in
  // flight is handled within milliseconds.
  static constexpr int kLooksBeforeResync = 2;
  // After the open receiver's removal notice the link notices the loss only
  // when its read fails or times out (up to 3 s): its stale flags are not
  // taken for this many looks.
  static constexpr int kLooksHeldAfterRemoval = 5;

  void OnRemovalNotice() {
    m_held = kLooksHeldAfterRemoval;
    m_differing = 0;
  }

  // True when the window should take the link's flags now.
  bool Look(const LinkFlags& shown, const LinkFlags& link) {
    if (m_held > 0) {
      --m_held;
      m_differing = 0;
      return false;
    }
    if (shown == link) {
      m_differing = 0;
      return false;
    }
    if (++m_differing < kLooksBeforeResync) return false;
    m_differing = 0;
    return true;
  }

 private:
  int m_held = 0;
  int m_differing = 0;
};

}  // namespace pv::link
