// CWnd: the window base of the framework.
//
// Every window the program handles through an object is attached to it with a
// comctl32 window subclass (SetWindowSubclass, reference data = the object):
// our own windows at WM_NCCREATE by the shared class procedure (see
// window_class.h), template controls by SubclassDlgItem, dialogs at
// WM_INITDIALOG (see dialog.h). One mechanism gives one dispatch path; a window
// property leads back from a handle to its object (FromHandle).
//
// A class handles messages in one switch, its override of WindowProc, with
// handlers named after the message:
//
//   LRESULT CMyWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
//     switch (msg) {
//       case WM_PAINT: OnPaint(); return 0;
//       case WM_TIMER: OnTimer(wp); return 0;
//     }
//     return CWnd::WindowProc(msg, wp, lp);  // the base class, ending in DefaultProc
//   }
//
// A handler that wants the default processing first or afterwards calls
// DefaultProc(msg, wp, lp) itself. Messages before WM_NCCREATE ends (and
// WM_NCCREATE itself) and after WM_NCDESTROY never reach the object.
#pragma once

#include <windows.h>
// commctrl.h needs windows.h first
#include <commctrl.h>

#include <string>

// Control notifications that a parent reflects back to the control's own
// object arrive there as WM_REFLECT_BASE + the original message (same
// parameters). The base WindowProc of a parent does this for WM_CTLCOLOR*,
// WM_COMMAND, WM_NOTIFY, WM_HSCROLL and WM_VSCROLL from controls that have an
// object, when the parent's own switch did not handle them. The control
// returns non-zero when it handled the message (for WM_CTLCOLOR*: its brush);
// then the parent returns that result instead of its default processing.
constexpr UINT WM_REFLECT_BASE = WM_USER + 0x1C00;

class CWnd {
 public:
  CWnd() = default;
  // Destroys a window this object created; releases (unsubclasses) a window
  // it only attached to. Handlers of derived classes no longer run here: a
  // class that needs its WM_DESTROY handler must destroy the window in its
  // own destructor.
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }
  bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

  // The object attached to a window, or null.
  static CWnd* FromHandle(HWND wnd);

  // Creates a window owned by this object. With a class from RegisterWndClass
  // the object sees WM_NCCALCSIZE and WM_CREATE; with a system class (tooltip,
  // trackbar...) the object is attached right after creation.
  bool CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int cx, int cy,
                HWND parentOrOwner, UINT_PTR idOrMenu = 0);
  bool DestroyWindow();

  // Attaches this object to an existing window without owning it: a control
  // of a dialog template (SubclassDlgItem) or any window of this thread.
  bool SubclassDlgItem(int id, HWND parent);
  bool SubclassWindow(HWND wnd);
  HWND UnsubclassWindow();

  // Run by a dialog's modal loop, before dispatch, for every message addressed
  // to this window or to a window below it; TRUE means handled (not dispatched).
  virtual BOOL PreTranslateMessage(MSG* msg);

  // Thin wrappers of the calls the program makes on its windows.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) { return ::SetTimer(m_hWnd, id, elapseMs, nullptr); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  BOOL MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
  }
  BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL InvalidateRect(const RECT* rect, BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, rect, erase); }
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendMessageW(m_hWnd, msg, wp, lp);
  }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::PostMessageW(m_hWnd, msg, wp, lp);
  }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  BOOL SetWindowText(LPCWSTR text) { return ::SetWindowTextW(m_hWnd, text); }
  std::wstring GetWindowText() const;

  // The shared window procedure of classes from RegisterWndClass.
  static LRESULT CALLBACK ClassWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  // The message switch of the class; see the top of this file.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);

  // The processing the window gets without this object: the class's own
  // procedure (DefWindowProc, the control, or the dialog manager).
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) { return ::DefSubclassProc(m_hWnd, msg, wp, lp); }

  // After the window's last message; the handle is gone (m_hWnd is null).
  virtual void OnFinalMessage() {}

  // Installs the subclass; used by creation, subclassing and dialogs.
  bool Attach(HWND wnd, bool owns);

  HWND m_hWnd = nullptr;

 private:
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  bool ReflectToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  bool m_ownsWindow = false;
};
