#include "catalogue/branding.h"

#include <array>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

#include "catalogue/entry_name.h"
#include "platform/charset.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "support/conventions.h"
#include "support/process_state.h"
#include "web/text_operations.h"

namespace qovra {
namespace {

// The key is built from its character code at run time rather than kept as a literal.
constexpr unsigned char kBrandingKeyCode = 0x51;
constexpr std::size_t kFieldCount = 7;
constexpr std::string_view kProgramSuffix = "·软件盒子";

std::vector<std::string_view> splitAtMarker(std::string_view payload) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (pieces.size() < kFieldCount) {
    const std::size_t at = payload.find(kBrandingMarker, start);
    if (at == std::string_view::npos) {
      pieces.push_back(payload.substr(start));
      break;
    }
    pieces.push_back(payload.substr(start, at - start));
    start = at + kBrandingMarker.size();
  }
  pieces.resize(kFieldCount);
  return pieces;
}

// A text field ends at its first zero byte, as a text made from bytes does.
std::string textField(std::string_view piece) {
  return platform::toUtf8(piece.substr(0, piece.find('\0')), platform::Charset::Gbk);
}

// A header written by this box is a digest in lower-case hexadecimal. Its value binds the
// file to a program and is not checked, but a header of another form means the file did
// not decipher (damaged, or written with another key): its fields would be noise.
bool looksLikeBindingDigest(std::string_view header) {
  for (char c : header)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

}  // namespace

BrandingProfile& brandingProfile() {
  static BrandingProfile profile;
  return profile;
}

BrandingProfile parseBrandingPlaintext(std::string_view plaintext) {
  if (plaintext.size() <= kBrandingHeaderSize) return {};
  if (!looksLikeBindingDigest(plaintext.substr(0, kBrandingHeaderSize))) return {};
  const auto pieces = splitAtMarker(plaintext.substr(kBrandingHeaderSize));
  BrandingProfile profile;
  profile.brandWord = textField(pieces[0]);
  profile.contactNumber = textField(pieces[1]);
  profile.webDomain = textField(pieces[2]);
  profile.homepageUrl = textField(pieces[3]);
  profile.helpPageUrl = textField(pieces[4]);
  profile.bannerPicture = std::string(pieces[5]);
  profile.bannerHotPicture = std::string(pieces[6]);
  if (profile.homepageUrl.empty()) profile.homepageUrl = "http://" + profile.webDomain;
  if (profile.helpPageUrl.empty()) profile.helpPageUrl = profile.homepageUrl;
  // The brand word names the program ini, the offline copy and every entry's folder; one
  // that cannot be part of a plain file name (a damaged file, a path in disguise) would
  // send those files elsewhere, so such a file counts as unusable.
  if (profile.branded() && !isSafeEntryName(profile.brandWord + std::string(kProgramSuffix))) return {};
  return profile;
}

void readBrandingFile() {
  auto& state = processState();
  const auto bytes = platform::readFile(state.runDirectory + "\\" + kBrandingFileName);
  BrandingProfile& profile = brandingProfile();
  profile = parseBrandingPlaintext(brandingCipher(bytes.value_or(std::string()), brandingKey()));
  if (profile.branded()) state.programTitle = replaceAll(state.programTitle, kDefaultBrand, profile.brandWord);
}

std::string brandingPayload(const BrandingProfile& profile) {
  const auto gbk = [](const std::string& text) { return platform::fromUtf8(text, platform::Charset::Gbk); };
  const std::array<std::string, kFieldCount> fields = {
      gbk(profile.brandWord),   gbk(profile.contactNumber), gbk(profile.webDomain),
      gbk(profile.homepageUrl), gbk(profile.helpPageUrl),   profile.bannerPicture,
      profile.bannerHotPicture};
  std::string payload = fields[0];
  for (std::size_t i = 1; i < fields.size(); ++i) payload.append(kBrandingMarker).append(fields[i]);
  return payload;
}

std::string bindingDigest(std::string_view programBytes) {
  const std::string md5Text = md5Hex(programBytes);
  if (md5Text.empty()) return {};
  return sha1Hex(md5Text);
}

bool writeBrandingFile(const std::string& programFile, const std::string& outputFile,
                       std::string_view payload) {
  const auto program = platform::readFile(programFile);
  if (!program) return false;
  // Without its header the file would be read with the payload's first 40 bytes cut off.
  const std::string header = bindingDigest(*program);
  if (header.size() != kBrandingHeaderSize) return false;
  return platform::writeFile(outputFile, brandingCipher(header + std::string(payload), brandingKey()));
}

std::string brandingCipher(std::string_view data, std::string_view key) {
  std::array<std::uint8_t, 256> s{};
  std::iota(s.begin(), s.end(), std::uint8_t{0});
  if (!key.empty()) {
    unsigned j = 0;
    for (unsigned i = 0; i < 256; ++i) {
      j = (j + s[i] + static_cast<std::uint8_t>(key[i % key.size()])) & 0xFF;
      std::swap(s[i], s[j]);
    }
  }
  std::string out(data.size(), '\0');
  unsigned i = 0, j = 0;
  for (std::size_t n = 0; n < data.size(); ++n) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    out[n] = static_cast<char>(static_cast<std::uint8_t>(data[n]) ^ s[(s[i] + s[j]) & 0xFF]);
  }
  return out;
}

std::string brandingKey() { return std::string(1, static_cast<char>(kBrandingKeyCode)); }

std::string hashHex(std::string_view data, HashAlgorithm algorithm, std::size_t digestLength) {
  const std::string digest = algorithm == HashAlgorithm::Md5 ? platform::md5(data) : platform::sha1(data);
  if (digest.size() != digestLength) return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(digest.size() * 2);
  for (unsigned char byte : digest) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0xF]);
  }
  return text;
}

std::string md5Hex(std::string_view data, bool upperCase, bool middle) {
  std::string text = hashHex(data, HashAlgorithm::Md5, 16);
  if (!upperCase) text = web::toLowerAscii(text);
  if (middle && !text.empty()) text = text.substr(8, 16);
  return text;
}

std::string sha1Hex(std::string_view data) { return web::toLowerAscii(hashHex(data, HashAlgorithm::Sha1, 20)); }

}  // namespace qovra
