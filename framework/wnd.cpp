#include "framework/wnd.h"

namespace {

// The id of our subclass among others a window may carry (comctl32 tooltips
// subclass too); any constant works, it only has to be the same everywhere.
constexpr UINT_PTR kSubclassId = 0x5056;  // "PV"

// The way back from a handle to its object. A window property rather than
// GetWindowSubclass, which comctl32 exports by ordinal only.
constexpr wchar_t kObjectProperty[] = L"PresenterVela.CWnd";

bool IsControlColorMessage(UINT msg) {
  return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

}  // namespace

CWnd::~CWnd() {
  if (m_hWnd == nullptr) return;
  if (m_ownsWindow) {
    ::DestroyWindow(m_hWnd);  // the subclass detaches this object at WM_NCDESTROY
  } else {
    UnsubclassWindow();
  }
}

CWnd* CWnd::FromHandle(HWND wnd) {
  return wnd != nullptr ? static_cast<CWnd*>(::GetPropW(wnd, kObjectProperty)) : nullptr;
}

bool CWnd::Attach(HWND wnd, bool owns) {
  if (wnd == nullptr || m_hWnd != nullptr || FromHandle(wnd) != nullptr) return false;
  if (!::SetPropW(wnd, kObjectProperty, this)) return false;
  if (!::SetWindowSubclass(wnd, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    ::RemovePropW(wnd, kObjectProperty);
    return false;
  }
  m_hWnd = wnd;
  m_ownsWindow = owns;
  return true;
}

bool CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int cx,
                    int cy, HWND parentOrOwner, UINT_PTR idOrMenu) {
  if (m_hWnd != nullptr) return false;
  HWND wnd = ::CreateWindowExW(exStyle, className, title, style, x, y, cx, cy, parentOrOwner,
                               reinterpret_cast<HMENU>(idOrMenu), ::GetModuleHandleW(nullptr), this);
  if (wnd == nullptr) return false;
  if (m_hWnd == nullptr && !Attach(wnd, true)) {  // a system class: attach now
    ::DestroyWindow(wnd);
    return false;
  }
  return true;
}

bool CWnd::DestroyWindow() {
  return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

bool CWnd::SubclassDlgItem(int id, HWND parent) {
  return SubclassWindow(::GetDlgItem(parent, id));
}

bool CWnd::SubclassWindow(HWND wnd) {
  return Attach(wnd, false);
}

HWND CWnd::UnsubclassWindow() {
  HWND wnd = m_hWnd;
  if (wnd != nullptr) {
    ::RemoveWindowSubclass(wnd, &CWnd::SubclassProc, kSubclassId);
    ::RemovePropW(wnd, kObjectProperty);
  }
  m_hWnd = nullptr;
  m_ownsWindow = false;
  return wnd;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
  return FALSE;
}

RECT CWnd::GetClientRect() const {
  RECT rect{};
  ::GetClientRect(m_hWnd, &rect);
  return rect;
}

RECT CWnd::GetWindowRect() const {
  RECT rect{};
  ::GetWindowRect(m_hWnd, &rect);
  return rect;
}

std::wstring CWnd::GetWindowText() const {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // A reflected notification nobody handled must not reach the control's own
  // procedure, which would read it as one of its WM_USER messages.
  if (msg >= WM_REFLECT_BASE && msg < WM_REFLECT_BASE + WM_USER) return 0;
  LRESULT result = 0;
  if (ReflectToControl(msg, wp, lp, &result)) return result;
  return DefaultProc(msg, wp, lp);
}

bool CWnd::ReflectToControl(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND control = nullptr;
  if (IsControlColorMessage(msg) || msg == WM_HSCROLL || msg == WM_VSCROLL) {
    control = reinterpret_cast<HWND>(lp);
  } else if (msg == WM_COMMAND) {
    control = reinterpret_cast<HWND>(lp);  // null for menus and accelerators
  } else if (msg == WM_NOTIFY && lp != 0) {
    control = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
  }
  if (control == nullptr || control == m_hWnd || FromHandle(control) == nullptr) return false;
  *result = ::SendMessageW(control, WM_REFLECT_BASE + msg, wp, lp);
  return *result != 0;
}

LRESULT CALLBACK CWnd::ClassWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
    if (auto* self = static_cast<CWnd*>(create->lpCreateParams)) {
      if (!self->Attach(wnd, true)) return FALSE;  // creation fails rather than run without its object
    }
  }
  return ::DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<CWnd*>(ref);
  if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(wnd, &CWnd::SubclassProc, kSubclassId);
    ::RemovePropW(wnd, kObjectProperty);
    const LRESULT result = ::DefSubclassProc(wnd, msg, wp, lp);
    self->m_hWnd = nullptr;
    self->m_ownsWindow = false;
    self->OnFinalMessage();
    return result;
  }
  return self->WindowProc(msg, wp, lp);
}
