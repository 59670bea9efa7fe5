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
//   pvprobe keeper <ms>                      own a hidden window for that long (keeps a Wine
//                                            session's services and desktop process running)
//   pvprobe foreground                       print the title of the foreground window
//   pvprobe screens                          "virtual left top right bottom", then one line per
//                                            monitor: "monitor left top right bottom [primary]"
//   pvprobe list                             one line per top-level window:
//                                            hwnd|class|title|visible|left top right bottom|pid
//   pvprobe resources <title>                print "gdi user private-bytes" of the window's process
//                                            (gdi and user "n/a" under Wine, which cannot count them)
//   pvprobe cycle <title> <n> <msgA> <wpA> <msgB> <wpB>
//                                            n times: post A, wait until handled, post B, wait
//   pvprobe startup <timeout-ms>             milliseconds from now until: the splash (a visible
//                                            568 x 436 dialog) shows, it goes, and the tray is shown
//   pvprobe children <title>                 one line per child window, same fields with the
//                                            control id first
//   pvprobe menu                             one line per item of the shown popup menu (its
//                                            text, "-" for a separator); exit 1 if none is readable
//   pvprobe menures <exe> <menu-id>          the same for the first submenu of a menu resource of
//                                            <exe>, as the resource loader picks it for this user
//   pvprobe handles <title>                  print the handle count of the window's process ("n/a"
//                                            under Wine, which cannot count another process's)
//   pvprobe threads <title>                  print the thread count of the window's process
//   pvprobe endsession <title> [lparam]      what Windows does at the end of the session: send
//                                            WM_QUERYENDSESSION, print its answer, and when it is
//                                            TRUE send WM_ENDSESSION (TRUE); exit 0 if both were handled
//   pvprobe ping <title> <duration-ms> <interval-ms>
//                                            for that long, every interval: SendMessageTimeout
//                                            of WM_NULL (5 s bound); prints "pings=N median=M
//                                            max=X" in milliseconds (how fast the window answers)
// Every <title> may also be "hwnd:0x<handle>" (as `list` prints it). Texts
// are printed as UTF-8.
#include <windows.h>
// After <windows.h>:
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// A title, or "hwnd:0x..." for a window whose title the command line cannot
// carry (Wine converts arguments through the Unix locale, which may lack the
// characters of a Chinese title).
HWND FindByTitle(const wchar_t* title) {
  if (std::wcsncmp(title, L"hwnd:", 5) == 0) {
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(title + 5, nullptr, 0)));
    return IsWindow(window) ? window : nullptr;
  }
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

// Window texts are written as UTF-8, so texts outside ASCII (a Chinese user
// interface) reach the test intact; the C library's wide output would stop
// at the first character its "C" locale cannot convert.
void PrintUtf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  std::fflush(stdout);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void PrintWindowLine(HWND window, const wchar_t* firstField) {
  wchar_t className[128] = L"";
  wchar_t text[512] = L"";
  GetClassNameW(window, className, 128);
  GetWindowTextW(window, text, 512);
  if (std::wstring(className) == L"tooltips_class32") {
    // A tooltip's text is its current tip, which only WM_GETTEXT returns.
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 500,
                        &copied);
  }
  // One window per line: line breaks inside the text are written as "\n".
  std::wstring escaped;
  for (const wchar_t* c = text; *c != L'\0'; ++c) {
    if (*c == L'\n') {
      escaped += L"\\n";
    } else if (*c != L'\r') {
      escaped += *c;
    }
  }
  RECT r{};
  GetWindowRect(window, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t numbers[96];
  std::swprintf(numbers, 96, L"|%d|%ld %ld %ld %ld|%lu\n", IsWindowVisible(window) ? 1 : 0, r.left, r.top,
                r.right, r.bottom, pid);
  PrintUtf8(std::wstring(firstField) + L"|" + className + L"|" + escaped + numbers);
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

// Returns once the window's thread has handled everything posted before.
void WaitUntilHandled(HWND window) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

int Cycle(HWND window, wchar_t** argv) {
  const unsigned long long count = ParseNumber(argv[3]);
  const UINT messageA = static_cast<UINT>(ParseNumber(argv[4]));
  const WPARAM wParamA = static_cast<WPARAM>(ParseNumber(argv[5]));
  const UINT messageB = static_cast<UINT>(ParseNumber(argv[6]));
  const WPARAM wParamB = static_cast<WPARAM>(ParseNumber(argv[7]));
  for (unsigned long long i = 0; i < count; ++i) {
    PostMessageW(window, messageA, wParamA, 0);
    WaitUntilHandled(window);
    PostMessageW(window, messageB, wParamB, 0);
    WaitUntilHandled(window);
  }
  return 0;
}

int Resources(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return 1;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  // Wine answers GetGuiResources for another process with 0 whatever it
  // holds: say "n/a" rather than print a figure that means nothing.
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  if (wine) {
    // Its private-bytes answer for another process is 0 as well.
    if (memory.PrivateUsage == 0) {
      std::wprintf(L"n/a n/a n/a\n");
    } else {
      std::wprintf(L"n/a n/a %llu\n", static_cast<unsigned long long>(memory.PrivateUsage));
    }
  } else {
    std::wprintf(L"%lu %lu %llu\n", GetGuiResources(process, GR_GDIOBJECTS),
                 GetGuiResources(process, GR_USEROBJECTS),
                 static_cast<unsigned long long>(memory.PrivateUsage));
  }
  CloseHandle(process);
  return 0;
}

// Threads of the process owning the window (a Toolhelp snapshot).
int Threads(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 1;
  unsigned threads = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == pid) ++threads;
  }
  CloseHandle(snapshot);
  std::wprintf(L"%u\n", threads);
  return 0;
}

