// The receiver through SetupAPI and the HID class driver.
#pragma once

#include <windows.h>
// windows.h first
#include <setupapi.h>

#include <atomic>
#include <memory>
#include <string>

#include "framework/kernel_handles.h"
#include "link/core/link_ports.h"
#include "link/win32/overlapped_io.h"

namespace pv::link::win32 {

// Owns the device information set during discovery, the probe (attribute),
// write and read handles of the receiver, and the overlapped reader whose
// record, event and buffer are fresh for every connection. Writes are
// overlapped too, so a stalled receiver fails a write after about a second
// instead of blocking the link's mutex.
class CHidTransport final : public IReceiverTransport {
 public:
  CHidTransport();
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
  ReadWait WaitRead(std::uint32_t timeoutMs, std::size_t& bytesRead) override;
  void WakeWaits() override;
  void CancelRead() override;
  void ResetReadEvent() override;
  bool Write(const std::uint8_t* report, std::size_t length) override;
  void Close() override;

  // The device path of the accepted interface (empty while none is).
  std::wstring DevicePath() const override { return m_devicePath; }

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
  // Set once by the stop request; ends read waits at once.
  CHandle m_wake;
  COverlappedReader m_reader;
  std::uint8_t* m_readBuffer = nullptr;
};

}  // namespace pv::link::win32
