// timerprobe.exe: reads the main window's minutes box from inside the Wine
// prefix. Its text lives in the edit control, which only WM_GETTEXT returns
// to another process.
//
//   timerprobe box <title>   prints  text|selStart selEnd|visible|left top right bottom
//                            (rectangle in the parent's client pixels); exit 1 if not found
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kMinutesBoxId = 1002;

int PrintBox(const wchar_t* title) {
  HWND window = FindWindowW(nullptr, title);
  HWND box = window != nullptr ? GetDlgItem(window, kMinutesBoxId) : nullptr;
  if (box == nullptr) {
    std::fwprintf(stderr, L"timerprobe: no minutes box in \"%ls\"\n", title);
    return 1;
  }
  wchar_t text[64] = L"";
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(box, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
  DWORD_PTR selection = 0;
  SendMessageTimeoutW(box, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selection);
  RECT r{};
  GetWindowRect(box, &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  std::wprintf(L"%ls|%lu %lu|%d|%ld %ld %ld %ld\n", text, static_cast<unsigned long>(LOWORD(selection)),
               static_cast<unsigned long>(HIWORD(selection)), IsWindowVisible(box) ? 1 : 0, r.left, r.top,
               r.right, r.bottom);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"box") return PrintBox(argv[2]);
  std::fwprintf(stderr, L"usage: timerprobe box <title>\n");
  return 2;
}
