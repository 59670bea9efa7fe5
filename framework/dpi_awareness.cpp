#include "framework/dpi_awareness.h"

DPI_AWARENESS_CONTEXT SetThreadDpiContext(DPI_AWARENESS_CONTEXT context) {
  // Looked up at run time: the program also runs on Windows 7, which lacks it.
  using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  const auto set = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
  if (set == nullptr) return nullptr;
  DPI_AWARENESS_CONTEXT previous = set(context);
  if (previous == nullptr && context == DPI_AWARENESS_CONTEXT_UNAWARE_GDISCALED) {
    previous = set(DPI_AWARENESS_CONTEXT_UNAWARE);  // before Windows 10 version 1809
  }
  return previous;
}
