// The pointer is shown or hidden from any display count others left behind,
// and the count ends right at the edge (0 shown, -1 hidden): code that pairs
// its own ShowCursor calls afterwards still sees the pointer change.
#include "effects/win32/pointer_visibility.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/windows/effects/effects_test_support.h"

namespace pv::effects::test {
namespace {

void SetDisplayCount(int wanted) {
  int count = PointerDisplayCount();
  while (count < wanted) count = ::ShowCursor(TRUE);
  while (count > wanted) count = ::ShowCursor(FALSE);
}

TEST(PointerVisibility, EndsAtTheEdgeOfTheWantedSideFromAnyCount) {
  struct Case {
    int before;
    bool show;
    int after;
  };
  const Case cases[] = {
      {-5, true, 0},  {-2, true, 0},  {-1, true, 0},  {0, true, 0},    {3, true, 3},
      {4, false, -1}, {1, false, -1}, {0, false, -1}, {-1, false, -1}, {-3, false, -3},
  };
  for (const Case& c : cases) {
    SetDisplayCount(c.before);
    if (c.show) {
      pv::effects::ShowPointerFully();
    } else {
      pv::effects::HidePointerFully();
    }
    EXPECT_EQ(PointerDisplayCount(), c.after) << "from " << c.before << (c.show ? " shown" : " hidden");
  }
  SetDisplayCount(0);
}

}  // namespace
}  // namespace pv::effects::test