struct SplashSearch {
  bool found = false;
};

BOOL CALLBACK FindSplash(HWND window, LPARAM context) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  RECT r{};
  GetWindowRect(window, &r);
  if (IsWindowVisible(window) && std::wstring(className) == L"#32770" && r.right - r.left == 568 &&
      r.bottom - r.top == 436) {
    reinterpret_cast<SplashSearch*>(context)->found = true;
    return FALSE;
  }
  return TRUE;
}

bool SplashVisible() {
  SplashSearch search;
  EnumWindows(FindSplash, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls every 5 ms and prints when the splash appeared, when it went and when
// the tray was first shown, in milliseconds from the start of the command.
int Startup(const wchar_t* timeoutText) {
  const DWORD timeout = static_cast<DWORD>(ParseNumber(timeoutText));
  const DWORD start = GetTickCount();
  long splashShown = -1, splashGone = -1, trayShown = -1;
  while (GetTickCount() - start < timeout && (splashGone < 0 || trayShown < 0)) {
    const long now = static_cast<long>(GetTickCount() - start);
    const bool splash = SplashVisible();
    if (splash && splashShown < 0) splashShown = now;
    if (!splash && splashShown >= 0 && splashGone < 0) splashGone = now;
    HWND tray = FindWindowW(nullptr, L"Wine System Tray");
    if (tray == nullptr) tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (tray != nullptr && IsWindowVisible(tray) && trayShown < 0) trayShown = now;
    Sleep(5);
  }
  std::wprintf(L"splash_shown=%ld splash_gone=%ld tray_shown=%ld\n", splashShown, splashGone, trayShown);
  return splashGone >= 0 && trayShown >= 0 ? 0 : 1;
}

// A hidden window is enough to make Wine start the desktop process; the
// message loop ends when the timer fires.
int Keeper(const wchar_t* durationText) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PvProbeKeeper";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"pvprobe keeper", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, wc.hInstance, nullptr);
  if (window == nullptr) return 1;
  SetTimer(nullptr, 0, static_cast<UINT>(ParseNumber(durationText)), nullptr);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) break;
    DispatchMessageW(&msg);
  }
  DestroyWindow(window);
  return 0;
}

// One line in UTF-8, whatever the console's code page (menu texts may be Chinese).
void PrintUtf8Line(const wchar_t* text) {
  char bytes[1024] = "";
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), nullptr, nullptr);
  if (length > 1) std::fwrite(bytes, 1, static_cast<size_t>(length - 1), stdout);
  std::fputc('\n', stdout);
}

// Prints each item of a menu: its text (with "&" as written), "-" for a separator.
int PrintMenuItems(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  if (count <= 0) return 1;
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      PrintUtf8Line(L"-");
      continue;
    }
    wchar_t text[256] = L"";
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    PrintUtf8Line(text);
  }
  std::fflush(stdout);
  return 0;
}

struct PopupSearch {
  HWND window = nullptr;
};

BOOL CALLBACK FindPopupMenu(HWND window, LPARAM context) {
  wchar_t className[16] = L"";
  GetClassNameW(window, className, 16);
  if (IsWindowVisible(window) && std::wstring(className) == L"#32768") {
    reinterpret_cast<PopupSearch*>(context)->window = window;
    return FALSE;
  }
  return TRUE;
}

