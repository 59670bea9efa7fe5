// Benchmark helper run under Wine beside the program: moves the settings
// page's brightness slider from end to end one step at a time, each step the
// way the trackbar reports a drag (position set, WM_HSCROLL to the page), and
// prints how long each step took including the repaint it caused.
//
//   pagebench.exe <window title> <slider control id>
#include <windows.h>
// After <windows.h>:
#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace {

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One step: the trackbar's new position and its scroll notification; then
// the window paints what it invalidated (the paint runs on its own thread
// either at our request or by itself; the final sent message returns only
// once it is done either way).
double Step(HWND page, HWND slider, int position, LARGE_INTEGER frequency) {
  LARGE_INTEGER start{}, end{};
  DWORD_PTR result = 0;
  ::QueryPerformanceCounter(&start);
  ::SendMessageTimeoutW(slider, TBM_SETPOS, TRUE, position, SMTO_NORMAL, 5000, &result);
  ::SendMessageTimeoutW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
                        reinterpret_cast<LPARAM>(slider), SMTO_NORMAL, 5000, &result);
  ::RedrawWindow(page, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::SendMessageTimeoutW(page, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
  ::QueryPerformanceCounter(&end);
  return Ms(start, end, frequency);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: pagebench <title> <slider id>\n");
    return 2;
  }
  HWND page = ::FindWindowW(nullptr, argv[1]);
  HWND slider = page != nullptr ? ::GetDlgItem(page, std::wcstol(argv[2], nullptr, 10)) : nullptr;
  if (slider == nullptr) {
    std::fwprintf(stderr, L"pagebench: no slider %ls in \"%ls\"\n", argv[2], argv[1]);
    return 1;
  }
  LARGE_INTEGER frequency{};
  ::QueryPerformanceFrequency(&frequency);
  const int minimum = static_cast<int>(::SendMessageW(slider, TBM_GETRANGEMIN, 0, 0));
  const int maximum = static_cast<int>(::SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
  Step(page, slider, minimum, frequency);
  ::Sleep(300);
  // Left to right and back: every position once in each direction.
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = minimum + 1; i <= maximum; ++i) {
      const int position = pass == 0 ? i : maximum + minimum - i;
      std::wprintf(L"step %d %.3f\n", position, Step(page, slider, position, frequency));
    }
  }
  std::fflush(stdout);
  return 0;
}
