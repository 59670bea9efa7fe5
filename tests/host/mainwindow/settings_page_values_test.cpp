#include "ui/mainwindow/core/settings_page_values.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "effects/core/effect_geometry.h"
#include "settings/core/key_names.h"
#include "settings/core/memory_backend.h"
#include "ui/mainwindow/core/hue_color.h"

namespace pv::mainwindow::test {
namespace {

class RecordingOutputs : public SettingsPageOutputs {
 public:
  void SetLinkPointerSpeed(std::uint8_t speed) override { linkSpeeds.push_back(speed); }
  std::vector<int> linkSpeeds;
};

class SettingsPageValuesTest : public ::testing::Test {
 protected:
  settings::MemoryBackend backend;
  settings::SettingsStore store{backend};
  EffectSettingsModel model{store};
  const effects::EffectSettings& effect = model.Current();
  RecordingOutputs outputs;
  SettingsPageValues values{store, model, outputs};

  static std::wstring Name(const wchar_t* setting) { return std::wstring(settings::kKeyPrefix) + setting; }
  std::optional<std::uint32_t> Stored(const wchar_t* setting) const { return backend.Dword(Name(setting)); }
  void Plant(const wchar_t* setting, std::uint32_t value) { backend.SetDword(Name(setting), value); }
};

TEST_F(SettingsPageValuesTest, FirstStartStoresTheDefaults) {
  values.Load();
  EXPECT_EQ(values.Brightness(), 80u);
  EXPECT_EQ(values.PointerSpeed(), 50u);
  EXPECT_EQ(values.CircleColorIndex(), 0u);
  EXPECT_EQ(values.CircleColor(), 0xFF0000u);
  EXPECT_EQ(Stored(L"Brightness"), 80u);
  EXPECT_EQ(Stored(L"PointerSpeed"), 50u);
  EXPECT_EQ(Stored(L"CircleColor"), 0u);
  EXPECT_EQ(outputs.linkSpeeds, (std::vector<int>{50}));
  EXPECT_EQ(effects::OpacityForBrightness(values.Brightness()), 215);
}

TEST_F(SettingsPageValuesTest, OutOfRangeStoredValuesAreCorrectedAsEachRuleSays) {
  Plant(L"Brightness", 150);
  Plant(L"PointerSpeed", 300);
  Plant(L"CircleColor", 240);
  values.Load();
  // Brightness shown as 100, the stored 150 left alone until the slider moves.
  EXPECT_EQ(values.Brightness(), 100u);
  EXPECT_EQ(Stored(L"Brightness"), 150u);
  // Pointer speed limited to 100 and stored; the link gets 100, not 300 & 0xFF.
  EXPECT_EQ(values.PointerSpeed(), 100u);
  EXPECT_EQ(Stored(L"PointerSpeed"), 100u);
  EXPECT_EQ(outputs.linkSpeeds, (std::vector<int>{100}));
  // Colour 240 reset to red, index 0 stored.
  EXPECT_EQ(values.CircleColorIndex(), 0u);
  EXPECT_EQ(Stored(L"CircleColor"), 0u);
  EXPECT_EQ(values.CircleColor(), 0xFF0000u);
}

TEST_F(SettingsPageValuesTest, StoredValuesLoadAsTheyAre) {
  Plant(L"Brightness", 0);
  Plant(L"PointerSpeed", 0);  // kept; the slider shows it at its left end
  Plant(L"CircleColor", 120);
  values.Load();
  EXPECT_EQ(values.Brightness(), 0u);
  EXPECT_EQ(values.PointerSpeed(), 0u);
  EXPECT_EQ(values.CircleColor(), HueToColor(120));
  EXPECT_EQ(backend.WriteCount(), 3);  // only the three planted values
}

TEST_F(SettingsPageValuesTest, UnchangedPositionWritesNothing) {
  values.Load();
  const int writes = backend.WriteCount();
  outputs.linkSpeeds.clear();
  EXPECT_FALSE(values.SyncBrightness(80));
  EXPECT_FALSE(values.SyncCircleColor(0));
  EXPECT_FALSE(values.SyncPointerSpeed(50));
  EXPECT_EQ(backend.WriteCount(), writes);
  // The pointer speed goes to the link again even without a change.
  EXPECT_EQ(outputs.linkSpeeds, (std::vector<int>{50}));
}

TEST_F(SettingsPageValuesTest, ChangedPositionsAreStoredAndAppliedAtOnce) {
  values.Load();
  outputs.linkSpeeds.clear();
  EXPECT_TRUE(values.SyncBrightness(30));
  EXPECT_EQ(Stored(L"Brightness"), 30u);
  EXPECT_EQ(effect.brightness, 30u);

  EXPECT_TRUE(values.SyncPointerSpeed(77));
  EXPECT_EQ(Stored(L"PointerSpeed"), 77u);
  EXPECT_EQ(outputs.linkSpeeds, (std::vector<int>{77}));

  EXPECT_TRUE(values.SyncCircleColor(80));
  EXPECT_EQ(Stored(L"CircleColor"), 80u);
  EXPECT_EQ(effect.circleColor, 0x00FF00u);
}

TEST_F(SettingsPageValuesTest, BrightnessClampedInMemoryIsStoredOnceTheSliderMoves) {
  Plant(L"Brightness", 150);
  values.Load();
  EXPECT_FALSE(values.SyncBrightness(100));  // the slider shows what is held
  EXPECT_EQ(Stored(L"Brightness"), 150u);
  EXPECT_TRUE(values.SyncBrightness(99));
  EXPECT_EQ(Stored(L"Brightness"), 99u);
}

TEST_F(SettingsPageValuesTest, PositionsOutsideTheRangesAreRefused) {
  values.Load();
  const int writes = backend.WriteCount();
  EXPECT_FALSE(values.SyncBrightness(101));
  EXPECT_FALSE(values.SyncBrightness(-1));
  EXPECT_FALSE(values.SyncPointerSpeed(1000));
  EXPECT_FALSE(values.SyncCircleColor(240));
  EXPECT_EQ(backend.WriteCount(), writes);
  EXPECT_EQ(values.Brightness(), 80u);
}

TEST(AutoBootSwitch, ShowsWhatAutostartReallyIs) {
  const struct {
    bool wasOn, reached, shown;
  } cases[] = {
      {false, true, true},    // switched on
      {false, false, false},  // the copy or the Run value failed: stays off
      {true, true, false},    // switched off
      {true, false, true},    // the Run value could not be removed: still on
  };
  for (const auto& c : cases)
    EXPECT_EQ(AutoBootAfterClick(c.wasOn, c.reached), c.shown) << c.wasOn << c.reached;
}

}  // namespace
}  // namespace pv::mainwindow::test