int ShownMenu() {
  PopupSearch search;
  EnumWindows(FindPopupMenu, reinterpret_cast<LPARAM>(&search));
  if (search.window == nullptr) return 1;
  DWORD_PTR menu = 0;
  constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
  SendMessageTimeoutW(search.window, kGetMenuHandle, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu);
  if (menu == 0) return 1;
  return PrintMenuItems(reinterpret_cast<HMENU>(menu));
}

int MenuResource(const wchar_t* exe, const wchar_t* idText) {
  HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return 1;
  HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(static_cast<WORD>(ParseNumber(idText))));
  int result = 1;
  if (menu != nullptr) {
    HMENU popup = GetSubMenu(menu, 0);
    result = popup != nullptr ? PrintMenuItems(popup) : 1;
    DestroyMenu(menu);
  }
  FreeLibrary(module);
  return result;
}

int HandleCount(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (process == nullptr) return 1;
  DWORD count = 0;
  const BOOL ok = GetProcessHandleCount(process, &count);
  CloseHandle(process);
  if (!ok) return 1;
  // Wine answers 0 for another process: no figure rather than a false one.
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
    std::wprintf(L"n/a\n");
    return 0;
  }
  std::wprintf(L"%lu\n", count);
  return 0;
}

// Both messages are sent, as the system sends them, with a bound on each.
int EndSession(HWND window, int argc, wchar_t** argv) {
  const LPARAM reason = argc > 3 ? static_cast<LPARAM>(ParseNumber(argv[3])) : 0;
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, reason, SMTO_ABORTIFHUNG, 5000, &answer)) {
    std::wprintf(L"query=timeout\n");
    return 1;
  }
  std::wprintf(L"query=%llu\n", static_cast<unsigned long long>(answer));
  if (answer == FALSE) return 1;
  DWORD_PTR ignored = 0;
  const bool handled =
      SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, reason, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
  std::wprintf(L"end=%ls\n", handled ? L"handled" : L"timeout");
  return handled ? 0 : 1;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  std::wprintf(L"monitor %ld %ld %ld %ld%ls\n", r.left, r.top, r.right, r.bottom,
               (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? L" primary" : L"");
  return TRUE;
}

// The monitors as the program sees them (physical pixels).
int Screens() {
  SetProcessDPIAware();
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  std::wprintf(L"virtual %d %d %d %d\n", x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
               y + GetSystemMetrics(SM_CYVIRTUALSCREEN));
  return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0) ? 0 : 1;
}

int Ping(HWND window, const wchar_t* durationText, const wchar_t* intervalText) {
  const ULONGLONG duration = static_cast<ULONGLONG>(ParseNumber(durationText));
  const DWORD interval = static_cast<DWORD>(ParseNumber(intervalText));
  std::vector<ULONGLONG> answers;
  const ULONGLONG start = GetTickCount64();
  while (GetTickCount64() - start < duration) {
    const ULONGLONG sent = GetTickCount64();
    DWORD_PTR ignored = 0;
    const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
    answers.push_back(answered ? GetTickCount64() - sent : 5000);
    if (!IsWindow(window)) break;
    Sleep(interval);
  }
  if (answers.empty()) return 1;
  std::vector<ULONGLONG> sorted = answers;
  std::sort(sorted.begin(), sorted.end());
  std::wprintf(L"pings=%zu median=%llu max=%llu\n", sorted.size(), sorted[sorted.size() / 2], sorted.back());
  return 0;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: pvprobe wait|waitvisible|find|post|close|visible|rect|children <title> ... | "
                L"foreground | list | screens\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"foreground") return Foreground();
  if (command == L"list") return EnumWindows(PrintTopLevel, 0) ? 0 : 1;
  if (command == L"screens") return Screens();
  if (command == L"menu") return ShownMenu();
  if (command == L"menures") return argc > 3 ? MenuResource(argv[2], argv[3]) : Usage();
  if (argc < 3) return Usage();
  if (command == L"startup") return Startup(argv[2]);
  if (command == L"keeper") return Keeper(argv[2]);
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
  if (command == L"resources") return Resources(window);
  if (command == L"handles") return HandleCount(window);
  if (command == L"cycle") return argc > 7 ? Cycle(window, argv) : Usage();
  if (command == L"endsession") return EndSession(window, argc, argv);
  if (command == L"threads") return Threads(window);
  if (command == L"ping") return argc > 4 ? Ping(window, argv[3], argv[4]) : Usage();
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
