// A stand-in for the updater "Renewa.exe" that the update tests serve: it
// records the parameters it was started with, as UTF-16LE bytes, in
// "renewa-parameters.bin" next to itself, and ends.
#include <windows.h>

#include <cwchar>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR parameters, int) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring log(path, length);
  log = log.substr(0, log.find_last_of(L'\\') + 1) + L"renewa-parameters.bin";
  HANDLE file =
      CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, parameters, static_cast<DWORD>(std::wcslen(parameters) * sizeof(wchar_t)), &written,
            nullptr);
  CloseHandle(file);
  return 0;
}
