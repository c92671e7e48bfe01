// A branding file's plaintext from arbitrary bytes: reading it must never fail, a brand
// word it accepts must be a safe part of a file name, and the payload of what it read must
// read back as the same profile.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/branding.h"
#include "catalogue/entry_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qovra;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  static const std::string kHeader = "0123456789abcdef0123456789abcdef01234567";

  const BrandingProfile profile = parseBrandingPlaintext(kHeader + std::string(bytes));
  if (profile.branded() && !isSafeEntryName(profile.brandWord + "·软件盒子")) __builtin_trap();
  if (profile != BrandingProfile{} && parseBrandingPlaintext(kHeader + brandingPayload(profile)) != profile)
    __builtin_trap();
  // Any bytes as a whole file: deciphered with the box's key, then read.
  parseBrandingPlaintext(brandingCipher(bytes, brandingKey()));

  const std::string key(bytes.substr(0, size % 7));
  if (brandingCipher(brandingCipher(bytes, key), key) != bytes) __builtin_trap();
  return 0;
}
