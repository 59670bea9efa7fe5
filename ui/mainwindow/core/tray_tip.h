// The tray icon's picture and tooltip for a link state.
#pragma once

#include <string>

namespace pv::mainwindow {

// Room of the tooltip field, terminator included.
inline constexpr std::size_t kTrayTipCapacity = 128;

enum class TrayIcon { Linked, Unlinked };

constexpr TrayIcon TrayIconFor(bool receiverPresent, bool rfLinked) {
  return receiverPresent && rfLinked ? TrayIcon::Linked : TrayIcon::Unlinked;
}

// The product name, then on a second line why the remote cannot be used:
// the receiver is missing, or the receiver is there but the remote is not.
// The texts come from the string table; the result fits the tooltip field.
std::wstring BuildTrayTip(const std::wstring& product, const std::wstring& noReceiver,
                          const std::wstring& radioDown, bool receiverPresent, bool rfLinked);

}  // namespace pv::mainwindow
