#include <gtest/gtest.h>

#include "app/core/ui_language.h"

namespace pv::app {
namespace {

TEST(UiLanguage, OnlySimplifiedChineseSelectsTheChineseResources) {
  EXPECT_TRUE(IsChineseUi(0x0804));
  for (std::uint16_t other : {0x0404, 0x0C04, 0x1004, 0x0409, 0x0809, 0x0407, 0x0000}) {
    EXPECT_FALSE(IsChineseUi(other)) << std::hex << other;
  }
}

}  // namespace
}  // namespace pv::app
