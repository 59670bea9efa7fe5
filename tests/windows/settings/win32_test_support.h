// Small helpers of the settings tests under Wine.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace pv::settings::test {

// Runs a command line, waits at most timeoutMs, and returns what it printed
// (nullopt when it could not be started or did not end in time).
std::optional<std::string> RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs);

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& path);

bool IsDirectory(const std::wstring& path);

// REG_SZ value of an open key, or nullopt.
std::optional<std::wstring> ReadString(HKEY root, const wchar_t* subKey, const wchar_t* name);

// Sets an environment variable for the scope, then restores the previous state.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::wstring name_;
  std::optional<std::wstring> previous_;
};

}  // namespace pv::settings::test
