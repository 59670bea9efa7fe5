#include "framework/dpi_awareness.h"

#include "framework/core/dpi_fallback.h"

namespace {

DPI_AWARENESS_CONTEXT ToPlatform(pv::DpiContext context) {
  switch (context) {
    case pv::DpiContext::kUnaware:
      return DPI_AWARENESS_CONTEXT_UNAWARE;
    case pv::DpiContext::kSystemAware:
      return DPI_AWARENESS_CONTEXT_SYSTEM_AWARE;
    case pv::DpiContext::kPerMonitorAware:
      return DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE;
    case pv::DpiContext::kPerMonitorAwareV2:
      return DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2;
    case pv::DpiContext::kUnawareGdiScaled:
      return DPI_AWARENESS_CONTEXT_UNAWARE_GDISCALED;
  }
  return DPI_AWARENESS_CONTEXT_UNAWARE;
}

std::optional<pv::DpiContext> FromPlatform(DPI_AWARENESS_CONTEXT context) {
  for (pv::DpiContext c :
       {pv::DpiContext::kUnaware, pv::DpiContext::kSystemAware, pv::DpiContext::kPerMonitorAware,
        pv::DpiContext::kPerMonitorAwareV2, pv::DpiContext::kUnawareGdiScaled}) {
    if (ToPlatform(c) == context) return c;
  }
  return std::nullopt;
}

}  // namespace

DPI_AWARENESS_CONTEXT SetThreadDpiContext(DPI_AWARENESS_CONTEXT context) {
  // Looked up at run time: the program also runs on Windows 7, which lacks it.
  using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  const auto set = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
  if (set == nullptr) return nullptr;
  const std::optional<pv::DpiContext> wanted = FromPlatform(context);
  // A context handle of the platform's own (one a scope restores): as it is.
  if (!wanted) return set(context);
  DPI_AWARENESS_CONTEXT previous = nullptr;
  pv::ChooseDpiContext(*wanted, [&](pv::DpiContext tried) {
    previous = set(ToPlatform(tried));
    return previous != nullptr;
  });
  return previous;
}
