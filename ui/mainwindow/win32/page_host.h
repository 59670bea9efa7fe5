// PageHost: what the main window's pages (the settings page and the timer
// page on it) need of the window they lie on. The pages own their controls,
// switches, hit flags and painting; the window owns the page mode, the
// pictures and the language, and routes messages to the pages.
#pragma once

#include "ui/mainwindow/core/page_mode.h"

class CWnd;

namespace pv::skin {
class CPictureCache;
}

namespace pv::mainwindow {

class PageHost {
 public:
  // The main window: parent of the pages' controls, target of their
  // repaints and of dragging.
  virtual CWnd& Window() = 0;
  // The page the window shows (or MODE_EFFECT / MODE_START).
  virtual PageMode Mode() const = 0;
  // Every skin picture of the pages, decoded once for the window's life.
  virtual skin::CPictureCache& Pictures() = 0;
  // The Chinese pictures and texts (decided once at start).
  virtual bool LangZh() const = 0;
  // The "Update" link was clicked: the online update check. When the
  // updater takes over, the window ends before this returns.
  virtual void RunUpdateCheck() = 0;

 protected:
  ~PageHost() = default;
};

}  // namespace pv::mainwindow
