// Input reports through decoding and the link's whole event derivation.
//
// The input is a script of steps against one link wired to fake ports. Each
// step starts with an operation byte; report steps then carry the report's
// bytes (as many as the receiver declared). Besides what the sanitizers
// catch, every step checks:
//   - the scene stays 0-2, and every scene the link posts is the current one;
//   - an accepted report's command and status equal an independent decoding
//     of the wire bytes;
//   - a rejected report posts nothing, writes nothing and changes no state;
//   - only the link's own messages with their documented parameters are posted.
#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "link/core/hid_link.h"
#include "link/core/link_messages.h"
#include "link/core/report_codec.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/host/link/link_fakes.h"

namespace pv::link::test {
namespace {

// A clock that never really sleeps, so reconnections cost nothing.
class InstantClock final : public ILinkClock {
 public:
  std::uint32_t TickCount() override { return m_tick; }
  LocalTime Now() override {
    const std::uint64_t ms = m_wallMs;
    const std::uint64_t seconds = ms / 1000;
    return {2026,
            3,
            9,
            static_cast<std::uint16_t>(seconds / 3600 % 24),
            static_cast<std::uint16_t>(seconds / 60 % 60),
            static_cast<std::uint16_t>(seconds % 60),
            static_cast<std::uint16_t>(ms % 1000)};
  }
  void Sleep(std::uint32_t ms) override { Advance(ms); }
  bool SleepUnlessWoken(std::uint32_t ms) override {
    Advance(ms);
    return true;
  }
  void Wake() override {}
  void Advance(std::uint32_t ms) {
    m_tick += ms;
    m_wallMs += ms;
  }

  std::uint32_t m_tick = 100000;
  std::uint64_t m_wallMs = 8ull * 3600 * 1000;
};

// The receiver's wire format, decoded without the codec.
struct Independent {
  bool accepted = false;
  std::uint8_t command = 0;
  bool setsStatus = false;
  std::uint16_t status = 0;
};

Independent DecodeIndependently(const std::vector<std::uint8_t>& wire) {
  const std::uint8_t inverted = static_cast<std::uint8_t>(~wire[4]);
  const std::uint8_t key = static_cast<std::uint8_t>((inverted << 4) | (inverted >> 4));
  std::uint8_t plain[10] = {};
  for (int i = 1; i <= 9; ++i) plain[i] = static_cast<std::uint8_t>(wire[i] ^ key);
  plain[4] = key;
  unsigned sum = 0;
  for (int i = 1; i <= 8; ++i) sum += plain[i];
  Independent result;
  if ((sum & 0xFF) != plain[9]) return result;
  result.command = plain[1];
  if (plain[1] == CMD_STATE_REQUEST) {
    result.accepted = result.setsStatus = true;
    return result;
  }
  if (plain[1] == CMD_BLACK_SCREEN) {
    result.accepted = (plain[6] & 0x01) != 0;
    return result;
  }
  const auto complemented = [](std::uint8_t pair) { return ((~pair >> 4) & 0x0F) == (pair & 0x0F); };
  if (!complemented(plain[2]) || !complemented(plain[3])) return result;
  result.accepted = result.setsStatus = true;
  result.status = static_cast<std::uint16_t>((plain[2] & 0x0F) | ((plain[3] & 0x0F) << 4));
  return result;
}

// Everything a report could change.
struct Snapshot {
  std::uint8_t scene, keyDown, latched, timerAlert, timerRunning, stateBit, armed, rf, present;
  bool connected;
  std::uint16_t status, prevStatus;
  std::uint8_t command;
  std::size_t writes;
  int sceneWrites;
  bool operator==(const Snapshot&) const = default;
};

struct Rig {
  InstantClock clock;
  FakeSink sink;
  FakeTransport transport;
  CMemorySceneStore scenes;
  CHidLink link;
  LinkInternals worker{link};

