#include "settings/core/key_names.h"

#include <array>

namespace pv::settings {
namespace {

constexpr std::wstring_view kDefaultName = L"SOFTWARE\\Korvel\\PresenterVela\\Default";

// Index = id - 1.
constexpr std::array<std::wstring_view, 18> kNames = {
    L"SOFTWARE\\Korvel\\PresenterVela\\Link",
    L"SOFTWARE\\Korvel\\PresenterVela\\Charge",
    L"SOFTWARE\\Korvel\\PresenterVela\\BatLevel",
    L"SOFTWARE\\Korvel\\PresenterVela\\AutoBoot",
    L"SOFTWARE\\Korvel\\PresenterVela\\Brightness",
    L"SOFTWARE\\Korvel\\PresenterVela\\SpotlightSize",
    L"SOFTWARE\\Korvel\\PresenterVela\\ZoomSize",
    L"SOFTWARE\\Korvel\\PresenterVela\\CircleSize",
    kDefaultName,
    L"SOFTWARE\\Korvel\\PresenterVela\\TimerOn",
    L"SOFTWARE\\Korvel\\PresenterVela\\TimerTime",
    L"SOFTWARE\\Korvel\\PresenterVela\\TimerStartL",
    L"SOFTWARE\\Korvel\\PresenterVela\\TimerStartH",
    L"SOFTWARE\\Korvel\\PresenterVela\\LastScene",
    L"SOFTWARE\\Korvel\\PresenterVela\\FirstRun",
    L"SOFTWARE\\Korvel\\PresenterVela\\AntiLost",
    L"SOFTWARE\\Korvel\\PresenterVela\\PointerSpeed",
    L"SOFTWARE\\Korvel\\PresenterVela\\CircleColor",
};

}  // namespace

std::wstring_view GetKeyName(int32_t id) {
  if (id < 1 || id > static_cast<int32_t>(kNames.size())) return kDefaultName;
  return kNames[static_cast<size_t>(id - 1)];
}

}  // namespace pv::settings
