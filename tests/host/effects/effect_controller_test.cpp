// The effect controller against a recording fake of its ports: the remote's
// key table, the latch, size steps, pointer tracking, the raw-input rules and
// giving the desktop back.
#include "effects/core/effect_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "link/core/link_messages.h"
#include "tests/host/effects/fake_desktop.h"

namespace pv::effects::test {
namespace {

using link::KeyEvent;
using link::KeyMessage;
using link::SizeStep;
using Calls = std::vector<std::string>;

// The remote's key events as the window's edge hands them on.
KeyMessage Down(Scene scene) {
  return {KeyEvent::kDown, scene};
}
constexpr KeyMessage kRelease{KeyEvent::kUp};
constexpr KeyMessage kLatch{KeyEvent::kLatch};
constexpr KeyMessage kBlackKey{KeyEvent::kBlackScreen};

Calls Concat(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Before a case: the window's state, reached through the controller's own
// entries.
enum class Before {
  Ready,
  Spotlight,
  LatchedSpotlight,
  Lens,
  LatchedLens,
  Circle,
  EffectEnded,
  Black,
  BlackOverLatched
};

// One desktop with its controller.
struct Rig {
  Rig() { desktop.controller = &controller; }

  // Brings the rig into a state; the calls on the way there are forgotten.
  void Arrange(Before before) {
    switch (before) {
      case Before::Ready:
        desktop.mainWindowShown = true;
        break;
      case Before::Spotlight:
        controller.OnLinkKeys(Down(SCENE_SPOTLIGHT));
        break;
      case Before::LatchedSpotlight:
        controller.OnLinkKeys(Down(SCENE_SPOTLIGHT));
        controller.OnLinkKeys(kLatch);
        break;
      case Before::Lens:
        controller.OnLinkKeys(Down(SCENE_MAGNIFIER));
        break;
      case Before::LatchedLens:
        controller.OnLinkKeys(Down(SCENE_MAGNIFIER));
        controller.OnLinkKeys(kLatch);
        break;
      case Before::Circle:
        controller.OnLinkKeys(Down(SCENE_CIRCLE));
        break;
      case Before::EffectEnded:  // MODE_EFFECT stays after the effect
        desktop.mainWindowShown = true;
        controller.OnLinkKeys(Down(SCENE_SPOTLIGHT));
        controller.OnLinkKeys(kRelease);
        break;
      case Before::Black:
        controller.OnLinkKeys(kBlackKey);
        break;
      case Before::BlackOverLatched:
        controller.OnLinkKeys(Down(SCENE_SPOTLIGHT));
        controller.OnLinkKeys(kLatch);
        controller.OnLinkKeys(kBlackKey);
        break;
    }
    desktop.Take();
  }

  FakeDesktop desktop;
  EffectSettings& settings = desktop.settings;
  EffectController controller{desktop, desktop, desktop, desktop};
};

class EffectControllerTest : public ::testing::Test, protected Rig {};

// With the default settings, the pointer at (100, 200) and a 1920 x 1080 screen.
const Calls kShowSpotlight = {"HideToTray", "EnterEffectMode", "HideMask",
                              "ShowSpotlight (0,0,1920,1080) opacity 215 hole (-150,-50,350,450)",
                              "HidePointer"};
const Calls kShowLens = {"HideToTray", "EnterEffectMode", "ShowMask (0,0,1920,1080)",
                         "ShowLens (-150,-50,350,450) capture", "HidePointer"};
const Calls kShowCircle = {"HideToTray", "EnterEffectMode", "ShowMask (0,0,1920,1080)",
                           "ShowCircle (63,163,138,238) #ff0000", "HidePointer"};
const Calls kNothing = {};

TEST(EffectControllerKeysTest, LinkKeysTable) {
  struct Row {
    const char* what;
    Before before;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    Calls expected;
    bool latchedAfter;
    Scene visibleAfter;
  };
  const Row rows[] = {
      {"key down starts the spotlight", Before::Ready, 1, 0, kShowSpotlight, false, SCENE_SPOTLIGHT},
      {"key down starts the lens", Before::Ready, 1, 1, kShowLens, false, SCENE_MAGNIFIER},
      {"key down starts the circle", Before::Ready, 1, 2, kShowCircle, false, SCENE_CIRCLE},
      {"key down for a scene that shows changes nothing", Before::Spotlight, 1, 0, kNothing, false,
       SCENE_SPOTLIGHT},
      {"key down while latched only unlatches",
       Before::LatchedSpotlight,
       1,
       2,
       {"Resend"},
       false,
       SCENE_SPOTLIGHT},
      {"key down with scene 3 is ignored", Before::Ready, 1, 3, kNothing, false, SCENE_NONE},
      {"key down with scene 255 is ignored", Before::Ready, 1, 255, kNothing, false, SCENE_NONE},
      {"key down with a negative scene is ignored", Before::Ready, 1, -1, kNothing, false, SCENE_NONE},
      {"key down with a huge scene is ignored", Before::Ready, 1, INTPTR_MIN, kNothing, false, SCENE_NONE},
      {"key down with a bad scene while latched is ignored", Before::LatchedSpotlight, 1, 9, kNothing, true,
       SCENE_SPOTLIGHT},
      {"key up stops the effect", Before::Lens, 2, 1, kStopCalls, false, SCENE_NONE},
      {"key up unlatches and stops", Before::LatchedLens, 2, 2, Concat({"Resend"}, kStopCalls), false,
       SCENE_NONE},
      {"key up with nothing shown still hides", Before::Ready, 2, 77, kStopCalls, false, SCENE_NONE},
      {"latch freezes the spotlight", Before::Spotlight, 3, 0, {"Latched"}, true, SCENE_SPOTLIGHT},
      {"latch freezes the lens", Before::Lens, 3, 1, {"Latched"}, true, SCENE_MAGNIFIER},
      {"latch while latched keeps it", Before::LatchedLens, 3, 1, {"Latched"}, true, SCENE_MAGNIFIER},
      {"latch ends the circle", Before::Circle, 3, 2, Concat({"Resend"}, kStopCalls), false, SCENE_NONE},
      {"latch with nothing shown asks for a resend", Before::Ready, 3, 0, Concat({"Resend"}, kStopCalls),
       false, SCENE_NONE},
      {"black-screen key shows the black screen",
       Before::Ready,
       4,
       1,
       {"ShowBlack (0,0,1920,1080)", "Black 1"},
       false,
       SCENE_NONE},
      {"black-screen key over an effect leaves it running",
       Before::Circle,
       4,
       0,
       {"ShowBlack (0,0,1920,1080)", "Black 1"},
       false,
       SCENE_CIRCLE},
      {"black-screen key hides the black screen", Before::Black, 4, 0,
       Concat({"HideBlack", "Black 0"}, kStopCalls), false, SCENE_NONE},
      {"hiding the black screen ends a latched effect", Before::BlackOverLatched, 4, 0,
       Concat(Concat({"HideBlack", "Black 0"}, kStopCalls), {"Resend"}), false, SCENE_NONE},
      {"event 0 does nothing", Before::Spotlight, 0, 0, kNothing, false, SCENE_SPOTLIGHT},
      {"event 5 does nothing", Before::LatchedSpotlight, 5, 0, kNothing, true, SCENE_SPOTLIGHT},
      {"a huge event does nothing", Before::Black, UINTPTR_MAX, 1, kNothing, false, SCENE_NONE},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Rig rig;
    rig.Arrange(row.before);
    // As the window's edge hands the message on: decoded, or dropped.
    if (const auto keys = link::DecodeKeyMessage(row.wParam, row.lParam)) rig.controller.OnLinkKeys(*keys);
    EXPECT_EQ(rig.desktop.Take(), row.expected);
    EXPECT_EQ(rig.controller.Latched(), row.latchedAfter);
    EXPECT_EQ(rig.controller.VisibleScene(), row.visibleAfter);
  }
}

TEST_F(EffectControllerTest, AChangeOfSceneStopsTheShownEffectFirst) {
  Arrange(Before::Spotlight);
  controller.OnLinkKeys(Down(SCENE_CIRCLE));
  EXPECT_EQ(desktop.Take(), Concat(kStopCalls, {"HideToTray", "ShowMask (0,0,1920,1080)",
                                                "ShowCircle (63,163,138,238) #ff0000", "HidePointer"}));
  EXPECT_FALSE(desktop.pointerShown);
  EXPECT_EQ(controller.VisibleScene(), SCENE_CIRCLE);
}

TEST_F(EffectControllerTest, SpotlightTakesTheMaskWhenThePointerOptionIsOff) {
  settings.showPointerInSpotlight = false;
  settings.brightness = 0;
  controller.StartEffect(SCENE_SPOTLIGHT);
  const Calls calls = desktop.Take();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[2], "ShowMask (0,0,1920,1080)");
  EXPECT_EQ(calls[3], "ShowSpotlight (0,0,1920,1080) opacity 55 hole (-150,-50,350,450)");
}

TEST_F(EffectControllerTest, FullBrightnessGivesAnOpaqueSpotlight) {
  settings.brightness = 100;
  controller.StartEffect(SCENE_SPOTLIGHT);
  EXPECT_EQ(desktop.Take().at(3), "ShowSpotlight (0,0,1920,1080) opacity 255 hole (-150,-50,350,450)");
}

TEST_F(EffectControllerTest, LatchLifeCycle) {
  Arrange(Before::Spotlight);
  controller.OnLinkKeys(kLatch);
  EXPECT_TRUE(controller.Latched());
  EXPECT_EQ(desktop.Take(), Calls{"Latched"});

  // Frozen: a moving pointer does not take the hole along, also once it rests.
  desktop.cursor = {400, 400};
  controller.OnTrackingTick();
  controller.OnTrackingTick();
  EXPECT_EQ(desktop.Take(), kNothing);

  // The effect key unlatches; the hole follows from the next tick.
  controller.OnLinkKeys(Down(SCENE_SPOTLIGHT));
  EXPECT_FALSE(controller.Latched());
  EXPECT_EQ(desktop.Take(), Calls{"Resend"});
  controller.OnTrackingTick();
  EXPECT_EQ(desktop.Take(), Calls{"MoveHole (150,150,650,650)"});

  // Latched again, any key pressed anywhere ends it.
  controller.OnLinkKeys(kLatch);
  desktop.Take();
  EXPECT_TRUE(controller.OnRawKey(kWmKeyDown, 'N'));
  EXPECT_EQ(desktop.Take(), Concat(kStopCalls, {"Resend"}));
  EXPECT_FALSE(controller.Latched());
  EXPECT_TRUE(desktop.pointerShown);
}

TEST_F(EffectControllerTest, SizeStepsStopAt80AndTheLargestSizeAndSaveEachStep) {
  Arrange(Before::Spotlight);
  controller.OnLinkSizeStep(SizeStep::kLarger);
  EXPECT_EQ(desktop.Take(),
            (Calls{"ShowSpotlight (0,0,1920,1080) opacity 215 hole (-160,-60,360,460)", "Save 0 520"}));

  std::uint32_t lastSaved = 0;
  for (int i = 0; i < 40; ++i) controller.OnLinkSizeStep(SizeStep::kLarger);
  for (const std::string& call : desktop.Take()) {
    if (call.rfind("Save 0 ", 0) == 0) lastSaved = std::stoul(call.substr(7));
    EXPECT_NE(call, "Save 0 1100");
  }
  EXPECT_EQ(lastSaved, 1080u);
  EXPECT_EQ(settings.spotlightSize, 1080u);

  for (int i = 0; i < 80; ++i) controller.OnLinkSizeStep(SizeStep::kSmaller);
  EXPECT_EQ(desktop.Take().back(), "Save 0 80");
  EXPECT_EQ(settings.spotlightSize, 80u);
  EXPECT_EQ(controller.VisibleScene(), SCENE_SPOTLIGHT);
}

TEST_F(EffectControllerTest, LensAndCircleSizeSteps) {
  Arrange(Before::Lens);
  controller.OnLinkSizeStep(SizeStep::kSmaller);
  EXPECT_EQ(desktop.Take(), (Calls{"ShowLens (-140,-40,340,440) keep", "Save 1 480"}));
  EXPECT_EQ(settings.zoomSize, 480u);

  Rig circle;
  circle.Arrange(Before::Circle);
  circle.desktop.cursor = {10, 10};
  circle.controller.OnLinkSizeStep(SizeStep::kLarger);
  EXPECT_EQ(circle.desktop.Take(), (Calls{"ShowCircle (-32,-32,53,53) #ff0000", "Save 2 170"}));
  EXPECT_EQ(circle.settings.circleSize, 170u);
}

TEST(EffectControllerSizeTest, SizeStepsOutsideAShownEffectChangeAndSaveNothing) {
  struct Case {
    const char* what;
    std::uintptr_t wParam;
    bool effectEnded;
    Before before;
  } cases[] = {
      {"main window shown", 0, false, Before::Ready},
      {"effect ended, mode kept", 0, true, Before::Spotlight},
      {"black screen only", 1, false, Before::Black},
      {"step 2 is no step", 2, false, Before::Spotlight},
      {"a huge step is no step", UINTPTR_MAX, false, Before::Lens},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    rig.Arrange(c.before);
    if (c.effectEnded) rig.controller.OnLinkKeys(kRelease);
    rig.desktop.Take();
    const EffectSettings before = rig.settings;
    if (const auto step = link::DecodeSizeStep(c.wParam)) rig.controller.OnLinkSizeStep(*step);
    EXPECT_EQ(rig.desktop.Take(), kNothing);
    EXPECT_EQ(rig.settings.spotlightSize, before.spotlightSize);
    EXPECT_EQ(rig.settings.zoomSize, before.zoomSize);
    EXPECT_EQ(rig.settings.circleSize, before.circleSize);
  }
}

TEST(EffectControllerTrackingTest, AStillPointerCostsNoWindowOperation) {
  for (Before before : {Before::Spotlight, Before::Lens, Before::Circle}) {
    Rig rig;
    rig.Arrange(before);
    for (int i = 0; i < 5; ++i) {
      rig.controller.OnTrackingTick();
      rig.controller.OnRawMouse();
    }
    EXPECT_EQ(rig.desktop.Take(), kNothing) << "scene " << rig.controller.VisibleScene();
  }
}

TEST(EffectControllerTrackingTest, EffectsFollowThePointerOnAScreenLeftOfAndAboveThePrimary) {
  struct Case {
    Before before;
    Calls shown;
    std::string moved;
  } cases[] = {
      {Before::Spotlight,
       {"HideToTray", "EnterEffectMode", "HideMask",
        "ShowSpotlight (-1920,-200,1920,1080) opacity 215 hole (-1250,-350,-750,150)", "HidePointer"},
       "MoveHole (-1260,-360,-760,140)"},
      {Before::Lens,
       {"HideToTray", "EnterEffectMode", "ShowMask (-1920,-200,1920,1080)",
        "ShowLens (-1250,-350,-750,150) capture", "HidePointer"},
       "MoveLens (-1260,-360,-760,140)"},
      {Before::Circle,
       {"HideToTray", "EnterEffectMode", "ShowMask (-1920,-200,1920,1080)",
        "ShowCircle (-1037,-137,-962,-62) #ff0000", "HidePointer"},
       "MoveCircle (-1047,-147,-972,-72)"},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.desktop.virtualScreen = {-1920, -200, 1920, 1080};
    rig.desktop.cursor = {-1000, -100};
    rig.controller.OnLinkKeys(Down(c.before == Before::Spotlight ? SCENE_SPOTLIGHT
                                   : c.before == Before::Lens    ? SCENE_MAGNIFIER
                                                                 : SCENE_CIRCLE));
    EXPECT_EQ(rig.desktop.Take(), c.shown);
    rig.desktop.cursor = {-1010, -110};
    rig.controller.OnTrackingTick();
    EXPECT_EQ(rig.desktop.Take(), Calls{c.moved});
    rig.desktop.cursor = {-1000, -100};
    rig.controller.OnRawMouse();  // linked and unlatched: follows the raw movement at once
    EXPECT_EQ(rig.desktop.Take().size(), 1u);
  }
}

TEST_F(EffectControllerTest, BlackScreenCoversTheWholeVirtualScreen) {
  desktop.virtualScreen = {-1280, -1024, 1920, 1080};
  controller.OnLinkKeys(kBlackKey);
  EXPECT_EQ(desktop.Take(), (Calls{"ShowBlack (-1280,-1024,1920,1080)", "Black 1"}));
  EXPECT_FALSE(desktop.taskbarShown);
}

TEST(EffectControllerMovementTest, RawMovementEndsALatchedOrUnlinkedEffectAtTheEleventh) {
  struct Case {
    const char* what;
    Before before;
    bool rfLinked;
    Calls atEleventh;
  } cases[] = {
      {"latched, linked", Before::LatchedSpotlight, true, Concat(kStopCalls, {"Resend"})},
      {"latched lens, remote out of reach", Before::LatchedLens, false, Concat(kStopCalls, {"Resend"})},
      {"unlatched, remote out of reach", Before::Circle, false, kStopCalls},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig rig;
    rig.Arrange(c.before);
    rig.desktop.rfLinked = c.rfLinked;
    for (int i = 0; i < 10; ++i) rig.controller.OnRawMouse();
    EXPECT_EQ(rig.desktop.Take(), kNothing);
    EXPECT_EQ(rig.controller.MoveCount(), 10);
    rig.controller.OnRawMouse();
    EXPECT_EQ(rig.desktop.Take(), c.atEleventh);
    EXPECT_EQ(rig.controller.MoveCount(), 0);
    EXPECT_FALSE(rig.controller.AnyEffectVisible());
  }
}

TEST_F(EffectControllerTest, LinkedUnlatchedMovementFollowsAndNeverCounts) {
  Arrange(Before::Spotlight);
  for (int i = 0; i < 50; ++i) {
    desktop.cursor.x += 1;
    controller.OnRawMouse();
  }
  EXPECT_EQ(desktop.Take().size(), 50u);
  EXPECT_EQ(controller.MoveCount(), 0);
  EXPECT_TRUE(controller.AnyEffectVisible());
}

TEST_F(EffectControllerTest, ALatchedEffectEndsAtTheFourthTickThatSawTheMouseMove) {
  Arrange(Before::Lens);
  controller.OnTrackingTick();  // the lens is where the pointer is
  controller.OnLinkKeys(kLatch);
  desktop.Take();
  for (int i = 0; i < 3; ++i) {
    desktop.cursor.x += 5;
    controller.OnTrackingTick();
    controller.OnTrackingTick();  // a still tick neither counts nor moves the frozen lens
  }
  EXPECT_EQ(desktop.Take(), kNothing);
  EXPECT_EQ(controller.MoveCount(), 3);
  desktop.cursor.y += 5;
  controller.OnTrackingTick();
  EXPECT_EQ(desktop.Take(), Concat({"Resend"}, kStopCalls));
  EXPECT_FALSE(controller.Latched());
}

TEST_F(EffectControllerTest, WithTheRemoteOutOfReachTrackingStillMovesAnUnlatchedEffect) {
  Arrange(Before::Circle);
  desktop.rfLinked = false;
  for (int i = 0; i < 5; ++i) {
    desktop.cursor.x += 10;
    controller.OnRawMouse();  // counted
    controller.OnTrackingTick();
  }
  const Calls calls = desktop.Take();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls.back(), "MoveCircle (113,163,188,238)");
  EXPECT_EQ(controller.MoveCount(), 5);
}

TEST_F(EffectControllerTest, EveryRawMouseRecordSpeedsTheTrackingTimerUp) {
  controller.OnRawMouseRecord();
  EXPECT_EQ(desktop.Take(), Calls{"Period 15"});
  Arrange(Before::Lens);
  desktop.cursor = {101, 200};
  controller.OnRawMouseRecord();
  EXPECT_EQ(desktop.Take(), (Calls{"Period 15", "MoveLens (-149,-50,351,450)"}));
}

TEST(EffectControllerKeysTest, RawKeyRules) {
  struct Row {
    const char* what;
    Before before;
    bool rfLinked;
    bool mainWindowShown;
    bool overHelp;
    unsigned message;
    unsigned key;
    bool consumed;
    Calls expected;
  };
  const Calls hideBlack = Concat({"HideBlack", "Black 0"}, kStopCalls);
  const Row rows[] = {
      {"a key release ends the black screen", Before::Black, true, false, false, kWmKeyUp, 'B', true,
       hideBlack},
      {"a key release ends a latched effect under it", Before::BlackOverLatched, true, false, false, kWmKeyUp,
       'B', true, Concat(hideBlack, {"Resend"})},
      {"a key release without the black screen",
       Before::Spotlight,
       true,
       false,
       false,
       kWmKeyUp,
       'B',
       false,
       {}},
      {"a key press ends a latched effect", Before::LatchedSpotlight, true, false, false, kWmKeyDown, 0x22,
       true, Concat(kStopCalls, {"Resend"})},
      {"a key press ends an effect whose remote is away", Before::Circle, false, false, false, kWmKeyDown,
       0x41, true, kStopCalls},
      {"a key press leaves a held effect alone",
       Before::Spotlight,
       true,
       false,
       false,
       kWmKeyDown,
       0x22,
       false,
       {}},
      {"Escape leaves a held effect alone",
       Before::Lens,
       true,
       false,
       false,
       kWmKeyDown,
       kVkEscape,
       false,
       {}},
      {"Escape hides the shown main window",
       Before::Ready,
       true,
       true,
       false,
       kWmKeyDown,
       kVkEscape,
       true,
       {"HideToTray"}},
      {"Escape over the help link is the page's",
       Before::Ready,
       true,
       true,
       true,
       kWmKeyDown,
       kVkEscape,
       false,
       {}},
      {"Escape with the window hidden", Before::Ready, true, false, false, kWmKeyDown, kVkEscape, false, {}},
      {"Escape after an effect ended",
       Before::EffectEnded,
       true,
       true,
       false,
       kWmKeyDown,
       kVkEscape,
       false,
       {}},
      {"another key on the shown window", Before::Ready, true, true, false, kWmKeyDown, 'A', false, {}},
      {"Escape as a system key", Before::Ready, true, true, false, 0x104, kVkEscape, false, {}},
      {"a strange message", Before::LatchedSpotlight, false, true, false, 0xFFFFFFFFu, kVkEscape, false, {}},
      {"a key press with a huge key code",
       Before::Ready,
       true,
       true,
       false,
       kWmKeyDown,
       0xFFFFFFFFu,
       false,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Rig rig;
    rig.Arrange(row.before);
    rig.desktop.rfLinked = row.rfLinked;
    rig.desktop.mainWindowShown = row.mainWindowShown;
    rig.desktop.pointerOverHelp = row.overHelp;
    EXPECT_EQ(rig.controller.OnRawKey(row.message, row.key), row.consumed);
    EXPECT_EQ(rig.desktop.Take(), row.expected);
  }
}

TEST_F(EffectControllerTest, KeyPressesFoundWhileDrainingFollowTheKeyPressRule) {
  Arrange(Before::LatchedLens);
  controller.OnDrainedKeyDown('X');
  EXPECT_EQ(desktop.Take(), Concat(kStopCalls, {"Resend"}));

  Rig shown;
  shown.Arrange(Before::Ready);
  shown.controller.OnDrainedKeyDown(kVkEscape);
  EXPECT_EQ(shown.desktop.Take(), Calls{"HideToTray"});
}

TEST(EffectControllerKeysTest, AKeyReleaseFoundWhileDrainingStillEndsTheBlackScreen) {
  // A key tapped quickly queues its release behind its press: the release is
  // read by the drain, not by its own WM_INPUT.
  Rig rig;
  rig.Arrange(Before::BlackOverLatched);
  rig.controller.OnDrainedKeyUp('B');
  EXPECT_EQ(rig.desktop.Take(), Concat(Concat({"HideBlack", "Black 0"}, kStopCalls), {"Resend"}));
  EXPECT_TRUE(rig.desktop.taskbarShown);

  rig.controller.OnDrainedKeyUp('B');  // nothing left to end
  EXPECT_EQ(rig.desktop.Take(), kNothing);
}

TEST_F(EffectControllerTest, OutsideEffectModeAFlaggedLensIsStartedAnew) {
  Arrange(Before::Lens);
  desktop.effectMode = false;  // the window left MODE_EFFECT with the lens flagged
  EXPECT_EQ(controller.VisibleScene(), SCENE_MAGNIFIER);

  // Outside MODE_EFFECT the flagged lens counts as not shown: the key starts
  // it anew (through StopEffects, with a new picture).
  controller.OnLinkKeys(Down(SCENE_MAGNIFIER));
  EXPECT_EQ(desktop.Take(), Concat(kStopCalls, {"HideToTray", "EnterEffectMode", "ShowMask (0,0,1920,1080)",
                                                "ShowLens (-150,-50,350,450) capture", "HidePointer"}));
}

TEST(EffectControllerExitTest, RestoreDesktopLeavesNothingBehind) {
  for (Before before : {Before::BlackOverLatched, Before::Circle, Before::Black, Before::Ready}) {
    Rig rig;
    rig.Arrange(before);
    rig.controller.RestoreDesktop();
    EXPECT_FALSE(rig.desktop.blackShown);
    EXPECT_TRUE(rig.desktop.taskbarShown);
    EXPECT_TRUE(rig.desktop.pointerShown);
    EXPECT_FALSE(rig.controller.AnyEffectVisible());
    EXPECT_FALSE(rig.controller.Latched());
    const Calls calls = rig.desktop.Take();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "Black 0"), calls.end()) << "the link is told";
  }
}

