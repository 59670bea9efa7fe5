// A window's message-handler chain: collaborators of a large window (its pages,
// its raw-input handler) each take the messages they own before the window's
// own switch sees them, so the window class stays a dispatcher instead of
// growing every rule itself.
//
//   class CMyPage : public IMessageHandler {
//     bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
//   };
//   // in the window:  m_chain.Add(m_page);
//   LRESULT CMyWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
//     if (LRESULT r = 0; m_chain.Offer(msg, wp, lp, r)) return r;
//     switch (msg) { ... }
//   }
//
// Handlers are asked in the order they were added; the first that returns
// true ends the offer and its result is the window's.
#pragma once

#include <windows.h>

#include <vector>

class IMessageHandler {
 public:
  // Returns true when the message is handled; result is then the window's
  // answer. A handler that only observes a message returns false.
  virtual bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;

 protected:
  ~IMessageHandler() = default;
};

class CMessageChain {
 public:
  // The handler must outlive the chain's use (typically a member of the window).
  void Add(IMessageHandler& handler) { m_handlers.push_back(&handler); }

  bool Offer(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) const {
    for (IMessageHandler* handler : m_handlers) {
      if (handler->HandleMessage(msg, wp, lp, result)) return true;
    }
    return false;
  }

 private:
  std::vector<IMessageHandler*> m_handlers;
};