  explicit Rig(const FakeInterface& receiver) {
    transport.m_interfaces = {receiver};
    worker.m_platform = {&transport, &clock, &sink, &scenes};
    link.SetNotifyWindow(0x1234);
    link.ArmKeysFrom(clock.TickCount() - 1000);
  }

  Snapshot Take() const {
    return {worker.m_scene,       worker.m_bKeyDown,         worker.m_bEffectLatched,
            worker.m_bTimerAlert, worker.m_bTimerRunning,    worker.m_bStateBit,
            worker.m_bArmed,      worker.m_bRfLinked,        worker.m_bReceiverPresent,
            worker.m_bConnected,  worker.m_status,           worker.m_prevStatus,
            worker.m_command,     transport.m_writes.size(), scenes.Writes()};
  }
};

// `report` is the independent decoding of the report the step read, if any;
// `passTail` says whether the step ran the end of a worker pass.
void CheckMessages(const std::vector<Message>& messages, const LinkInternals& link, const Independent* report,
                   bool passTail) {
  const bool fromReport = report != nullptr && report->accepted;
  for (const auto& m : messages) {
    switch (m.message) {
      case UM_LINK_KEYS: {
        // Whatever the link posts, the window's edge decodes.
        const auto keys = DecodeKeyMessage(m.wparam, m.lparam);
        PV_FUZZ_CHECK(keys.has_value());
        if (keys->event == KeyEvent::kDown || keys->event == KeyEvent::kLatch) {
          PV_FUZZ_CHECK(m.lparam == link.m_scene);
        } else {
          PV_FUZZ_CHECK(m.lparam == 1 || m.lparam == 2);
        }
        PV_FUZZ_CHECK(fromReport && report->command != CMD_STATE_REQUEST);
        if (keys->event == KeyEvent::kBlackScreen) PV_FUZZ_CHECK(report->command == CMD_BLACK_SCREEN);
        break;
      }
      case UM_LINK_SIZE_STEP:
        PV_FUZZ_CHECK(DecodeSizeStep(m.wparam).has_value() && m.lparam == 0);
        PV_FUZZ_CHECK(fromReport && (report->status & (ST_SIZE_UP | ST_SIZE_DOWN)) != 0);
        break;
      case UM_LINK_RF:
      case UM_LINK_RECEIVER:
      case UM_LINK_STATE_BIT:
        PV_FUZZ_CHECK(m.wparam <= 1 && m.lparam == 0);
        PV_FUZZ_CHECK(passTail);  // these follow at the end of a pass, never from a report
        break;
      case UM_LINK_TIMER_DUE:
        PV_FUZZ_CHECK(m.wparam == 0 && m.lparam == 0 && passTail);
        break;
      default:
        PV_FUZZ_CHECK(!"unknown message");
    }
  }
}

// One report through the worker's read: the per-report properties.
void ReportStep(Rig& rig, const std::vector<std::uint8_t>& wire) {
  if (!rig.worker.m_bConnected) {
    rig.worker.OpenDevice();
    rig.sink.Take();
    if (!rig.worker.m_bConnected) return;
  }
  const Independent expected = DecodeIndependently(wire);
  const Snapshot before = rig.Take();
  rig.transport.QueueReport(wire);
  rig.worker.ReadReport();
  const auto messages = rig.sink.Take();
  PV_FUZZ_CHECK(rig.worker.m_scene < kSceneCount);
  if (!expected.accepted) {
    PV_FUZZ_CHECK(messages.empty());
    PV_FUZZ_CHECK(rig.Take() == before);
    return;
  }
  PV_FUZZ_CHECK(rig.worker.m_command == expected.command);
  PV_FUZZ_CHECK(rig.worker.m_status == (expected.setsStatus ? expected.status : before.status));
  // Radio up on an accepted report, unless answering it has lost the receiver.
  PV_FUZZ_CHECK(rig.worker.m_bRfLinked == (rig.worker.m_bConnected ? 1 : 0));
  if (expected.command == CMD_STATE_REQUEST) {
    PV_FUZZ_CHECK(messages.empty());
    PV_FUZZ_CHECK(rig.transport.m_writes.size() == before.writes + 1);  // answered at once
  }
  // The scene moves only on the scene key, one step at a time.
  const std::uint8_t step =
      static_cast<std::uint8_t>((rig.worker.m_scene + kSceneCount - before.scene) % kSceneCount);
  PV_FUZZ_CHECK(step == 0 || (step == 1 && (expected.status & ST_SCENE_KEY) && expected.setsStatus));
  PV_FUZZ_CHECK(rig.scenes.Value() == rig.worker.m_scene || rig.scenes.Writes() == before.sceneWrites);
  CheckMessages(messages, rig.worker, &expected, false);
}

// Everything else a worker pass or the window thread does.
void OtherStep(Rig& rig, std::uint8_t op, FuzzedDataProvider& input) {
  Independent report;
  bool readReport = false;
  const unsigned kind = op & 0x0F;
  const bool passTail = kind <= 1 || kind >= 9;  // a worker pass, not the window thread
  switch (kind) {
    case 0:
      rig.transport.m_reads.push_back({ReadWait::TimedOut, {}, {}});
      rig.worker.RunPass();
      break;
    case 1:
      rig.transport.m_reads.push_back({ReadWait::Failed, {}, {}});
      rig.worker.RunPass();
      break;
    case 2:
      rig.link.SetBlackScreen(rig.worker.m_bBlackScreen == 0);
      break;
    case 3:
      rig.link.SetEffectLatched();
      break;
    case 4:
      rig.link.RequestResend();
      break;
    case 5: {
      const std::uint32_t seconds = input.ConsumeIntegralInRange<std::uint32_t>(0, 200000);
      PV_FUZZ_CHECK(rig.link.TryStartTimer((op & 0x10) != 0, 0, seconds, std::chrono::seconds(5)));
      break;
    }
    case 6:
      rig.clock.Advance(input.ConsumeIntegral<std::uint16_t>() * 100u);
      break;
    case 7:
      rig.link.SetPointerSpeed(input.ConsumeIntegralInRange<std::uint8_t>(0, 100));
      break;
    case 8:
      rig.transport.m_failWrites = !rig.transport.m_failWrites;
      break;
    default: {
      // A whole pass around a report, including what follows it.
      std::vector<std::uint8_t> wire =
          input.ConsumeBytes<std::uint8_t>(rig.worker.m_caps.inputReportByteLength);
      wire.resize(rig.worker.m_caps.inputReportByteLength ? rig.worker.m_caps.inputReportByteLength : 10);
      report = DecodeIndependently(wire);
      readReport = true;
      rig.transport.QueueReport(wire);
      rig.worker.RunPass();
      break;
    }
  }
  PV_FUZZ_CHECK(rig.worker.m_scene < kSceneCount);
  CheckMessages(rig.sink.Take(), rig.worker, readReport ? &report : nullptr, passTail);
}

}  // namespace
}  // namespace pv::link::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pv::link;
  using namespace pv::link::test;
  FuzzedDataProvider input(data, size);
  // The receiver's declared report lengths, anywhere in the accepted range.
  FakeInterface receiver;
  receiver.caps.inputReportByteLength = input.ConsumeIntegralInRange<std::uint16_t>(10, 20);
  receiver.caps.outputReportByteLength = input.ConsumeIntegralInRange<std::uint16_t>(9, 24);
  Rig rig(receiver);
  rig.worker.m_scene = input.ConsumeIntegralInRange<std::uint8_t>(0, 2);
  rig.worker.OpenDevice();
  rig.sink.Take();
  while (input.remaining_bytes() > 0) {
    const std::uint8_t op = input.ConsumeIntegral<std::uint8_t>();
    if (op < 0xA0) {
      std::vector<std::uint8_t> wire = input.ConsumeBytes<std::uint8_t>(receiver.caps.inputReportByteLength);
      wire.resize(receiver.caps.inputReportByteLength);
      ReportStep(rig, wire);
    } else {
      OtherStep(rig, op, input);
    }
  }
  return 0;
}
