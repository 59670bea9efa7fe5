#include "link/win32/hid_transport.h"

#include "link/win32/hid_guid.h"

namespace pv::link::win32 {
namespace {

constexpr DWORD kShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;
// A cancelled read completes quickly; this only bounds a misbehaving driver.
constexpr DWORD kCancelWaitMs = 1000;

void CloseIfOpen(HANDLE& handle) {
  if (handle == INVALID_HANDLE_VALUE) return;
  CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

}  // namespace

CHidTransport::~CHidTransport() {
  Close();
  EndDiscovery();
  if (m_hReadEvent != nullptr) CloseHandle(m_hReadEvent);
}

HidClassGuid CHidTransport::HidGuid() {
  return QueryHidClassGuid();
}

void CHidTransport::BeginDiscovery() {
  FreeDetail();
  HidD_GetHidGuid(&m_hidGuid);
  EndDiscovery();
  m_hDevInfo = SetupDiGetClassDevsW(&m_hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  m_index = 0;
}

bool CHidTransport::NextInterface(InterfaceAttributes& attributes) {
  attributes = {};
  if (m_hDevInfo == INVALID_HANDLE_VALUE) return false;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof(data);
  if (!SetupDiEnumDeviceInterfaces(m_hDevInfo, nullptr, &m_hidGuid, m_index, &data)) return false;
  ++m_index;

  FreeDetail();
  SetupDiGetDeviceInterfaceDetailW(m_hDevInfo, &data, nullptr, 0, &m_cbDetail, nullptr);
  if (m_cbDetail >= sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
    m_pDetail = std::make_unique<std::uint8_t[]>(m_cbDetail);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(m_pDetail.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (SetupDiGetDeviceInterfaceDetailW(m_hDevInfo, &data, detail, m_cbDetail, nullptr, nullptr)) {
      m_probePath = detail->DevicePath;
    }
  }

  m_hAttrDevice = OpenPath(m_probePath, 0, 0);
  HIDD_ATTRIBUTES hidAttributes{};
  hidAttributes.Size = sizeof(hidAttributes);
  if (m_hAttrDevice != INVALID_HANDLE_VALUE && HidD_GetAttributes(m_hAttrDevice, &hidAttributes)) {
    attributes = {true, hidAttributes.VendorID, hidAttributes.ProductID};
  }
  return true;
}

bool CHidTransport::QueryCaps(ReceiverCaps& caps) {
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (m_hAttrDevice == INVALID_HANDLE_VALUE || !HidD_GetPreparsedData(m_hAttrDevice, &preparsed))
    return false;
  HIDP_CAPS hidCaps{};
  const NTSTATUS status = HidP_GetCaps(preparsed, &hidCaps);
  HidD_FreePreparsedData(preparsed);
  if (status != HIDP_STATUS_SUCCESS) return false;
  caps = {hidCaps.UsagePage, hidCaps.Usage, hidCaps.InputReportByteLength, hidCaps.OutputReportByteLength};
  return true;
}

void CHidTransport::RejectInterface() {
  CloseIfOpen(m_hAttrDevice);
  FreeDetail();
}

void CHidTransport::AcceptInterface() {
  m_devicePath = m_probePath;
  FreeDetail();
}

void CHidTransport::EndDiscovery() {
  FreeDetail();
  if (m_hDevInfo != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(m_hDevInfo);
  m_hDevInfo = INVALID_HANDLE_VALUE;
}

void CHidTransport::FreeDetail() {
  m_pDetail.reset();
  m_cbDetail = 0;
  m_probePath.clear();
}

HANDLE CHidTransport::OpenPath(const std::wstring& path, DWORD access, DWORD flags) {
  if (path.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW(path.c_str(), access, kShareMode, nullptr, OPEN_EXISTING, flags, nullptr);
}

void CHidTransport::OpenWrite() {
  CloseIfOpen(m_hWrite);
  m_hWrite = OpenPath(m_devicePath, GENERIC_WRITE, 0);
}

void CHidTransport::OpenRead() {
  CloseIfOpen(m_hRead);
  m_hRead = OpenPath(m_devicePath, GENERIC_READ, FILE_FLAG_OVERLAPPED);
  if (m_hRead == INVALID_HANDLE_VALUE) return;
  if (m_hReadEvent == nullptr) {
    // Manual reset, initially signalled; reused by every later connection.
    m_hReadEvent = CreateEventW(nullptr, TRUE, TRUE, L"");
    m_readOverlapped = {};
    m_readOverlapped.hEvent = m_hReadEvent;
  }
}

void CHidTransport::StartRead(std::uint8_t* buffer, std::size_t length) {
  if (m_hRead == INVALID_HANDLE_VALUE) return;
  ReadFile(m_hRead, buffer, static_cast<DWORD>(length), &m_cbRead, &m_readOverlapped);
}

ReadWait CHidTransport::WaitRead(std::uint32_t timeoutMs) {
  switch (WaitForSingleObject(m_hReadEvent, timeoutMs)) {
    case WAIT_OBJECT_0:
      return ReadWait::Completed;
    case WAIT_TIMEOUT:
      return ReadWait::TimedOut;
    default:
      return ReadWait::Failed;
  }
}

void CHidTransport::CancelRead() {
  if (m_hRead == INVALID_HANDLE_VALUE) return;
  CancelIo(m_hRead);
  // Let the cancelled read finish before its buffer and overlapped record
  // are used again.
  if (m_hReadEvent != nullptr) WaitForSingleObject(m_hReadEvent, kCancelWaitMs);
}

void CHidTransport::ResetReadEvent() {
  if (m_hReadEvent != nullptr) ResetEvent(m_hReadEvent);
}

bool CHidTransport::Write(const std::uint8_t* report, std::size_t length) {
  if (m_hWrite == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(m_hWrite, report, static_cast<DWORD>(length), &written, nullptr) != FALSE;
}

void CHidTransport::Close() {
  CloseIfOpen(m_hRead);
  CloseIfOpen(m_hWrite);
  CloseIfOpen(m_hAttrDevice);
  m_devicePath.clear();
}

}  // namespace pv::link::win32
