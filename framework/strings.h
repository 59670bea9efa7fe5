// Text of a string-table resource of the executable, in the language the
// platform's resource loader picks; empty if there is none.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring LoadResString(UINT id) {
  const wchar_t* text = nullptr;
  // A length of 0 asks for a read-only pointer into the resource itself.
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
