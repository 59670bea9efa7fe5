// Which DPI context a window gets when the system refuses the one asked for.
// Each Windows version knows only some contexts: per-monitor v2 came with
// Windows 10 version 1703, GDI-scaled unaware with 1809. A refused context
// falls back to its nearest older kin, never to a kind that would change how
// the window is drawn: a per-monitor window (the overlays: hole, laser and
// lens in physical pixels) stays per-monitor, since an unaware one would be
// stretched and blurred by the system; a GDI-scaled window becomes plain
// unaware (scaled, as it wanted to be).
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace pv {

enum class DpiContext {
  kUnaware,
  kSystemAware,
  kPerMonitorAware,
  kPerMonitorAwareV2,
  kUnawareGdiScaled,
};

// The contexts to try for `wanted`, best first; unused entries repeat the last.
constexpr std::array<DpiContext, 2> DpiFallbacks(DpiContext wanted) {
  switch (wanted) {
    case DpiContext::kPerMonitorAwareV2:
      return {DpiContext::kPerMonitorAwareV2, DpiContext::kPerMonitorAware};
    case DpiContext::kUnawareGdiScaled:
      return {DpiContext::kUnawareGdiScaled, DpiContext::kUnaware};
    default:
      return {wanted, wanted};
  }
}

// The first context of `wanted`'s fallbacks that `accepts` takes (it is
// called once per context tried, in order, and may set the context as it
// goes); nothing when the system takes none of them.
template <typename Accepts>
std::optional<DpiContext> ChooseDpiContext(DpiContext wanted, Accepts&& accepts) {
  const auto tries = DpiFallbacks(wanted);
  for (std::size_t i = 0; i < tries.size(); ++i) {
    if (i > 0 && tries[i] == tries[i - 1]) break;
    if (accepts(tries[i])) return tries[i];
  }
  return std::nullopt;
}

}  // namespace pv