namespace pv::mainwindow::test {
namespace {

// A thumb drag or a run of arrow-key steps: every step is stored at once
// (readers see it) and the run is flushed once, at its end (TB_ENDTRACK).
TEST_F(SettingsPageValuesTest, ARunOfScrollStepsIsStoredAtEachStepAndFlushedOnceAtItsEnd) {
  values.Load();
  struct Slider {
    const wchar_t* setting;
    std::function<bool(int, ScrollStep)> sync;
  };
  const Slider sliders[] = {
      {L"Brightness", [&](int p, ScrollStep s) { return values.SyncBrightness(p, s); }},
      {L"PointerSpeed", [&](int p, ScrollStep s) { return values.SyncPointerSpeed(p, s); }},
      {L"CircleColor", [&](int p, ScrollStep s) { return values.SyncCircleColor(p, s); }},
  };
  for (const Slider& slider : sliders) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(slider.setting)));
    const int flushesBefore = backend.FlushCount();
    for (int position = 10; position <= 40; position += 5) {
      EXPECT_TRUE(slider.sync(position, ScrollStep::kWithinRun));
      EXPECT_EQ(Stored(slider.setting), static_cast<std::uint32_t>(position)) << "stored at once";
    }
    EXPECT_EQ(backend.FlushCount(), flushesBefore) << "flushed during the run";
    EXPECT_FALSE(backend.Durable(Name(slider.setting)));
    // The thumb's release: its notification repeats the last position, then TB_ENDTRACK.
    EXPECT_FALSE(slider.sync(40, ScrollStep::kEndOfRun));
    values.EndScrollRun();
    EXPECT_EQ(backend.FlushCount(), flushesBefore + 1);
    EXPECT_TRUE(backend.Durable(Name(slider.setting)));
    EXPECT_EQ(Stored(slider.setting), 40u);
    // A run that ended with no change flushes nothing more.
    values.EndScrollRun();
    EXPECT_EQ(backend.FlushCount(), flushesBefore + 1);
  }
}

TEST_F(SettingsPageValuesTest, AChangeOutsideARunIsDurableAtOnceAndTakesAPendingRunWithIt) {
  values.Load();
  const int flushesBefore = backend.FlushCount();
  EXPECT_TRUE(values.SyncBrightness(33, ScrollStep::kWithinRun));
  // The run's last step came as its end (the thumb released on a new place).
  EXPECT_TRUE(values.SyncPointerSpeed(77, ScrollStep::kEndOfRun));
  EXPECT_EQ(backend.FlushCount(), flushesBefore + 1);
  EXPECT_TRUE(backend.Durable(Name(L"PointerSpeed")));
  EXPECT_TRUE(backend.Durable(Name(L"Brightness"))) << "a flush is of the whole hive";
  values.EndScrollRun();
  EXPECT_EQ(backend.FlushCount(), flushesBefore + 1) << "nothing was left to flush";
  // And plain calls (a click) write durably, as always.
  EXPECT_TRUE(values.SyncCircleColor(120));
  EXPECT_TRUE(backend.Durable(Name(L"CircleColor")));
}

}  // namespace
}  // namespace pv::mainwindow::test
