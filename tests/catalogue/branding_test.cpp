#include "catalogue/branding.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "catalogue/scratch_run_directory.h"
#include "platform/files.h"
#include "support/process_state.h"

namespace qovra {
namespace {

using namespace std::string_literals;

std::string hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0xF]);
  }
  return text;
}

const std::string kHeader = "0123456789abcdef0123456789abcdef01234567";
const std::string kMarker(kBrandingMarker);

TEST(BrandingCipher, MatchesTheKnownRc4Streams) {
  struct Case {
    std::string key, plaintext, cipherHex;
  } cases[] = {
      {"Key", "Plaintext", "bbf316e8d940af0ad3"},
      {"Wiki", "pedia", "1021bf0420"},
      {"Secret", "Attack at dawn", "45a01f645fc35b383552544b9bf5"},
      // No key: the state stays the identity, so zeros come out as 2, 5, 7.
      {"", "\0\0\0"s, "020507"},
      {"Key", "", ""},
  };
  for (const auto& c : cases) {
    const std::string enciphered = brandingCipher(c.plaintext, c.key);
    EXPECT_EQ(hex(enciphered), c.cipherHex) << c.key;
    EXPECT_EQ(brandingCipher(enciphered, c.key), c.plaintext) << c.key;
  }
}

TEST(BrandingDigests, GiveTheirTextForms) {
  struct Case {
    std::string text;
    bool upper, middle;
    std::string expected;
  } cases[] = {
      {"", false, false, "d41d8cd98f00b204e9800998ecf8427e"},
      {"", true, false, "D41D8CD98F00B204E9800998ECF8427E"},
      {"", false, true, "8f00b204e9800998"},
      {"", true, true, "8F00B204E9800998"},
      {"abc", false, false, "900150983cd24fb0d6963f7d28e17f72"},
      {"abc", false, true, "3cd24fb0d6963f7d"},
  };
  for (const auto& c : cases) EXPECT_EQ(md5Hex(c.text, c.upper, c.middle), c.expected) << c.text;
  EXPECT_EQ(sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(hashHex("abc", HashAlgorithm::Sha1, 20), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  // A digest of another length than asked for is no digest.
  EXPECT_EQ(hashHex("abc", HashAlgorithm::Md5, 20), "");
}

TEST(BrandingDigests, TheBindingDigestIsTheSha1OfTheLowerCaseMd5Text) {
  EXPECT_EQ(bindingDigest(""), "67a74306b06d0c01624fe0d0249a570f4d093747");
  EXPECT_EQ(bindingDigest("MZ\x90\0program bytes\0\xff"s), "8d52d5ffd2b8afdb0545ef8e6bea50fa8c8a365d");
}

// "星火" and "星火盒" as the GBK bytes a branding file holds.
const std::string kBrandGbk = "\xd0\xc7\xbb\xf0";
const std::string kLongBrandGbk = "\xd0\xc7\xbb\xf0\xba\xd0";

TEST(BrandingPlaintext, SplitsIntoTheSevenFields) {
  struct Case {
    const char* what;
    std::string payload;
    BrandingProfile expected;
  } cases[] = {
      {"all seven",
       kBrandGbk + kMarker + "400-1" + kMarker + "xh.example" + kMarker + "http://a/" + kMarker + "http://b/" +
           kMarker + "P\0NG"s + kMarker + "\x89hot",
       {"星火", "400-1", "xh.example", "http://a/", "http://b/", "P\0NG"s, "\x89hot"}},
      {"no marker: all of it is the brand word", kLongBrandGbk, {"星火盒", "", "", "http://", "http://", "", ""}},
      {"addresses from the domain",
       kBrandGbk + kMarker + kMarker + "xh.example",
       {"星火", "", "xh.example", "http://xh.example", "http://xh.example", "", ""}},
      {"the help page follows the homepage",
       kBrandGbk + kMarker + kMarker + kMarker + "http://home/",
       {"星火", "", "", "http://home/", "http://home/", "", ""}},
      {"an eighth piece is dropped",
       "a" + kMarker + "b" + kMarker + "c" + kMarker + "d" + kMarker + "e" + kMarker + "f" + kMarker + "g" + kMarker +
           "h",
       {"a", "b", "c", "d", "e", "f", "g"}},
      {"a text ends at its zero byte",
       kBrandGbk + "\0tail"s + kMarker + "12\0"s,
       {"星火", "12", "", "http://", "http://", "", ""}},
      {"no brand word, a contact", kMarker + "400-1", {"", "400-1", "", "http://", "http://", "", ""}},
      {"one byte of payload", "Q", {"Q", "", "", "http://", "http://", "", ""}},
      {"a brand word that is a path", "..\\evil", {}},
      {"a brand word with a control character", "a\x01b" + kMarker + "400", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseBrandingPlaintext(kHeader + c.payload), c.expected) << c.what;
}

TEST(BrandingPlaintext, AHeaderThatIsNoDigestTextMakesTheFileUnusable) {
  struct Case {
    std::string header;
    bool usable;
  } cases[] = {
      {kHeader, true},
      {"8d52d5ffd2b8afdb0545ef8e6bea50fa8c8a365d", true},
      {"8D52D5FFD2B8AFDB0545EF8E6BEA50FA8C8A365D", false},
      {std::string(40, 'h'), false},
      {std::string(39, 'a') + '\0', false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(parseBrandingPlaintext(c.header + "Q").brandWord, c.usable ? "Q" : "") << c.header;
}

TEST(BrandingPlaintext, NothingBeyondTheHeaderGivesAnEmptyProfile) {
  for (std::size_t size : {0, 1, 39, 40})
    EXPECT_EQ(parseBrandingPlaintext(std::string(size, 'x')), BrandingProfile{}) << size;
}

TEST(BrandingPlaintext, ThePayloadOfAProfileReadsBackAsThatProfile) {
  const BrandingProfile profile{"星火", "400-800", "www.xh.example", "http://www.xh.example/",
                                "http://www.xh.example/help", "\x89PNG\r\n\0\xff"s, "GIF89a\0\x01"s};
  const std::string payload = brandingPayload(profile);
  EXPECT_EQ(payload.substr(0, 4), kBrandGbk);
  EXPECT_EQ(parseBrandingPlaintext(kHeader + payload), profile);
}

class BrandingFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratchRunDirectory();
    auto& state = processState();
    state = ProcessState{};
    state.runDirectory = folder_;
    state.programTitle = "Qovra·软件盒子";
    brandingProfile() = {};
  }
  void TearDown() override {
    processState() = ProcessState{};
    brandingProfile() = {};
  }
  std::string brandingFile() const { return folder_ + "\\qovra.rc"; }
  void writeEnciphered(const std::string& plaintext) {
    ASSERT_TRUE(platform::writeFile(brandingFile(), brandingCipher(plaintext, brandingKey())));
  }

  std::string folder_;
};

TEST_F(BrandingFileTest, AWrittenFileReadsBackWithAllSevenFieldsAndRenamesTheTitle) {
  const std::string program = folder_ + "\\Qovra·记事本.exe";
  const std::string programBytes = "MZ\x90\0program bytes\0\xff"s;
  ASSERT_TRUE(platform::writeFile(program, programBytes));
  const BrandingProfile profile{"星火", "400-800", "www.xh.example", "http://www.xh.example/",
                                "http://www.xh.example/help", "\x89PNG\r\n\0\xff"s, "GIF89a\0\x01"s};
  ASSERT_TRUE(writeBrandingFile(program, brandingFile(), brandingPayload(profile)));

  const std::string onDisk = platform::readFile(brandingFile()).value_or("");
  EXPECT_EQ(onDisk.find("www.xh.example"), std::string::npos) << "the file is enciphered";
  const std::string plaintext = brandingCipher(onDisk, brandingKey());
  EXPECT_EQ(plaintext.substr(0, kBrandingHeaderSize), "8d52d5ffd2b8afdb0545ef8e6bea50fa8c8a365d");

  readBrandingFile();
  EXPECT_EQ(brandingProfile(), profile);
  EXPECT_EQ(processState().programTitle, "星火·软件盒子");
}

TEST_F(BrandingFileTest, TheBrandWordReplacesEveryQovraOnceWithoutRescanning) {
  processState().programTitle = "Qovra·Qovra";
  writeEnciphered(kHeader + "QovraQovra");
  readBrandingFile();
  EXPECT_EQ(processState().programTitle, "QovraQovra·QovraQovra");
}

TEST_F(BrandingFileTest, DamagedOrShortFilesLeaveTheBoxUnbranded) {
  const std::string whole = brandingCipher(kHeader + kBrandGbk + kMarker + "400", brandingKey());
  struct Case {
    const char* what;
    std::optional<std::string> fileBytes;  // none: no file
    std::string brandWord, contact;
  } cases[] = {
      {"no file", std::nullopt, "", ""},
      {"empty file", "", "", ""},
      {"header only", whole.substr(0, kBrandingHeaderSize), "", ""},
      {"cut inside the header", whole.substr(0, 17), "", ""},
      {"cut after the brand word", whole.substr(0, kBrandingHeaderSize + 4), "星火", ""},
      {"not enciphered", kHeader + kBrandGbk, "", ""},
      {"enciphered with another key", brandingCipher(kHeader + kBrandGbk, "K"), "", ""},
      {"a brand word that leaves the folder", brandingCipher(kHeader + "a\\..\\b", brandingKey()), "", ""},
  };
  for (const auto& c : cases) {
    platform::deleteFile(brandingFile());
    if (c.fileBytes) { ASSERT_TRUE(platform::writeFile(brandingFile(), *c.fileBytes)) << c.what; }
    processState().programTitle = "Qovra·软件盒子";
    readBrandingFile();
    EXPECT_EQ(brandingProfile().brandWord, c.brandWord) << c.what;
    EXPECT_EQ(brandingProfile().contactNumber, c.contact) << c.what;
    EXPECT_EQ(processState().programTitle, c.brandWord.empty() ? "Qovra·软件盒子" : c.brandWord + "·软件盒子")
        << c.what;
  }
}

TEST_F(BrandingFileTest, NoProgramFileNoBrandingFile) {
  EXPECT_FALSE(writeBrandingFile(folder_ + "\\missing.exe", brandingFile(), "星火"));
  EXPECT_FALSE(platform::pathExists(brandingFile()));
}

}  // namespace
}  // namespace qovra
