#include <openssl/evp.h>

#include "platform/digest.h"

namespace qovra::platform {
namespace {

std::string digestOf(const EVP_MD* kind, std::string_view bytes) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (!EVP_Digest(bytes.data(), bytes.size(), out, &size, kind, nullptr)) return {};
  return std::string(reinterpret_cast<char*>(out), size);
}

}  // namespace

std::string md5(std::string_view bytes) { return digestOf(EVP_md5(), bytes); }
std::string sha1(std::string_view bytes) { return digestOf(EVP_sha1(), bytes); }

}  // namespace qovra::platform
