// The receiver through SetupAPI and the HID class driver.
#pragma once

#include <windows.h>
// windows.h first
#include <setupapi.h>

#include <atomic>
#include <memory>
#include <string>

#include "link/core/link_ports.h"

namespace pv::link::win32 {

// Owns the device information set during discovery, the probe (attribute),
// write and read handles of the receiver and the read event, which is
// created with the first read handle and kept for every later connection.
class CHidTransport final : public IReceiverTransport {
 public:
  CHidTransport() = default;
  ~CHidTransport() override;
  CHidTransport(const CHidTransport&) = delete;
  CHidTransport& operator=(const CHidTransport&) = delete;

  HidClassGuid HidGuid() override;
  void BeginDiscovery() override;
  bool NextInterface(InterfaceAttributes& attributes) override;
  bool QueryCaps(ReceiverCaps& caps) override;
  void RejectInterface() override;
  void AcceptInterface() override;
  void EndDiscovery() override;
  void OpenWrite() override;
  void OpenRead() override;
  bool IsWriteOpen() const override { return m_hWrite != INVALID_HANDLE_VALUE; }
  void StartRead(std::uint8_t* buffer, std::size_t length) override;
  ReadWait WaitRead(std::uint32_t timeoutMs) override;
  void CancelRead() override;
  void ResetReadEvent() override;
  bool Write(const std::uint8_t* report, std::size_t length) override;
  void Close() override;

  // The device path of the accepted interface (empty while none is).
  const std::wstring& DevicePath() const { return m_devicePath; }

 private:
  static HANDLE OpenPath(const std::wstring& path, DWORD access, DWORD flags);
  void FreeDetail();

  GUID m_hidGuid{};
  HDEVINFO m_hDevInfo = INVALID_HANDLE_VALUE;
  DWORD m_index = 0;
  std::unique_ptr<std::uint8_t[]> m_pDetail;
  DWORD m_cbDetail = 0;
  std::wstring m_probePath;
  std::wstring m_devicePath;
  HANDLE m_hAttrDevice = INVALID_HANDLE_VALUE;
  HANDLE m_hWrite = INVALID_HANDLE_VALUE;
  HANDLE m_hRead = INVALID_HANDLE_VALUE;
  HANDLE m_hReadEvent = nullptr;
  OVERLAPPED m_readOverlapped{};
  DWORD m_cbRead = 0;
};

}  // namespace pv::link::win32
