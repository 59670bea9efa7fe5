// The desktop compositor (DWM) as the overlays need it. Windows composes the
// screen asynchronously: a window just hidden may still be on the screen a
// BitBlt of it reads, and a window fades in and out unless told not to. The
// functions are looked up at run time (dwmapi.dll, from System32), so the
// program starts where they are missing; there every call does nothing.
#pragma once

#include <windows.h>

// What the overlays ask of the compositor; tests put a fake in its place.
class Compositor {
 public:
  // The window appears and vanishes at once: no fade transition.
  virtual void DisableTransitions(HWND window) = 0;
  // Composed but not displayed while cloaked: a window can be shown and
  // painted before anyone sees it.
  virtual void Cloak(HWND window, bool cloaked) = 0;
  // Waits until the screen shows what was drawn and hidden so far.
  virtual void WaitForComposition() = 0;

 protected:
  ~Compositor() = default;
};

class CDwmComposition final : public Compositor {
 public:
  CDwmComposition();
  ~CDwmComposition();
  CDwmComposition(const CDwmComposition&) = delete;
  CDwmComposition& operator=(const CDwmComposition&) = delete;

  void DisableTransitions(HWND window) override;
  void Cloak(HWND window, bool cloaked) override;
  void WaitForComposition() override;

 private:
  using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  using FlushFn = HRESULT(WINAPI*)();
  void SetBool(HWND window, DWORD attribute, bool value);

  HMODULE m_module = nullptr;
  SetAttributeFn m_setAttribute = nullptr;
  FlushFn m_flush = nullptr;
};
