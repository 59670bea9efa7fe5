// The worker's passes against a fake receiver and a fake clock: discovery,
// the hello, answers, timeouts, reconnection and the stop handshake.
#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "link/core/hid_link.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

using Messages = std::vector<Message>;

FakeInterface Interface(std::uint16_t vendor, std::uint16_t product, std::uint16_t page, std::uint16_t usage,
                        std::uint16_t inLength = 10, std::uint16_t outLength = 9) {
  FakeInterface result;
  result.attributes = {true, vendor, product};
  result.caps = {page, usage, inLength, outLength};
  return result;
}

struct ChoiceCase {
  const char* name;
  std::vector<FakeInterface> interfaces;
  int chosen;  // -1: none
};

void PrintTo(const ChoiceCase& c, std::ostream* out) {
  *out << c.name;
}

class LinkInterfaceChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(LinkInterfaceChoice, FirstInterfacePassingEveryTestIsTaken) {
  const ChoiceCase& c = GetParam();
  LinkRig rig;
  rig.transport.m_interfaces = c.interfaces;
  const bool opened = rig.worker.OpenDevice();
  EXPECT_EQ(opened, c.chosen >= 0);
  EXPECT_EQ(rig.worker.m_bReceiverPresent, opened ? 1 : 0);
  EXPECT_EQ(rig.worker.m_bRfLinked, 0);
  if (c.chosen >= 0) {
    EXPECT_EQ(rig.transport.m_accepted, std::vector<std::size_t>{static_cast<std::size_t>(c.chosen)});
    EXPECT_EQ(rig.transport.m_rejected.size(), static_cast<std::size_t>(c.chosen))
        << "every interface before it was rejected and its probe handle closed";
  } else {
    EXPECT_TRUE(rig.transport.m_accepted.empty());
    EXPECT_EQ(rig.transport.m_rejected.size(), c.interfaces.size());
    EXPECT_FALSE(rig.transport.HandlesOpen());
    EXPECT_EQ(rig.clock.m_slept, 0u) << "no settle delay without a match";
  }
}

FakeInterface WithoutCaps() {
  FakeInterface result;
  result.capsReadable = false;
  return result;
}
FakeInterface WithoutAttributes() {
  FakeInterface result;
  result.attributes.valid = false;
  return result;
}

