#include "effects/win32/effect_input.h"

#include <cstddef>
#include <span>

#include "effects/core/raw_input_batch.h"
#include "effects/core/raw_input_messages.h"
#include "link/core/link_messages.h"

namespace pv::effects {

// The core reads records by these offsets: they must be the platform's.
static_assert(sizeof(RAWINPUTHEADER) == kRawHeaderSize);
static_assert(offsetof(RAWINPUTHEADER, dwType) == kRawHeaderTypeOffset);
static_assert(offsetof(RAWINPUTHEADER, dwSize) == kRawHeaderSizeOffset);
static_assert(offsetof(RAWINPUTHEADER, hDevice) == kRawHeaderDeviceOffset);
static_assert(offsetof(RAWINPUTHEADER, wParam) == kRawHeaderWParamOffset);
static_assert(sizeof(RAWKEYBOARD) == kRawKeyboardSize);
static_assert(offsetof(RAWKEYBOARD, MakeCode) == kRawKeyboardMakeCodeOffset);
static_assert(offsetof(RAWKEYBOARD, Flags) == kRawKeyboardFlagsOffset);
static_assert(offsetof(RAWKEYBOARD, Reserved) == kRawKeyboardReservedOffset);
static_assert(offsetof(RAWKEYBOARD, VKey) == kRawKeyboardVKeyOffset);
static_assert(offsetof(RAWKEYBOARD, Message) == kRawKeyboardMessageOffset);
static_assert(offsetof(RAWKEYBOARD, ExtraInformation) == kRawKeyboardExtraOffset);
static_assert(offsetof(RAWINPUT, data) == kRawHeaderSize);
#ifdef _WIN64
static_assert(sizeof(ULONGLONG) == kRawBatchAlignment64);  // NEXTRAWINPUTBLOCK rounds to a QWORD
#else
#error "the raw input layout constants describe the 64-bit platform"
#endif
static_assert(RIM_TYPEMOUSE == kRawTypeMouse && RIM_TYPEKEYBOARD == kRawTypeKeyboard);
static_assert(WM_KEYDOWN == kWmKeyDown && WM_KEYUP == kWmKeyUp && WM_MOUSEMOVE == kWmMouseMove);
static_assert(VK_ESCAPE == kVkEscape);
static_assert(UM_RAW_MOUSE == WM_USER + 0x6A && UM_RAW_KEY == WM_USER + 0x6B);
static_assert(pv::link::UM_LINK_KEYS == WM_USER + 0x6E && pv::link::UM_LINK_SIZE_STEP == WM_USER + 0x73);

namespace {

constexpr UINT kHeaderSize = sizeof(RAWINPUTHEADER);
// A mouse or keyboard record is sizeof(RAWINPUT) (48 bytes); only those two
// are registered, so a larger single record is not ours to read.
constexpr UINT kLargestSingleRecord = 256;
// One batch: far more than the records that queue up between two WM_INPUT.
constexpr std::size_t kBatchBytes = 16 * 1024;
// Passes of one drain: each pass takes records off the queue; the bound only
// guards against a queue that never empties.
constexpr int kMaxDrainPasses = 64;

std::span<const std::byte> BytesOf(const void* data, std::size_t size) {
  return {static_cast<const std::byte*>(data), size};
}

bool IsKeyMessage(std::uint32_t message) {
  return message == WM_KEYDOWN || message == WM_KEYUP;
}

}  // namespace

CEffectInput::CEffectInput(EffectController& controller, UINT_PTR trackingTimer)
    : m_controller(controller), m_trackingTimer(trackingTimer), m_batch(kBatchBytes / sizeof(std::uint64_t)) {
  m_records.reserve(kBatchBytes / kHeaderSize);  // every record is at least a header
}

bool CEffectInput::RegisterRawInput(HWND window) {
  // Mouse and keyboard (usage page 1, usages 2 and 6); RIDEV_INPUTSINK:
  // also while other applications have the focus.
  RAWINPUTDEVICE devices[2] = {
      {0x01, 0x02, RIDEV_INPUTSINK, window},
      {0x01, 0x06, RIDEV_INPUTSINK, window},
  };
  return ::RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)) != FALSE;
}

