// Reply decoding, the JSON reader and the text operations on arbitrary bytes.
// Input: one byte choosing the encoding code (-2 to 6), the JSON path up to the first
// line break, then the body. The program's folder holds a "gzip.dll", so gzip bodies are
// inflated too.
// Checked:
//  - the decoded text is well-formed UTF-8 without a zero character, and the encoding
//    used is one of 1 to 6;
//  - the JSON reader gives the same value at the path from the body and from the body's
//    compacted text (the empty path), and nothing for any path when the body is not JSON;
//  - an address gives a path starting with "/" and a port from 1 to 65535.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/unicode.h"
#include "support/process_state.h"
#include "web/json_reader.h"
#include "web/reply_decoding.h"
#include "web/text_operations.h"

namespace {

using namespace qovra::web;

void check(bool condition) {
  if (!condition) __builtin_trap();
}

void checkDecoding(std::string_view body, ReplyEncoding encoding) {
  DecodedReply reply = decodeReplyText(body, encoding);
  check(reply.encoding >= kEncodingAnsi && reply.encoding <= kEncodingBig5Hkscs);
  check(reply.text.find('\0') == std::string::npos);
  check(qovra::platform::sanitizeUtf8(reply.text) == reply.text);
}

void checkJson(std::string_view body, std::string_view path) {
  JsonReader reader;
  std::string whole = reader.get(body, "");
  std::string value = reader.get(body, path);
  if (whole.empty()) {
    check(value.empty());
    return;
  }
  check(reader.get(whole, path) == value);
  check(reader.get(whole, "") == whole);
}

void checkTextOperations(std::string_view body) {
  check(pathOf(body).front() == '/');
  int port = portOf(body);
  check(port >= 1 && port <= 65535);
  hostOf(body, true);
  hostPart(body);
  jsonUnescape(body);
  urlEncode(body);
  int position = 0;
  int leftFound = 0;
  for (int i = 0; i < 4; ++i) textBetween(body, "''a'':", ",", position, i % 2 == 1, leftFound);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string folder = "/tmp/qovra-reply-decoding-fuzz";
  qovra::platform::createFolder(folder);
  qovra::platform::writeFile(folder + "\\gzip.dll", "MZ");
  qovra::processState().runDirectory = folder;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  ReplyEncoding encoding = static_cast<unsigned char>(input[0]) % 9 - 2;
  input.remove_prefix(1);
  std::size_t lineBreak = input.find('\n');
  std::string_view path = input.substr(0, lineBreak);
  std::string_view body = lineBreak == std::string_view::npos ? input : input.substr(lineBreak + 1);

  checkDecoding(body, encoding);
  checkJson(body, path);
  checkTextOperations(body);
  return 0;
}
