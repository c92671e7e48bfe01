#include "platform/digest.h"

#include <gtest/gtest.h>

#include <string>

namespace qovra::platform {
namespace {

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

struct Vector {
  std::string input;
  const char* md5;
  const char* sha1;
};

// RFC 1321 and FIPS 180 test vectors, and a text with Chinese and a NUL byte.
const Vector kVectors[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0", "c12252ceda8be8994d5fa0290a47231c1d16aae3"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "8215ef0796a20bcaaae116d3876c664a",
     "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21",
     "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
};

TEST(Digest, MatchesKnownVectors) {
  for (const Vector& v : kVectors) {
    EXPECT_EQ(hex(md5(v.input)), v.md5) << v.input.size();
    EXPECT_EQ(hex(sha1(v.input)), v.sha1) << v.input.size();
  }
}

TEST(Digest, CountsEveryByteIncludingNul) {
  std::string withNul("a\0b", 3);
  EXPECT_NE(md5(withNul), md5("a"));
  EXPECT_NE(sha1(withNul), sha1("ab"));
  EXPECT_EQ(md5(withNul).size(), 16u);
  EXPECT_EQ(sha1(withNul).size(), 20u);
}

}  // namespace
}  // namespace qovra::platform
