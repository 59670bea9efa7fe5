// pvbackdrop.exe: the window the effect tests present. It covers the virtual
// screen with a picture whose every pixel the tests can compute, takes the
// foreground, and reports what reaches it in its title, so a test sees from
// outside whether typed keys and clicks arrived:
//
//   pvbackdrop pattern <ms>   32-pixel bands: red 230/40 by x, green 230/40 by y, blue 120
//   pvbackdrop slide <ms>     a slide (title bar, bullets, bar chart) for screenshots
//   pvbackdrop faketray <ms>  only a window of the taskbar's class "Shell_TrayWnd"
//
// The title is "pv backdrop keys=<typed characters> clicks=<left clicks>".
// The window ends by itself after <ms>, or on WM_CLOSE.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

enum class Picture { Pattern, Slide };

struct State {
  Picture picture = Picture::Pattern;
  std::wstring keys;
  unsigned clicks = 0;
};

State& TheState() {
  static State state;
  return state;
}

void UpdateTitle(HWND window) {
  const State& state = TheState();
  const std::wstring title = L"pv backdrop keys=" + state.keys + L" clicks=" + std::to_wstring(state.clicks);
  SetWindowTextW(window, title.c_str());
}

// The pattern in virtual-screen coordinates (the tests compute the same).
std::uint32_t PatternAt(int x, int y) {
  const std::uint32_t red = ((x >> 5) & 1) == 0 ? 230 : 40;
  const std::uint32_t green = ((y >> 5) & 1) == 0 ? 230 : 40;
  const std::uint32_t blue = 120;
  return red << 16 | green << 8 | blue;  // a 32-bit DIB pixel: 0x00RRGGBB
}

void PaintPattern(HDC dc, int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = PatternAt(x, y);
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
}

void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// A slide as presenters show them: a title bar with its text, bullet lines
// and a bar chart.
void PaintSlide(HDC dc, int width, int height) {
  FillBox(dc, 0, 0, width, height, RGB(250, 250, 246));
  FillBox(dc, 0, 0, width, height / 8, RGB(28, 46, 98));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  HFONT title = CreateFontW(height / 14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                            ANTIALIASED_QUALITY, 0, L"Tahoma");
  HGDIOBJ old = SelectObject(dc, title);
  TextOutW(dc, width / 20, height / 40, L"Quarterly results 2026", 22);
  SelectObject(dc, old);
  DeleteObject(title);

  HFONT body = CreateFontW(height / 24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                           ANTIALIASED_QUALITY, 0, L"Tahoma");
  old = SelectObject(dc, body);
  SetTextColor(dc, RGB(30, 30, 30));
  const wchar_t* lines[] = {L"Revenue up 18 %", L"Three new markets", L"Customer rating 4.7 / 5",
                            L"Next: the Vela 2 remote"};
  int y = height / 5;
  for (const wchar_t* line : lines) {
    FillBox(dc, width / 20, y + height / 60, width / 20 + height / 50, y + height / 60 + height / 50,
            RGB(226, 112, 30));
    TextOutW(dc, width / 20 + height / 30, y, line, static_cast<int>(wcslen(line)));
    y += height / 10;
  }
  SelectObject(dc, old);
  DeleteObject(body);

  const COLORREF bars[] = {RGB(52, 120, 200), RGB(226, 112, 30), RGB(60, 160, 90), RGB(200, 60, 70)};
  const int heights[] = {30, 45, 62, 80};
  const int base = height * 7 / 8;
  for (int i = 0; i < 4; ++i) {
    const int left = width / 2 + i * width / 10;
    FillBox(dc, left, base - heights[i] * height / 160, left + width / 14, base, bars[i]);
  }
  FillBox(dc, width / 2 - 10, base, width - width / 20, base + 4, RGB(60, 60, 60));
}

LRESULT CALLBACK BackdropProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  State& state = TheState();
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      RECT client{};
      GetClientRect(window, &client);
      if (state.picture == Picture::Pattern) {
        PaintPattern(dc, client.right, client.bottom);
      } else {
        PaintSlide(dc, client.right, client.bottom);
      }
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CHAR:
      if (wp >= 0x20 && wp < 0x7F && state.keys.size() < 200) state.keys += static_cast<wchar_t>(wp);
      UpdateTitle(window);
      return 0;
    case WM_LBUTTONDOWN:
      ++state.clicks;
      UpdateTitle(window);
      return 0;
    case WM_TIMER:
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, msg, wp, lp);
  }
}

int RunLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

int Backdrop(Picture picture, UINT lifetimeMs) {
  TheState().picture = picture;
  WNDCLASSW wc{};
  wc.lpfnWndProc = BackdropProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"PvBackdrop";
  RegisterClassW(&wc);
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, x, y, width, height, nullptr, nullptr,
                                wc.hInstance, nullptr);
  if (window == nullptr) return 1;
  UpdateTitle(window);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(window);
  SetTimer(window, 1, lifetimeMs, nullptr);
  return RunLoop();
}

// A stand-in taskbar for a desktop without one: a small window of the
// taskbar's class along the bottom of the primary screen.
int FakeTray(UINT lifetimeMs) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&wc);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, L"pv fake taskbar",
                                WS_POPUP, 0, height - 30, width, 30, nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetTimer(nullptr, 0, lifetimeMs, nullptr);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) break;
    DispatchMessageW(&msg);
  }
  DestroyWindow(window);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: pvbackdrop pattern|slide|faketray <ms>\n");
    return 2;
  }
  const std::wstring mode = argv[1];
  const UINT lifetime = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 0));
  if (mode == L"pattern") return Backdrop(Picture::Pattern, lifetime);
  if (mode == L"slide") return Backdrop(Picture::Slide, lifetime);
  if (mode == L"faketray") return FakeTray(lifetime);
  return 2;
}