INSTANTIATE_TEST_SUITE_P(
    Discovery, LinkInterfaceChoice,
    testing::Values(
        ChoiceCase{"none_present", {}, -1},
        ChoiceCase{"wine_mouse_and_keyboard",
                   {Interface(0x845E, 0x0001, 0x0001, 0x0002), Interface(0x845E, 0x0002, 0x0001, 0x0006)},
                   -1},
        ChoiceCase{"same_device_other_collection_first",
                   {Interface(0x0C45, 0x8101, 0x000C, 0x0001), Interface(0x0C45, 0x8101, 0xFF00, 0x0002),
                    Interface(0x0C45, 0x8101, 0xFF00, 0x0001)},
                   2},
        ChoiceCase{"other_product", {Interface(0x0C45, 0x8102, 0xFF00, 0x0001)}, -1},
        ChoiceCase{"unreadable_attributes_then_receiver", {WithoutAttributes(), FakeInterface{}}, 1},
        ChoiceCase{"unreadable_caps", {WithoutCaps()}, -1},
        ChoiceCase{"input_32_bytes_refused", {Interface(0x0C45, 0x8101, 0xFF00, 1, 32, 9)}, -1},
        ChoiceCase{"input_9_bytes_refused", {Interface(0x0C45, 0x8101, 0xFF00, 1, 9, 9)}, -1},
        ChoiceCase{"output_25_bytes_refused", {Interface(0x0C45, 0x8101, 0xFF00, 1, 10, 25)}, -1},
        ChoiceCase{"output_8_bytes_refused", {Interface(0x0C45, 0x8101, 0xFF00, 1, 10, 8)}, -1},
        ChoiceCase{
            "largest_lengths_taken_after_oversized",
            {Interface(0x0C45, 0x8101, 0xFF00, 1, 32, 9), Interface(0x0C45, 0x8101, 0xFF00, 1, 20, 24)},
            1},
        ChoiceCase{"two_receivers_first_wins", {FakeInterface{}, FakeInterface{}}, 0}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(LinkConnection, HelloFollowsTheSettleDelayAndFillsTheBuffer) {
  LinkRig rig;
  rig.transport.m_interfaces = {Interface(0x0C45, 0x8101, 0xFF00, 1, 12, 11)};
  ASSERT_TRUE(rig.worker.OpenDevice());
  EXPECT_EQ(rig.clock.m_slept, 2000u);
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  EXPECT_EQ(rig.transport.m_writes[0], (Bytes{0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Bytes(rig.worker.m_outReport, rig.worker.m_outReport + 6),
            (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(LinkConnection, HelloAfterReconnectCarriesWhatTheLastReportLeft) {
  LinkRig rig;
  rig.Connect();
  rig.Feed(MakeStateRequest());
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  const Bytes last = rig.transport.m_writes[0];
  rig.worker.RunPass();  // silence: read times out, handles closed
  ASSERT_FALSE(rig.worker.m_bConnected);
  rig.transport.m_writes.clear();
  rig.worker.OpenDevice();
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  Bytes expected = last;
  expected[0] = expected[1] = expected[2] = 0xFF;
  EXPECT_EQ(rig.transport.m_writes[0], expected);
}

TEST(LinkConnection, PresenceAndRadioMessagesOverAConnectionsLife) {
  LinkRig rig;
  rig.transport.QueueReport(MakeStatus(0x00));
  rig.worker.RunPass();  // opens, reads one report
  EXPECT_EQ(rig.sink.Take(), (Messages{{UM_LINK_RECEIVER, 1, 0}, {UM_LINK_RF, 1, 0}}));

  rig.worker.RunPass();  // silence for 3000 ms
  EXPECT_EQ(rig.transport.m_lastTimeout, 3000u);
  EXPECT_EQ(rig.transport.m_cancels, 1);
  EXPECT_FALSE(rig.transport.HandlesOpen());
  EXPECT_EQ(rig.sink.Take(), (Messages{{UM_LINK_RF, 0, 0}}));
  const LinkSnapshot reconnecting = rig.link.Snapshot();
  EXPECT_TRUE(reconnecting.receiverPresent) << "reconnecting: still present";
  EXPECT_FALSE(reconnecting.rfLinked);

  rig.transport.m_interfaces.clear();  // unplugged
  rig.worker.RunPass();
  EXPECT_EQ(rig.sink.Take(), (Messages{{UM_LINK_RECEIVER, 0, 0}}));
  const auto slept = rig.clock.m_slept.load();
  rig.worker.RunPass();
  EXPECT_EQ(rig.clock.m_slept - slept, 200u) << "one opening attempt every 200 ms";
  EXPECT_TRUE(rig.sink.Take().empty());
}

TEST(LinkConnection, ReconnectionAfterTimeoutSendsNoReceiverMessage) {
  LinkRig rig;
  rig.transport.QueueReport(MakeStatus(0x00));
  rig.worker.RunPass();
  rig.worker.RunPass();  // timeout
  rig.sink.Take();
  rig.transport.QueueReport(MakeStatus(0x00));
  rig.worker.RunPass();  // reopens and reads
  EXPECT_EQ(rig.sink.Take(), (Messages{{UM_LINK_RF, 1, 0}}));
  EXPECT_EQ(rig.transport.m_discoveries, 2);
}

// The window looks at the link's flags once a second and takes them when
// they differ for two looks: while the silent receiver is reopened (the
// settle delay alone lasts 2 s) the link must not look unplugged, or the
// tray says no receiver and the anti-lost countdown is cancelled.
TEST(LinkConnection, ReceiverStaysPresentWhileBeingReopened) {
  LinkRig rig;
  rig.transport.QueueReport(MakeStatus(0x00));
  rig.worker.RunPass();  // opens, radio up
  rig.worker.RunPass();  // silence: reconnecting
  rig.sink.Take();
  std::vector<LinkSnapshot> seen;
  rig.clock.m_duringPause = [&](std::uint32_t) { seen.push_back(rig.link.Snapshot()); };
  rig.worker.RunPass();  // reopens (settle delay), then silence again
  rig.clock.m_duringPause = nullptr;
  ASSERT_EQ(rig.transport.m_discoveries, 2);
  ASSERT_FALSE(seen.empty());
  for (const LinkSnapshot& look : seen) {
    EXPECT_TRUE(look.receiverPresent) << "the receiver looked unplugged while being reopened";
    EXPECT_FALSE(look.rfLinked);
  }
  EXPECT_TRUE(rig.sink.Take().empty()) << "no presence or radio message for a reconnection";
}

TEST(LinkConnection, FailedReadWaitClosesAndReportsRadioDown) {
  LinkRig rig;
  rig.transport.QueueReport(MakeStatus(0x10));
  rig.worker.RunPass();
  rig.sink.Take();
  rig.transport.m_reads.push_back({ReadWait::Failed, {}, {}});
  rig.worker.RunPass();
  EXPECT_FALSE(rig.worker.m_bConnected);
  EXPECT_FALSE(rig.transport.HandlesOpen());
  EXPECT_EQ(rig.sink.Take(), (Messages{{UM_LINK_STATE_BIT, 0, 0}, {UM_LINK_RF, 0, 0}}));
}

TEST(LinkConnection, RejectedReportIsNoSignOfTheRemote) {
  LinkRig rig;
  rig.Connect();
  Bytes broken = MakeStatus(0x01);
  broken[9] ^= 0x01;
  EXPECT_TRUE(rig.Feed(broken).empty());
  EXPECT_EQ(rig.worker.m_bRfLinked, 0);
  EXPECT_EQ(rig.transport.m_resets, 1) << "the read event is reset after every wait";
}

// A read that completes with fewer bytes than a report leaves the previous
// report in the buffer; it must not be decoded (and answered) again.
TEST(LinkConnection, ShortCompletedReadIsRejectedNotTheOldReportAgain) {
  LinkRig rig;
  rig.Connect();
  rig.Feed(MakeStateRequest());
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  for (long bytes : {0L, 1L, 9L}) {
    ReadStep step{ReadWait::Completed, {}, {}};
    step.bytes = bytes;
    rig.transport.m_reads.push_back(step);
    rig.worker.RunPass();
    EXPECT_EQ(rig.transport.m_writes.size(), 1u) << bytes << " bytes: the old request answered again";
  }
  EXPECT_TRUE(rig.worker.m_bConnected) << "a short report is ignored, not a lost receiver";
}

TEST(LinkConnection, StateRequestAnsweredInTheSamePass) {
  LinkRig rig;
  rig.Connect();
  rig.worker.m_scene = 2;
  rig.clock.SetMilliseconds(0x137);
  rig.Feed(MakeStateRequest());
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  const Bytes& answer = rig.transport.m_writes[0];
  ASSERT_EQ(answer.size(), 9u);
  EXPECT_EQ(answer[0], 0x00);
  EXPECT_EQ(answer[7], 0xC8) << "NOT K for K = 0x37";
  const auto plain = Unmask(answer);
  EXPECT_EQ(plain.marker, 0x5A);
  EXPECT_EQ(plain.scene, 2);
  EXPECT_EQ(plain.speed, 50);
  EXPECT_EQ(plain.key, 0);
  EXPECT_TRUE(plain.checksumValid);
}

TEST(LinkConnection, FailedWriteOnWorkerDropsTheConnection) {
  LinkRig rig;
  rig.transport.QueueReport(MakeStatus(0x00));
  rig.worker.RunPass();
  rig.sink.Take();
  rig.transport.m_failWrites = true;
  rig.Feed(MakeStateRequest());
  EXPECT_FALSE(rig.worker.m_bConnected);
  EXPECT_EQ(rig.worker.m_bRfLinked, 0) << "not raised again by the report that was answered";
  EXPECT_FALSE(rig.transport.HandlesOpen());
}

TEST(LinkConnection, ResendRequestDropsLatchAndWrites) {
  LinkRig rig;
  rig.Connect();
  rig.worker.m_bEffectLatched = 1;
  rig.worker.m_bResendRequest = 1;
  rig.Feed(MakeStatus(0x00));
  EXPECT_EQ(rig.worker.m_bResendRequest, 0);
  EXPECT_EQ(rig.worker.m_bEffectLatched, 0);
  ASSERT_EQ(rig.transport.m_writes.size(), 1u);
  EXPECT_EQ(Unmask(rig.transport.m_writes[0]).scene & OF_LATCHED, 0);
}

TEST(LinkConnection, WriteFailureOnAnotherThreadLeavesClosingToTheWorker) {
  LinkRig rig;
  rig.transport.QueueReport(MakeStatus(0x00));
  rig.worker.RunPass();  // the worker is this thread
  rig.transport.m_failWrites = true;
  std::thread ui([&] { EXPECT_TRUE(rig.link.TryStartTimer(true, 0, 600, std::chrono::seconds(5))); });
  ui.join();
  EXPECT_TRUE(rig.transport.HandlesOpen()) << "never closed under the worker's pending read";
  EXPECT_EQ(rig.worker.m_bRfLinked, 0);
  rig.transport.m_failWrites = false;
  rig.transport.QueueReport(MakeStatus(0x00));
  rig.worker.RunPass();
  EXPECT_FALSE(rig.transport.HandlesOpen());
  EXPECT_FALSE(rig.worker.m_bConnected);
}

TEST(LinkStopHandshake, RequestDuringAReadThatTimesOutEndsTheLoop) {
  LinkRig rig;
  rig.Connect();
  rig.transport.m_reads.push_back(
      {ReadWait::TimedOut, {}, [&] { rig.worker.m_stopState = LinkInternals::kStopRequested; }});
  rig.worker.Run();
  EXPECT_EQ(rig.worker.m_stopState, LinkInternals::kFinished);
  EXPECT_EQ(rig.transport.m_readsIssued, 1) << "no further pass after the request";
  EXPECT_FALSE(rig.transport.HandlesOpen());
}

// The worker sits in a read wait that would outlast the exit's 5 s: the
// stop request wakes it, so the handshake completes and the exit never goes
// on while the worker still runs.
TEST(LinkStopHandshake, StopDuringAReadWaitWakesTheWorkerAtOnce) {
  LinkRig rig;
  rig.transport.QueueReport(MakeStatus(0x00));
  ReadStep endless{ReadWait::TimedOut, {}, {}};
  endless.untilWoken = true;
  rig.transport.m_reads.push_back(endless);
  rig.link.Start(rig.worker.m_platform);
  ASSERT_TRUE(rig.transport.WaitUntilReading());
  const auto sleptBefore = rig.clock.m_slept.load();
  EXPECT_TRUE(rig.link.StopAndWait());
  EXPECT_EQ(rig.worker.m_stopState, LinkInternals::kFinished);
  EXPECT_LT(rig.clock.m_slept - sleptBefore, 5000u);
  EXPECT_FALSE(rig.transport.HandlesOpen());
}

TEST(LinkStopHandshake, StopDuringTheSettleDelayEndsItWithoutConnecting) {
  LinkRig rig;
  rig.clock.m_blockFrom = CHidLink::kSettleDelayMs;
  rig.link.Start(rig.worker.m_platform);
  ASSERT_TRUE(rig.clock.WaitUntilBlocked());
  EXPECT_TRUE(rig.link.StopAndWait());
  EXPECT_EQ(rig.worker.m_stopState, LinkInternals::kFinished);
  EXPECT_TRUE(rig.transport.m_writes.empty()) << "no hello after the stop request";
  EXPECT_FALSE(rig.transport.HandlesOpen());
  EXPECT_EQ(rig.worker.m_bConnected, false);
}

TEST(LinkStopHandshake, ExitWaitsAtMostFiftyPollsOfAHundredMs) {
  LinkRig rig;  // no worker runs: the acknowledgement never comes
  EXPECT_FALSE(rig.link.StopAndWait());
  EXPECT_EQ(rig.clock.m_slept, 5000u);
  EXPECT_EQ(rig.worker.m_stopState, LinkInternals::kStopRequested);
}

TEST(LinkStopHandshake, RunningWorkerAcknowledges) {
  LinkRig rig;
  rig.transport.m_interfaces.clear();  // absent: passes are short
  rig.link.Start(rig.worker.m_platform);
  EXPECT_TRUE(rig.link.StopAndWait());
  EXPECT_EQ(rig.worker.m_stopState, LinkInternals::kFinished);
}

struct StoredSceneCase {
  bool stored;
  std::uint32_t value;
  std::uint8_t scene;
  int writes;
};

class LinkStoredScene : public testing::TestWithParam<StoredSceneCase> {};

TEST_P(LinkStoredScene, StartTakesValidScenesAndRepairsOthers) {
  const auto& c = GetParam();
  LinkRig rig;
  rig.transport.m_interfaces.clear();
  if (c.stored) rig.scenes.WriteLastScene(c.value);
  const int writesBefore = rig.scenes.Writes();
  rig.link.Start(rig.worker.m_platform);
  const std::uint8_t scene = rig.worker.m_scene;
  const std::uint8_t speed = rig.worker.m_pointerSpeed;
  rig.link.StopAndWait();
  EXPECT_EQ(scene, c.scene);
  EXPECT_EQ(speed, 50);
  EXPECT_EQ(rig.scenes.Writes() - writesBefore, c.writes);
  if (c.writes) {
    EXPECT_EQ(rig.scenes.Value(), 0u);
  }
  EXPECT_EQ(rig.worker.m_hidGuid.data1, 0x4D1E55B2u) << "filled before the worker runs";
}

INSTANTIATE_TEST_SUITE_P(LastScene, LinkStoredScene,
                         testing::Values(StoredSceneCase{false, 0, 0, 0}, StoredSceneCase{true, 2, 2, 0},
                                         StoredSceneCase{true, 1, 1, 0}, StoredSceneCase{true, 3, 0, 1},
                                         StoredSceneCase{true, 0xFFFFFFFF, 0, 1}));

}  // namespace
}  // namespace pv::link::test
