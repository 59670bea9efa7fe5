// Entry point of PresenterVela.exe.
//
// For now the program is a hidden top-level window titled "KORVEL_PRESENTER"
// (the title other instances look for) with a message loop that ends when the
// window is closed.
#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"PresenterVelaMain";
constexpr wchar_t kWindowTitle[] = L"KORVEL_PRESENTER";

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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!RegisterMainClass(instance)) return 1;
  HWND window = CreateWindowExW(0, kWindowClass, kWindowTitle, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  return RunMessageLoop();
}
