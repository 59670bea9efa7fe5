#include "tests/windows/settings/win32_test_support.h"

namespace pv::settings::test {

std::optional<std::string> RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs) {
  wchar_t tempDir[MAX_PATH] = {};
  wchar_t outPath[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, tempDir);
  GetTempFileNameW(tempDir, L"pvo", 0, outPath);
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE out = CreateFileW(outPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return std::nullopt;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = out;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring mutableLine = commandLine;
  const BOOL started = CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &si, &pi);
  CloseHandle(out);
  std::optional<std::string> result;
  if (started) {
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
      if (auto bytes = ReadWholeFile(outPath)) result = std::string(bytes->begin(), bytes->end());
    } else {
      TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  DeleteFileW(outPath);
  return result;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  CloseHandle(file);
  return bytes;
}

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::wstring> ReadString(HKEY root, const wchar_t* subKey, const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (RegGetValueW(root, subKey, name, RRF_RT_ANY, &type, buffer, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
  wchar_t buffer[32768];
  const DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
  if (length > 0 && length < 32768) previous_ = std::wstring(buffer, length);
  SetEnvironmentVariableW(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
  SetEnvironmentVariableW(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

}  // namespace pv::settings::test
