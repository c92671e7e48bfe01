// Digests through CryptoAPI's base provider (no keys are kept, so a verify context).
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>

#include "platform/digest.h"

namespace qovra::platform {
namespace {

std::string digestOf(ALG_ID algorithm, std::string_view bytes) {
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
    return {};
  std::string out;
  HCRYPTHASH hash = 0;
  if (CryptCreateHash(provider, algorithm, 0, 0, &hash)) {
    bool ok = true;
    while (ok && !bytes.empty()) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      ok = CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), chunk, 0);
      bytes.remove_prefix(chunk);
    }
    BYTE value[64];
    DWORD size = sizeof value;
    if (ok && CryptGetHashParam(hash, HP_HASHVAL, value, &size, 0))
      out.assign(reinterpret_cast<char*>(value), size);
    CryptDestroyHash(hash);
  }
  CryptReleaseContext(provider, 0);
  return out;
}

}  // namespace

std::string md5(std::string_view bytes) { return digestOf(CALG_MD5, bytes); }
std::string sha1(std::string_view bytes) { return digestOf(CALG_SHA1, bytes); }

}  // namespace qovra::platform
