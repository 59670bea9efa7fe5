// The product version of an executable as the program shows and compares it:
// "major.minor.patch.build" from its version resource.
#pragma once

#include <string>

namespace pv::update {

// The version of the file at `path`; false and an empty string when the file
// has no version resource.
bool GetVersionString(const std::wstring& path, std::wstring& out);

// The full path of the running executable.
std::wstring RunningProgramPath();

// The version of the running program (empty when it has none).
std::wstring RunningVersionString();

}  // namespace pv::update
