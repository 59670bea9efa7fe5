// Read-only view of the resources of a built executable, loaded as a data
// file so nothing of it runs. Lookups name the language explicitly because
// Wine's loader ignores the thread's UI language.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pv::resources::test {

class ExeResources {
 public:
  explicit ExeResources(const std::wstring& path);
  ~ExeResources();
  ExeResources(const ExeResources&) = delete;
  ExeResources& operator=(const ExeResources&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }

  // Raw bytes of one resource, or nothing when it is absent.
  std::optional<std::string_view> Bytes(LPCWSTR type, WORD id, LANGID lang) const;

  // String table entry `id` in `lang` (empty optional when absent).
  std::optional<std::wstring> String(WORD id, LANGID lang) const;

  // Number of resources of `type` (any name, any language).
  int Count(LPCWSTR type) const;

 private:
  HMODULE module_ = nullptr;
};

// One control of a DIALOGEX template.
struct DialogItem {
  DWORD id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring className;  // empty when given as an atom
  WORD classAtom = 0;
  std::wstring title;
};

struct DialogTemplate {
  DWORD style = 0;
  short cx = 0, cy = 0;
  std::wstring title;
  WORD pointSize = 0;
  std::wstring font;
  std::vector<DialogItem> items;
};

// Parses a DIALOGEX template; nothing when the bytes are not one.
std::optional<DialogTemplate> ParseDialogEx(std::string_view bytes);

constexpr LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL);
constexpr LANGID kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

}  // namespace pv::resources::test