bool CEffectInput::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_INPUT:
      if (!OnRawInput(reinterpret_cast<HRAWINPUT>(lp))) return false;  // default processing
      result = 0;
      return true;
    case UM_RAW_MOUSE:
      result = m_controller.OnRawMouseMessage(wp, lp);
      return true;
    case UM_RAW_KEY:
      result = m_controller.OnRawKeyMessage(wp, lp);
      return true;
    case pv::link::UM_LINK_KEYS:
      // Any program can post it: only what decodes acts (and answers 1).
      result = 0;
      if (const auto keys = pv::link::DecodeKeyMessage(wp, lp)) {
        m_controller.OnLinkKeys(*keys);
        result = 1;
      }
      return true;
    case pv::link::UM_LINK_SIZE_STEP:
      if (const auto step = pv::link::DecodeSizeStep(wp)) m_controller.OnLinkSizeStep(*step);
      result = 1;
      return true;
    case WM_TIMER:
      if (wp != m_trackingTimer) return false;  // the window's own timers
      m_controller.OnTrackingTick();
      result = 0;
      return true;
    default:
      return false;
  }
}

// The message's own record is the oldest: it is handled before the input
// queued behind it, so a key's release is never taken before its press.
bool CEffectInput::OnRawInput(HRAWINPUT input) {
  const bool consumed = OnOwnRecord(input);
  DrainRawInputBuffer();
  return consumed;
}

bool CEffectInput::OnOwnRecord(HRAWINPUT input) {
  UINT size = 0;
  if (::GetRawInputData(input, RID_INPUT, nullptr, &size, kHeaderSize) != 0) return false;
  if (size == 0) return true;  // nothing to read: dropped
  if (size > kLargestSingleRecord) return false;

  alignas(RAWINPUT) std::byte record[kLargestSingleRecord];
  UINT capacity = size;
  if (::GetRawInputData(input, RID_INPUT, record, &capacity, kHeaderSize) != size) return false;
  const auto found = ReadRawInputRecord(BytesOf(record, size), kHeaderSize);
  if (!found) return false;

  if (found->type == kRawTypeKeyboard) {
    return found->hasKeyboard && IsKeyMessage(found->message) &&
           m_controller.OnRawKey(found->message, found->vkey);
  }
  if (found->type == kRawTypeMouse) {
    // Every mouse record counts as a move: buttons and the wheel too.
    m_controller.OnRawMouseRecord();
  }
  return false;
}

void CEffectInput::DrainRawInputBuffer() {
  UINT size = 0;
  if (::GetRawInputBuffer(nullptr, &size, kHeaderSize) != 0 || size == 0) return;
  // Room for eight records of the size the first one needs, within the
  // buffer allocated up front.
  const std::size_t wanted = std::size_t{size} * 8;
  const std::size_t bytes = wanted < kBatchBytes ? wanted : kBatchBytes;
  if (bytes < size) return;

  for (int pass = 0; pass < kMaxDrainPasses; ++pass) {
    UINT capacity = static_cast<UINT>(bytes);
    const UINT count =
        ::GetRawInputBuffer(reinterpret_cast<RAWINPUT*>(m_batch.data()), &capacity, kHeaderSize);
    if (count == 0 || count == static_cast<UINT>(-1)) return;

    m_records.clear();
    RawInputBatchWalker walker(BytesOf(m_batch.data(), bytes), count, kHeaderSize, kRawBatchAlignment64);
    while (auto found = walker.Next()) {
      auto* base = reinterpret_cast<std::byte*>(m_batch.data());
      m_records.push_back(reinterpret_cast<RAWINPUT*>(base + found->offset));
      if (found->hasKeyboard && found->message == WM_KEYDOWN) m_controller.OnDrainedKeyDown(found->vkey);
      if (found->hasKeyboard && found->message == WM_KEYUP) m_controller.OnDrainedKeyUp(found->vkey);
    }
    if (!m_records.empty()) {
      ::DefRawInputProc(m_records.data(), static_cast<INT>(m_records.size()), kHeaderSize);
    }
  }
}

}  // namespace pv::effects
