#include <gtest/gtest.h>

#include <cstdio>

#include "framework/com.h"
#include "framework/gdi.h"
#include "framework/kernel_handles.h"
#include "framework/registry.h"
#include "framework/user_handles.h"
#include "tests/windows/framework/gui_counts.h"
#include "tests/windows/framework/script_dialog.h"

namespace pv::framework::test {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\PresenterVelaFrameworkTest";

TEST(Handles, OwnerFreesOnResetMoveAndScopeEnd) {
  HBRUSH first = ::CreateSolidBrush(RGB(1, 2, 3));
  HBRUSH second = ::CreateSolidBrush(RGB(4, 5, 6));
  {
    CBrush brush(first);
    EXPECT_EQ(::GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH));
    brush.Reset(second);
    EXPECT_EQ(::GetObjectType(first), 0u);  // the old one was freed
    CBrush moved(std::move(brush));
    EXPECT_FALSE(brush.IsValid());
    EXPECT_EQ(moved.Get(), second);
  }
  EXPECT_EQ(::GetObjectType(second), 0u);

  CBrush released(::CreateSolidBrush(RGB(7, 8, 9)));
  HBRUSH raw = released.Release();
  EXPECT_FALSE(released.IsValid());
  EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));  // ownership given up, not freed
  ::DeleteObject(raw);
}

TEST(Handles, FileOwnerUsesInvalidHandleValueAndEventOwnerNull) {
  CFileHandle file;
  EXPECT_EQ(file.Get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(file.IsValid());
  CHandle event = CreateEventHandle(true, false);
  ASSERT_TRUE(event.IsValid());
  HANDLE raw = event.Get();
  event.Reset();
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(raw, &flags));  // closed
  EXPECT_EQ(CHandle().Get(), nullptr);
}

TEST(Handles, SelectObjectIsUndoneAtScopeEnd) {
  CMemDC dc(::CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc.IsValid());
  HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);
  CBrush brush(::CreateSolidBrush(RGB(9, 9, 9)));
  {
    CSelectObject select(dc.Get(), brush.Get());
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
  }
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
}

class CCountingUnknown : public IUnknown {
 public:
  ULONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(Handles, ComPointerReleasesItsReferenceAndComScopeBalances) {
  CCountingUnknown object;
  {
    CComPtr<IUnknown> first;
    *first.Put() = &object;
    CComPtr<IUnknown> second(std::move(first));
    EXPECT_EQ(object.refs, 1u);
  }
  EXPECT_EQ(object.refs, 0u);

  {
    CComInit com;
    EXPECT_TRUE(com.IsUsable());
    CComPtr<IStream> stream;
    EXPECT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
  }
  // Balanced: the thread is no longer initialised, so a new call is the first again.
  const HRESULT again = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(again, S_OK);
  if (SUCCEEDED(again)) ::CoUninitialize();
}

TEST(Handles, RegistryKeyIsClosed) {
  HKEY raw = nullptr;
  {
    CRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.Put(), nullptr),
              ERROR_SUCCESS);
    raw = key.Get();
  }
  DWORD values = 0;
  EXPECT_NE(::RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, kTestKey);
}

class CPaintingWnd : public CWnd {
 public:
  int paints = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_PAINT) {
      CPaintDC dc(m_hWnd);
      CBrush brush(::CreateSolidBrush(RGB(0, 0, 255)));
      CSelectObject select(dc.Get(), brush.Get());
      ::PatBlt(dc.Get(), 0, 0, 4, 4, PATCOPY);
      ++paints;
      return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
  }
};

// One of everything the program owns, created and freed.
void OneCycle(int i) {
  CBitmap bitmap(::CreateBitmap(8, 8, 1, 32, nullptr));
  CPen pen(::CreatePen(PS_SOLID, 1, RGB(i & 255, 0, 0)));
  CFont font(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  CRgn region(::CreateEllipticRgn(0, 0, 20, 20));
  CMemDC memory(::CreateCompatibleDC(nullptr));
  CSelectObject selectBitmap(memory.Get(), bitmap.Get());
  CSelectObject selectPen(memory.Get(), pen.Get());
  { CClientDC screen(nullptr); }
  CIcon icon(::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION)));
  CCursor cursor(static_cast<HCURSOR>(::CopyImage(::LoadCursorW(nullptr, IDC_ARROW), IMAGE_CURSOR, 0, 0, 0)));
  CMenu menu(::CreatePopupMenu());
  ::AppendMenuW(menu.Get(), MF_STRING, 1, L"Quit");
  CHandle event = CreateEventHandle(false, false);

  CPaintingWnd wnd;
  wnd.CreateEx(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 8, 8, nullptr);
  CWindowHandle raw(
      ::CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr));
  wnd.SendMessage(WM_PAINT);

  CScriptDlg dlg;
  dlg.onInit = [](CScriptDlg& d) { d.EndDialog(IDOK); };
  dlg.DoModal();
}

TEST(Handles, NothingLeftBehindAfterManyCycles) {
  OneCycle(0);  // first use creates the system's own caches
  const GuiCounts before = CurrentGuiCounts();
  const DWORD kernelBefore = CurrentKernelHandleCount();
  for (int i = 0; i < 100; ++i) OneCycle(i);
  const GuiCounts after = CurrentGuiCounts();
  const DWORD kernelAfter = CurrentKernelHandleCount();
  std::printf("GDI %lu -> %lu, USER %lu -> %lu, kernel handles %lu -> %lu over 100 cycles\n", before.gdi,
              after.gdi, before.user, after.user, kernelBefore, kernelAfter);
  EXPECT_EQ(after, before);
  EXPECT_EQ(kernelAfter, kernelBefore);
}

}  // namespace
}  // namespace pv::framework::test
