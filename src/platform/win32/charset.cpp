// Legacy charsets through the system's code pages. 54936 (GB18030) stands in for GBK
// since it is a superset of 936 (Wine lacks 54936, so 936 is the fallback there);
// Big5-HKSCS uses 951 where a system has that table
// installed and falls back to plain Big5 (950) elsewhere.
#include <windows.h>

#include "platform/charset_backend.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform::detail {
namespace {

UINT codePage(Charset charset) {
  switch (charset) {
    case Charset::Gbk: return IsValidCodePage(54936) ? 54936 : 936;
    case Charset::Big5: return 950;
    case Charset::Big5Hkscs: return IsValidCodePage(951) ? 951 : 950;
    default: return CP_UTF8;
  }
}

}  // namespace

std::string decodeLegacy(std::string_view bytes, Charset from) {
  if (bytes.empty()) return {};
  UINT cp = codePage(from);
  int size = static_cast<int>(bytes.size());
  int n = MultiByteToWideChar(cp, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(cp, 0, bytes.data(), size, wide.data(), n);
  return win32::narrowText(wide);
}

std::string encodeLegacy(std::string_view utf8, Charset to) {
  if (utf8.empty()) return {};
  UINT cp = codePage(to);
  std::wstring wide = win32::wideText(utf8);
  int size = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(cp, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(cp, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace qovra::platform::detail
