// The DPI context windows are created in. The skin is drawn at its pictures'
// pixel sizes, so its windows belong in a system-scaled (DPI-unaware)
// context, where Windows enlarges them on a scaled screen; the effect
// overlays, which must cover the screen in physical pixels, belong in a
// per-monitor aware one. The thread's context decides for each window it
// creates. Windows before 10 version 1607 have no thread contexts: there the
// process's awareness from the manifest applies to every window.
//
//   CDpiContextScope overlays(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);  // until the scope ends
//   SetThreadDpiContext(DPI_AWARENESS_CONTEXT_UNAWARE_GDISCALED);             // from now on
#pragma once

#include <windows.h>

// Sets the calling thread's DPI context; returns the previous one, or null
// when the platform has no thread contexts (or refuses this one and its
// fallbacks). A context this system does not know falls back as
// framework/core/dpi_fallback.h says: per-monitor v2 to per-monitor (before
// Windows 10 version 1703), GDI-scaled unaware to plain unaware (before 1809).
DPI_AWARENESS_CONTEXT SetThreadDpiContext(DPI_AWARENESS_CONTEXT context);

class CDpiContextScope {
 public:
  explicit CDpiContextScope(DPI_AWARENESS_CONTEXT context) : m_previous(SetThreadDpiContext(context)) {}
  ~CDpiContextScope() {
    if (m_previous != nullptr) SetThreadDpiContext(m_previous);
  }
  CDpiContextScope(const CDpiContextScope&) = delete;
  CDpiContextScope& operator=(const CDpiContextScope&) = delete;

 private:
  DPI_AWARENESS_CONTEXT m_previous;
};
