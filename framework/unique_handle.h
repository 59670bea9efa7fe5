// CUniqueHandle: the one owner template behind every handle type of the
// framework. A traits struct names the handle type, its "not open" value and
// the call that frees it; the owner is move-only and frees on destruction.
//
//   struct MyTraits { using Type = HFOO; static Type Invalid() { return nullptr; }
//                     static void Close(Type h) { FreeFoo(h); } };
//   using CFoo = CUniqueHandle<MyTraits>;
#pragma once

#include <utility>

template <typename Traits>
class CUniqueHandle {
 public:
  using Type = typename Traits::Type;

  CUniqueHandle() = default;
  explicit CUniqueHandle(Type handle) : m_handle(handle) {}
  ~CUniqueHandle() { Reset(); }

  CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
  CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  CUniqueHandle(const CUniqueHandle&) = delete;
  CUniqueHandle& operator=(const CUniqueHandle&) = delete;

  Type Get() const { return m_handle; }
  bool IsValid() const { return m_handle != Traits::Invalid(); }
  explicit operator bool() const { return IsValid(); }

  // Gives up ownership without freeing.
  Type Release() { return std::exchange(m_handle, Traits::Invalid()); }

  // Frees the current handle (if any) and takes `handle`.
  void Reset(Type handle = Traits::Invalid()) {
    Type old = std::exchange(m_handle, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

  // For out-parameters of create functions: frees the current handle first.
  Type* Put() {
    Reset();
    return &m_handle;
  }

 private:
  Type m_handle = Traits::Invalid();
};
