// pvprobe.exe: looks at and pokes the windows of the program under test from
// inside the same Wine prefix, where X tools cannot see hidden windows.
//
//   pvprobe wait <title> <timeout-ms>        exit 0 once a top-level window has that title
//   pvprobe waitvisible <title> <timeout-ms> exit 0 once that window is visible (polls every 10 ms)
//   pvprobe find <title>                     print its handle (hex); exit 1 if none
//   pvprobe post <title> <msg> [wp] [lp]     PostMessageW to it (numbers: decimal or 0x..)
//   pvprobe close <title>                    post WM_CLOSE
//   pvprobe visible <title>                  print 1 if visible, else 0
//   pvprobe rect <title>                     print left top right bottom of its window rect
//   pvprobe foreground                       print the title of the foreground window
//   pvprobe list                             one line per top-level window:
//                                            hwnd|class|title|visible|left top right bottom|pid
//   pvprobe children <title>                 one line per child window, same fields with the
//                                            control id first
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND FindByTitle(const wchar_t* title) {
  return FindWindowW(nullptr, title);
}

unsigned long long ParseNumber(const wchar_t* text) {
  return std::wcstoull(text, nullptr, 0);
}

int Wait(const wchar_t* title, const wchar_t* timeoutText) {
  const DWORD timeout = static_cast<DWORD>(ParseNumber(timeoutText));
  const DWORD start = GetTickCount();
  while (FindByTitle(title) == nullptr) {
    if (GetTickCount() - start >= timeout) return 1;
    Sleep(20);
  }
  return 0;
}

int WaitVisible(const wchar_t* title, const wchar_t* timeoutText) {
  const DWORD timeout = static_cast<DWORD>(ParseNumber(timeoutText));
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindByTitle(title);
    if (window != nullptr && IsWindowVisible(window)) return 0;
    if (GetTickCount() - start >= timeout) return 1;
    Sleep(10);
  }
}

int Post(HWND window, int argc, wchar_t** argv) {
  const UINT message = static_cast<UINT>(ParseNumber(argv[3]));
  const WPARAM wParam = argc > 4 ? static_cast<WPARAM>(ParseNumber(argv[4])) : 0;
  const LPARAM lParam = argc > 5 ? static_cast<LPARAM>(ParseNumber(argv[5])) : 0;
  return PostMessageW(window, message, wParam, lParam) ? 0 : 1;
}

int Foreground() {
  wchar_t title[256] = L"";
  HWND window = GetForegroundWindow();
  if (window != nullptr) GetWindowTextW(window, title, 256);
  std::wprintf(L"%ls\n", title);
  return 0;
}

void PrintWindowLine(HWND window, const wchar_t* firstField) {
  wchar_t className[128] = L"";
  wchar_t text[512] = L"";
  GetClassNameW(window, className, 128);
  GetWindowTextW(window, text, 512);
  RECT r{};
  GetWindowRect(window, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::wprintf(L"%ls|%ls|%ls|%d|%ld %ld %ld %ld|%lu\n", firstField, className, text,
               IsWindowVisible(window) ? 1 : 0, r.left, r.top, r.right, r.bottom, pid);
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM) {
  wchar_t handle[32];
  std::swprintf(handle, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  PrintWindowLine(window, handle);
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND window, LPARAM) {
  wchar_t id[16];
  std::swprintf(id, 16, L"%d", GetDlgCtrlID(window));
  PrintWindowLine(window, id);
  return TRUE;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: pvprobe wait|waitvisible|find|post|close|visible|rect|children <title> ... | "
                L"foreground | list\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"foreground") return Foreground();
  if (command == L"list") return EnumWindows(PrintTopLevel, 0) ? 0 : 1;
  if (argc < 3) return Usage();
  if (command == L"wait") return argc > 3 ? Wait(argv[2], argv[3]) : Usage();
  if (command == L"waitvisible") return argc > 3 ? WaitVisible(argv[2], argv[3]) : Usage();

  HWND window = FindByTitle(argv[2]);
  if (window == nullptr) {
    std::fwprintf(stderr, L"pvprobe: no window titled \"%ls\"\n", argv[2]);
    return 1;
  }
  if (command == L"find") {
    std::wprintf(L"0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return 0;
  }
  if (command == L"post") return argc > 3 ? Post(window, argc, argv) : Usage();
  if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == L"visible") {
    std::wprintf(L"%d\n", IsWindowVisible(window) ? 1 : 0);
    return 0;
  }
  if (command == L"children") {
    EnumChildWindows(window, PrintChild, 0);
    return 0;
  }
  if (command == L"rect") {
    RECT r{};
    GetWindowRect(window, &r);
    std::wprintf(L"%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  return Usage();
}
