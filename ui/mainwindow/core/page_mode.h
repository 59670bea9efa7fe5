// Which page the main window shows, and how link changes move between pages.
#pragma once

namespace pv::mainwindow {

// Values are fixed: other parts of the program compare against them.
enum PageMode : int {
  MODE_START = 0,      // before the first link event or the first showing
  MODE_NOT_READY = 1,  // receiver absent, or radio link down: the "plug in" page
  MODE_READY = 3,      // receiver present and remote linked: the settings page
  MODE_EFFECT = 4,     // an effect was started since the page was last laid out
};

// The page a shown window belongs on for the given link state.
constexpr PageMode PageForLink(bool receiverPresent, bool rfLinked) {
  return receiverPresent && rfLinked ? MODE_READY : MODE_NOT_READY;
}

// How a link event refreshes the window.
enum class RefreshType : int {
  // The window is in front of the user (unless it is minimised or an effect
  // runs, when it behaves like kToTray): a page change happens in place.
  kInPlace = 1,
  // The window lives in the tray and goes straight back there after a relayout.
  kToTray = 2,
};

// What the window does after a link event (see RefreshModePlan).
struct RefreshModeSteps {
  PageMode newMode;
  bool applyLayout;  // the mode changed: lay the window out for it
  bool invalidate;   // repaint the whole client area, erasing it
  bool hideToTray;   // put the window (back) into the tray
};

constexpr RefreshModeSteps RefreshModePlan(RefreshType type, bool minimised, PageMode mode,
                                           bool receiverPresent, bool rfLinked) {
  const bool toTray = type == RefreshType::kToTray || minimised || mode == MODE_EFFECT;
  const PageMode next = PageForLink(receiverPresent, rfLinked);
  const bool changed = next != mode;
  RefreshModeSteps steps{next, changed, false, false};
  if (changed && !toTray) {
    steps.invalidate = true;
    return steps;
  }
  steps.hideToTray = toTray;
  return steps;
}

}  // namespace pv::mainwindow
