// The settings page's "Update" link: a left-button release inside it, while
// the settings page is shown, runs the update check. It only observes the
// click (returns false), so the window's own mouse handling still sees it.
#pragma once

#include <windows.h>

#include <functional>

#include "framework/message_chain.h"

class CUpdateLink : public IMessageHandler {
 public:
  // onReady: whether the settings page is shown; onClick: the check.
  CUpdateLink(std::function<bool()> onReady, std::function<void()> onClick)
      : m_isReady(std::move(onReady)), m_onClick(std::move(onClick)) {}

  bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  std::function<bool()> m_isReady;
  std::function<void()> m_onClick;
  bool m_running = false;  // a click during the check (from a nested loop) is ignored
};
