// Entry point of PresenterVela.exe.
//
// For now the program is a hidden top-level window titled "KORVEL_PRESENTER"
// (the title other instances look for) with a message loop that ends when the
// window is closed. It runs the receiver link for the whole session: the
// window is the link's notification window, and on exit the link's worker
// is asked to stop and given at most five seconds to finish.
#include <windows.h>

#include <cstdint>

#include "link/core/hid_link.h"
#include "link/win32/link_platform.h"

namespace {

constexpr wchar_t kWindowClass[] = L"PresenterVelaMain";
constexpr wchar_t kWindowTitle[] = L"KORVEL_PRESENTER";
// Start-up gives the worker a moment before the first window appears.
constexpr DWORD kLinkStartPauseMs = 100;

// Keeps the remote's scene in the setting "LastScene" until the settings
// store is connected: a REG_DWORD directly in HKEY_CURRENT_USER whose name
// carries the program's settings path.
class CRegistrySceneStore final : public pv::link::ISceneStore {
 public:
  bool ReadLastScene(std::uint32_t& value) override {
    DWORD data = 0;
    DWORD size = sizeof(data);
    DWORD type = 0;
    if (RegQueryValueExW(HKEY_CURRENT_USER, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
      return false;
    }
    value = data;
    return true;
  }
  void WriteLastScene(std::uint32_t value) override {
    const DWORD data = value;
    RegSetValueExW(HKEY_CURRENT_USER, kValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof(data));
  }

 private:
  static constexpr wchar_t kValueName[] = L"SOFTWARE\\Korvel\\PresenterVela\\LastScene";
};

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

bool RegisterMainClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kWindowClass;
  return RegisterClassExW(&wc) != 0;
}

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void StartLink() {
  static CRegistrySceneStore scenes;
  pv::link::CHidLink::Instance().Start(pv::link::win32::DefaultLinkPlatform(scenes));
  Sleep(kLinkStartPauseMs);
}

void ConnectLinkTo(HWND window) {
  auto& link = pv::link::CHidLink::Instance();
  link.m_hNotifyWnd = reinterpret_cast<std::uintptr_t>(window);
  const DWORD now = GetTickCount();
  link.m_armTick = now != 0 ? now : 1;  // 0 would mean "not initialised"
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!RegisterMainClass(instance)) return 1;
  StartLink();
  HWND window = CreateWindowExW(0, kWindowClass, kWindowTitle, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ConnectLinkTo(window);
  const int code = RunMessageLoop();
  pv::link::CHidLink::Instance().StopAndWait();
  return code;
}
