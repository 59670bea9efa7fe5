// COM for one scope (CComInit) and owners of interface pointers (CComPtr).
#pragma once

#include <objbase.h>

#include <utility>

// Initialises COM on this thread for the scope. A thread already initialised
// in the other apartment model (RPC_E_CHANGED_MODE) can still use COM; only a
// successful call (S_OK or S_FALSE) is balanced by CoUninitialize.
class CComInit {
 public:
  explicit CComInit(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(::CoInitializeEx(nullptr, model)) {}
  ~CComInit() {
    if (SUCCEEDED(m_hr)) ::CoUninitialize();
  }
  CComInit(const CComInit&) = delete;
  CComInit& operator=(const CComInit&) = delete;

  // COM is usable on this thread.
  bool IsUsable() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }

 private:
  HRESULT m_hr;
};

// Holds one reference to an interface; Release on destruction.
template <typename T>
class CComPtr {
 public:
  CComPtr() = default;
  ~CComPtr() { Reset(); }
  CComPtr(CComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  CComPtr& operator=(CComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      m_p = std::exchange(other.m_p, nullptr);
    }
    return *this;
  }
  CComPtr(const CComPtr&) = delete;
  CComPtr& operator=(const CComPtr&) = delete;

  T* Get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

  void Reset() {
    if (T* p = std::exchange(m_p, nullptr)) p->Release();
  }
  // For out-parameters (CoCreateInstance, QueryInterface): releases first.
  T** Put() {
    Reset();
    return &m_p;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

 private:
  T* m_p = nullptr;
};
