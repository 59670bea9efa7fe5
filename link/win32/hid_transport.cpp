#include "link/win32/hid_transport.h"

#include "link/win32/hid_guid.h"

namespace pv::link::win32 {
namespace {

constexpr DWORD kShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;

void CloseIfOpen(HANDLE& handle) {
  if (handle == INVALID_HANDLE_VALUE) return;
  CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

}  // namespace

CHidTransport::CHidTransport() : m_wake(CreateEventHandle(true, false)), m_reader(m_wake.Get()) {}

CHidTransport::~CHidTransport() {
  Close();
  EndDiscovery();
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
  m_hWrite = OpenPath(m_devicePath, GENERIC_WRITE, FILE_FLAG_OVERLAPPED);
}

void CHidTransport::OpenRead() {
  CloseIfOpen(m_hRead);
  m_hRead = OpenPath(m_devicePath, GENERIC_READ, FILE_FLAG_OVERLAPPED);
}

void CHidTransport::StartRead(std::uint8_t* buffer, std::size_t length) {
  m_readBuffer = buffer;
  m_reader.Start(m_hRead, length);
}

ReadWait CHidTransport::WaitRead(std::uint32_t timeoutMs, std::size_t& bytesRead) {
  bytesRead = 0;
  if (m_readBuffer == nullptr) return ReadWait::Failed;
  return m_reader.Wait(m_hRead, timeoutMs, m_readBuffer, bytesRead);
}

void CHidTransport::WakeWaits() {
  SetEvent(m_wake.Get());
}

void CHidTransport::CancelRead() {
  m_reader.Cancel(m_hRead);
}

void CHidTransport::ResetReadEvent() {
  // Every read has its own event, reset when it is issued.
}

bool CHidTransport::Write(const std::uint8_t* report, std::size_t length) {
  return WriteBounded(m_hWrite, report, length);
}

void CHidTransport::Close() {
  m_reader.Abandon();  // a read still pending keeps its slot past the handle
  m_readBuffer = nullptr;
  CloseIfOpen(m_hRead);
  CloseIfOpen(m_hWrite);
  CloseIfOpen(m_hAttrDevice);
  m_devicePath.clear();
}

}  // namespace pv::link::win32
