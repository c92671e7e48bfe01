#include "platform/win32/wide_text.h"

#include "platform/unicode.h"

namespace qovra::platform::win32 {

// wchar_t is 16 bits on Windows, so the portable UTF-16 converts unit for unit.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring wideText(std::string_view utf8) {
  std::u16string units = utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::wstring widePath(std::string_view utf8) {
  std::wstring path = wideText(utf8);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::string narrowText(std::wstring_view wide) {
  return utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace qovra::platform::win32