TEST(EffectControllerKeysTest, PostedRawMessagesAreCheckedBeforeTheRules) {
  struct Row {
    const char* what;
    Before before;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::intptr_t result;
    Calls expected;
  };
  const std::uintptr_t kHigh = std::uintptr_t{1} << 32;
  const Row rows[] = {
      {"Escape as UM_RAW_KEY", Before::Ready, kWmKeyDown, kVkEscape, 1, {"HideToTray"}},
      {"key down hidden in the high bits", Before::Ready, kHigh | kWmKeyDown, kVkEscape, 0, {}},
      {"Escape hidden in the high bits", Before::Ready, kWmKeyDown, std::intptr_t{kHigh} | kVkEscape, 0, {}},
      {"a negative key", Before::Ready, kWmKeyDown, -1, 0, {}},
      {"an out-of-range key still ends a latched effect", Before::LatchedSpotlight, kWmKeyDown, INTPTR_MAX, 1,
       Concat(kStopCalls, {"Resend"})},
      {"key up as UM_RAW_KEY ends the black screen", Before::Black, kWmKeyUp, 0, 1,
       Concat({"HideBlack", "Black 0"}, kStopCalls)},
      {"key up hidden in the high bits", Before::Black, kHigh | kWmKeyUp, 0, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Rig rig;
    rig.Arrange(row.before);
    EXPECT_EQ(rig.controller.OnRawKeyMessage(row.wParam, row.lParam), row.result);
    EXPECT_EQ(rig.desktop.Take(), row.expected);
  }

  Rig mouse;
  mouse.Arrange(Before::Circle);
  mouse.desktop.cursor = {0, 0};
  EXPECT_EQ(mouse.controller.OnRawMouseMessage(kHigh | kWmMouseMove, 0), 1);
  EXPECT_EQ(mouse.controller.OnRawMouseMessage(0x201, 0), 1);
  EXPECT_EQ(mouse.desktop.Take(), kNothing);
  mouse.controller.OnRawMouseMessage(kWmMouseMove, 12345);
  EXPECT_EQ(mouse.desktop.Take(), Calls{"MoveCircle (-37,-37,38,38)"});
}

}  // namespace
}  // namespace pv::effects::test
