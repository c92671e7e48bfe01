#include "platform/inflater.h"

#include <zlib.h>

#include <algorithm>

namespace qovra::platform {

namespace {
constexpr std::size_t kChunk = 8192;
}

std::string inflateDeflateStream(std::string_view data, std::size_t maxSize) {
  z_stream stream{};
  if (inflateInit2(&stream, 15 + 32) != Z_OK) return {};  // gzip or zlib header
  std::string out;
  unsigned char chunk[kChunk];
  std::size_t position = 0;
  for (;;) {
    std::size_t take = std::min(kChunk, data.size() - position);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + position));
    stream.avail_in = static_cast<uInt>(take);
    stream.next_out = chunk;
    stream.avail_out = kChunk;
    int status = inflate(&stream, Z_NO_FLUSH);
    std::size_t consumed = take - stream.avail_in;
    std::size_t produced = kChunk - stream.avail_out;
    if (produced > maxSize - out.size()) {
      out.clear();
      break;
    }
    out.append(reinterpret_cast<const char*>(chunk), produced);
    position += consumed;
    // Stop at the end of the stream, on damage, and when nothing moves any more (a
    // truncated body), which would otherwise go round for ever.
    if (status != Z_OK || (consumed == 0 && produced == 0)) break;
  }
  inflateEnd(&stream);
  return out;
}

}  // namespace qovra::platform
