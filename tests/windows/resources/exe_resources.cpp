#include "tests/windows/resources/exe_resources.h"

#include <cstring>

namespace pv::resources::test {

ExeResources::ExeResources(const std::wstring& path)
    : module_(
          LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}

ExeResources::~ExeResources() {
  if (module_ != nullptr) FreeLibrary(module_);
}

std::optional<std::string_view> ExeResources::Bytes(LPCWSTR type, WORD id, LANGID lang) const {
  HRSRC info = FindResourceExW(module_, type, MAKEINTRESOURCEW(id), lang);
  if (info == nullptr) return std::nullopt;
  HGLOBAL handle = LoadResource(module_, info);
  const void* data = handle != nullptr ? LockResource(handle) : nullptr;
  if (data == nullptr) return std::nullopt;
  return std::string_view(static_cast<const char*>(data), SizeofResource(module_, info));
}

std::optional<std::wstring> ExeResources::String(WORD id, LANGID lang) const {
  // Strings live in blocks of 16; each entry is a length word and that many
  // UTF-16 units.
  auto block = Bytes(RT_STRING, static_cast<WORD>(id / 16 + 1), lang);
  if (!block) return std::nullopt;
  size_t pos = 0;
  for (unsigned index = 0; index < 16; ++index) {
    if (pos + 2 > block->size()) return std::nullopt;
    WORD length = 0;
    std::memcpy(&length, block->data() + pos, 2);
    pos += 2;
    if (pos + length * 2u > block->size()) return std::nullopt;
    if (index == id % 16u) {
      if (length == 0) return std::nullopt;
      std::wstring text(length, L'\0');
      std::memcpy(text.data(), block->data() + pos, length * 2u);
      return text;
    }
    pos += length * 2u;
  }
  return std::nullopt;
}

namespace {

BOOL CALLBACK CountName(HMODULE, LPCWSTR, LPWSTR, LONG_PTR counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// Sequential reader over a template's little-endian fields.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Ok() const { return ok_; }
  template <typename T>
  T Get() {
    T value{};
    if (pos_ + sizeof(T) > bytes_.size()) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, bytes_.data() + pos_, sizeof(T));
    pos_ += sizeof(T);
    return value;
  }
  std::wstring Text() {
    std::wstring text;
    for (WORD ch = Get<WORD>(); ok_ && ch != 0; ch = Get<WORD>()) text.push_back(static_cast<wchar_t>(ch));
    return text;
  }
  // A name or an ordinal: 0xFFFF followed by a number, 0 for none, or text.
  std::wstring NameOrOrdinal(WORD* ordinal) {
    WORD first = Get<WORD>();
    if (first == 0xFFFF) {
      *ordinal = Get<WORD>();
      return {};
    }
    if (first == 0) return {};
    std::wstring text(1, static_cast<wchar_t>(first));
    return text + Text();
  }
  void AlignDword() { pos_ = (pos_ + 3) & ~size_t{3}; }
  void Skip(size_t count) { pos_ += count; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

DialogItem ParseItem(Reader& in) {
  in.AlignDword();
  DialogItem item;
  in.Get<DWORD>();  // help id
  item.exStyle = in.Get<DWORD>();
  item.style = in.Get<DWORD>();
  item.x = in.Get<short>();
  item.y = in.Get<short>();
  item.cx = in.Get<short>();
  item.cy = in.Get<short>();
  item.id = in.Get<DWORD>();
  item.className = in.NameOrOrdinal(&item.classAtom);
  WORD titleOrdinal = 0;
  item.title = in.NameOrOrdinal(&titleOrdinal);
  in.Skip(in.Get<WORD>());  // creation data
  return item;
}

}  // namespace

int ExeResources::Count(LPCWSTR type) const {
  int count = 0;
  EnumResourceNamesW(module_, type, CountName, reinterpret_cast<LONG_PTR>(&count));
  return count;
}

std::optional<DialogTemplate> ParseDialogEx(std::string_view bytes) {
  Reader in(bytes);
  if (in.Get<WORD>() != 1 || in.Get<WORD>() != 0xFFFF) return std::nullopt;
  DialogTemplate dialog;
  in.Get<DWORD>();  // help id
  in.Get<DWORD>();  // extended style
  dialog.style = in.Get<DWORD>();
  const WORD count = in.Get<WORD>();
  in.Get<short>();
  in.Get<short>();
  dialog.cx = in.Get<short>();
  dialog.cy = in.Get<short>();
  WORD ordinal = 0;
  in.NameOrOrdinal(&ordinal);  // menu
  in.NameOrOrdinal(&ordinal);  // class
  dialog.title = in.Text();
  if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog.pointSize = in.Get<WORD>();
    in.Get<WORD>();  // weight
    in.Get<BYTE>();  // italic
    in.Get<BYTE>();  // character set
    dialog.font = in.Text();
  }
  for (WORD i = 0; i < count && in.Ok(); ++i) dialog.items.push_back(ParseItem(in));
  if (!in.Ok()) return std::nullopt;
  return dialog;
}

}  // namespace pv::resources::test
