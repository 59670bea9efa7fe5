#include "ui/mainwindow/core/tray_tip.h"

namespace pv::mainwindow {

std::wstring BuildTrayTip(const std::wstring& product, const std::wstring& noReceiver,
                          const std::wstring& radioDown, bool receiverPresent, bool rfLinked) {
  std::wstring tip = product;
  const std::wstring* reason = nullptr;
  if (!receiverPresent) {
    reason = &noReceiver;
  } else if (!rfLinked) {
    reason = &radioDown;
  }
  if (reason != nullptr && !reason->empty()) tip += L"\n" + *reason;
  if (tip.size() > kTrayTipCapacity - 1) tip.resize(kTrayTipCapacity - 1);
  return tip;
}

}  // namespace pv::mainwindow
