// The DPI context a window gets on systems that know only some contexts.
#include "framework/core/dpi_fallback.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <vector>

namespace pv::framework::test {
namespace {

using Accepted = std::set<DpiContext>;

struct Case {
  const char* system;
  Accepted accepted;  // what SetThreadDpiAwarenessContext takes there
  DpiContext wanted;
  std::optional<DpiContext> chosen;
};

constexpr DpiContext kV2 = DpiContext::kPerMonitorAwareV2;
constexpr DpiContext kV1 = DpiContext::kPerMonitorAware;
constexpr DpiContext kGdi = DpiContext::kUnawareGdiScaled;
constexpr DpiContext kUnaware = DpiContext::kUnaware;
constexpr DpiContext kSystem = DpiContext::kSystemAware;

const Accepted kWin10_1607{kUnaware, kSystem, kV1};
const Accepted kWin10_1703{kUnaware, kSystem, kV1, kV2};
const Accepted kWin10_1809{kUnaware, kSystem, kV1, kV2, kGdi};

TEST(DpiFallback, EachSystemGivesTheNearestContextItKnows) {
  const Case cases[] = {
      // Overlays: per-monitor always, never unaware (which would be stretched).
      {"10 1809+", kWin10_1809, kV2, kV2},
      {"10 1703", kWin10_1703, kV2, kV2},
      {"10 1607", kWin10_1607, kV2, kV1},
      // The skin's windows: GDI-scaled where known, else plain unaware.
      {"10 1809+", kWin10_1809, kGdi, kGdi},
      {"10 1703", kWin10_1703, kGdi, kUnaware},
      {"10 1607", kWin10_1607, kGdi, kUnaware},
      // A system that refuses everything: nothing is chosen (the process's
      // own awareness applies).
      {"none", {}, kV2, std::nullopt},
      {"none", {}, kGdi, std::nullopt},
      // A context without fallbacks is tried once.
      {"10 1607", kWin10_1607, kSystem, kSystem},
      {"unaware only", {kUnaware}, kV1, std::nullopt},
  };
  for (const Case& c : cases) {
    std::vector<DpiContext> tried;
    const auto chosen = pv::ChooseDpiContext(c.wanted, [&](DpiContext d) {
      tried.push_back(d);
      return c.accepted.count(d) > 0;
    });
    EXPECT_EQ(chosen, c.chosen) << c.system << " wanted " << static_cast<int>(c.wanted);
    // Never an unaware window for a per-monitor request.
    if (c.wanted == kV2) {
      for (DpiContext d : tried) EXPECT_NE(d, kUnaware) << c.system;
    }
    // Each context is tried once, and nothing after the one taken.
    EXPECT_EQ(std::set<DpiContext>(tried.begin(), tried.end()).size(), tried.size()) << c.system;
    if (chosen) {
      EXPECT_EQ(tried.back(), *chosen) << c.system;
    }
  }
}

}  // namespace
}  // namespace pv::framework::test
