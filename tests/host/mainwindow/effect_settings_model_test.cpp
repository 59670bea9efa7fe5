// The one owner of the values the effects are drawn with: what it reads at
// start, what each change stores, and who is told.
#include "ui/mainwindow/core/effect_settings_model.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/core/key_names.h"
#include "settings/core/memory_backend.h"

namespace pv::mainwindow {
namespace {

class RecordingObserver final : public EffectSettingsObserver {
 public:
  struct Change {
    EffectSetting which;
    effects::EffectSettings now;
  };
  void OnEffectSettingChanged(EffectSetting which, const effects::EffectSettings& now) override {
    changes.push_back({which, now});
  }
  std::vector<Change> changes;
};

class EffectSettingsModelTest : public ::testing::Test {
 protected:
  void SetUp() override { model.SetObserver(&observer); }

  static std::wstring Name(const wchar_t* setting) { return std::wstring(settings::kKeyPrefix) + setting; }
  std::optional<std::uint32_t> Stored(const wchar_t* setting) const { return backend.Dword(Name(setting)); }
  void Plant(const wchar_t* setting, std::uint32_t value) { backend.SetDword(Name(setting), value); }

  settings::MemoryBackend backend;
  settings::SettingsStore store{backend};
  RecordingObserver observer;
  EffectSettingsModel model{store};
};

TEST_F(EffectSettingsModelTest, LoadReadsTheSizesWithinTheScreenAndThePointerOptionAndTellsNobody) {
  Plant(L"SpotlightSize", 2000);  // larger than the screen allows
  Plant(L"ZoomSize", 300);
  Plant(L"Default", 0);
  model.Load(900);
  const effects::EffectSettings& now = model.Current();
  EXPECT_EQ(now.maxEffectSize, 900u);
  EXPECT_EQ(now.spotlightSize, 900u);
  EXPECT_EQ(now.zoomSize, 300u);
  EXPECT_EQ(now.circleSize, 150u);  // missing: the default
  EXPECT_FALSE(now.showPointerInSpotlight);
  EXPECT_TRUE(observer.changes.empty());
}

TEST_F(EffectSettingsModelTest, EachSizeIsKeptStoredUnderItsOwnNameAndAnnounced) {
  model.Load(1080);
  const struct {
    effects::Scene scene;
    const wchar_t* name;
    std::uint32_t effects::EffectSettings::*field;
  } cases[] = {{effects::SCENE_SPOTLIGHT, L"SpotlightSize", &effects::EffectSettings::spotlightSize},
               {effects::SCENE_MAGNIFIER, L"ZoomSize", &effects::EffectSettings::zoomSize},
               {effects::SCENE_CIRCLE, L"CircleSize", &effects::EffectSettings::circleSize}};
  std::uint32_t size = 200;
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.scene));
    size += 20;
    observer.changes.clear();
    model.SetEffectSize(c.scene, size);
    EXPECT_EQ(model.Current().*c.field, size);
    EXPECT_EQ(Stored(c.name), size);
    ASSERT_EQ(observer.changes.size(), 1u);
    EXPECT_EQ(observer.changes[0].which, EffectSetting::kSize);
    EXPECT_EQ(observer.changes[0].now.*c.field, size);
  }
}

TEST_F(EffectSettingsModelTest, ASceneThatIsNoEffectChangesAndStoresNothing) {
  model.Load(1080);
  const effects::EffectSettings before = model.Current();
  const int writes = backend.WriteCount();
  model.SetEffectSize(effects::SCENE_NONE, 300);
  EXPECT_EQ(backend.WriteCount(), writes);
  EXPECT_EQ(model.Current().spotlightSize, before.spotlightSize);
  EXPECT_EQ(model.Current().zoomSize, before.zoomSize);
  EXPECT_EQ(model.Current().circleSize, before.circleSize);
  EXPECT_TRUE(observer.changes.empty());
}

TEST_F(EffectSettingsModelTest, ThePointerOptionIsStoredAndTheSliderValuesOnlyKeptAndAnnounced) {
  model.Load(1080);
  model.SetShowPointerInSpotlight(false);
  EXPECT_FALSE(model.Current().showPointerInSpotlight);
  EXPECT_EQ(Stored(L"Default"), 0u);

  // The slider rules store these themselves (a drag flushes once at its end).
  const int writes = backend.WriteCount();
  model.SetBrightness(30);
  model.SetCircleColor(0x00FF00);
  EXPECT_EQ(backend.WriteCount(), writes);
  EXPECT_EQ(model.Current().brightness, 30u);
  EXPECT_EQ(model.Current().circleColor, 0x00FF00u);

  ASSERT_EQ(observer.changes.size(), 3u);
  EXPECT_EQ(observer.changes[0].which, EffectSetting::kShowPointerInSpotlight);
  EXPECT_EQ(observer.changes[1].which, EffectSetting::kBrightness);
  EXPECT_EQ(observer.changes[1].now.brightness, 30u);
  EXPECT_EQ(observer.changes[2].which, EffectSetting::kCircleColor);
}

}  // namespace
}  // namespace pv::mainwindow
