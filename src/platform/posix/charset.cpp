// Legacy charsets through iconv. GB18030 stands in for GBK: it is a superset of code
// page 936, so every GBK file decodes the same and every character can be written.
#include <errno.h>
#include <iconv.h>

#include <algorithm>

#include "platform/charset_backend.h"

namespace qovra::platform::detail {
namespace {

const char* iconvName(Charset charset) {
  switch (charset) {
    case Charset::Gbk: return "GB18030";
    case Charset::Big5: return "BIG5";
    case Charset::Big5Hkscs: return "BIG5-HKSCS";
    default: return "UTF-8";
  }
}

std::size_t utf8SequenceLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Runs iconv over the whole input. At a byte sequence the converter rejects, `onBad`
// appends its stand-in and says how many input bytes to skip.
template <typename OnBad>
std::string convert(std::string_view input, const char* to, const char* from, OnBad onBad) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  for (;;) {
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    std::size_t rc = inLeft ? iconv(cd, &in, &inLeft, &dst, &dstLeft)
                            : iconv(cd, nullptr, nullptr, &dst, &dstLeft);  // flush state
    int error = errno;
    out.append(buffer, dst - buffer);
    if (rc != static_cast<std::size_t>(-1)) {
      if (inLeft == 0 && dst == buffer) break;
      continue;
    }
    if (error == E2BIG) continue;
    std::size_t skip = std::min(inLeft, onBad(out, static_cast<unsigned char>(*in)));
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string decodeLegacy(std::string_view bytes, Charset from) {
  return convert(bytes, "UTF-8", iconvName(from), [](std::string& out, unsigned char) {
    out += "\xEF\xBF\xBD";
    return std::size_t{1};
  });
}

std::string encodeLegacy(std::string_view utf8, Charset to) {
  return convert(utf8, iconvName(to), "UTF-8", [](std::string& out, unsigned char lead) {
    out += '?';
    return utf8SequenceLength(lead);
  });
}

}  // namespace qovra::platform::detail
