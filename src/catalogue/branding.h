// The branding profile: a box re-branded without rebuilding it. The optional file
// "qovra.rc" beside the program carries a brand word, a contact, a web domain, two
// addresses and two banner pictures, enciphered as one RC4 stream behind a 40-byte
// header that binds the file to the program it was written for.
#pragma once

#include <string>
#include <string_view>

namespace qovra {

inline constexpr const char* kBrandingFileName = "qovra.rc";
// The default brand that a brand word replaces in the title, entry names and file names.
inline constexpr const char* kDefaultBrand = "Qovra";
// Separates the seven fields of the payload (ASCII, so the same bytes in GBK).
inline constexpr std::string_view kBrandingMarker = "[#Qovra#]";
// The header before the payload: the binding digest as lower-case hexadecimal.
inline constexpr std::size_t kBrandingHeaderSize = 40;

// All fields empty until a usable file was read. Texts are UTF-8; the pictures are the
// picture files' own bytes.
struct BrandingProfile {
  std::string brandWord;        // replaces "Qovra"; empty: an unbranded box
  std::string contactNumber;    // the header's contact link and the help text
  std::string webDomain;        // a host name
  std::string homepageUrl;      // the "盒子主页" link; "http://" + webDomain when the file left it empty
  std::string helpPageUrl;      // the tutorial page of the help text; homepageUrl when left empty
  std::string bannerPicture;    // the header banner button, normal state
  std::string bannerHotPicture; // the header banner button, under the mouse

  bool branded() const { return !brandWord.empty(); }
  bool operator==(const BrandingProfile&) const = default;
};

// The profile of this process, read once at start-up.
BrandingProfile& brandingProfile();

// Start-up, after the title is set and before the program ini is bound: reads "qovra.rc"
// from the run directory into brandingProfile() and puts the brand word in place of every
// "Qovra" of the program title. A missing or short file leaves the profile empty and the
// title as it was.
void readBrandingFile();

// The profile a deciphered branding file holds (header included). Short plaintexts, and
// brand words that cannot be part of a file name, give an empty profile.
BrandingProfile parseBrandingPlaintext(std::string_view plaintext);

// The payload bytes of a profile: its seven fields joined by the marker, texts in GBK.
std::string brandingPayload(const BrandingProfile& profile);

// Writes the branding file of an installed program: the binding digest of the program
// file, then the payload, enciphered. False, writing nothing, when the program file is
// missing or its digest cannot be computed; otherwise whether the write succeeded.
bool writeBrandingFile(const std::string& programFile, const std::string& outputFile,
                       std::string_view payload);

// The header that binds a branding file to a program: sha1Hex of the md5Hex text of the
// program's bytes. Empty when a digest cannot be computed.
std::string bindingDigest(std::string_view programBytes);

// RC4: the same call enciphers and deciphers. An empty key leaves the state as the identity.
std::string brandingCipher(std::string_view data, std::string_view key);
// The one-byte key of branding files, for reading and writing alike.
std::string brandingKey();

enum class HashAlgorithm { Md5, Sha1 };
// The digest of the data as upper-case hexadecimal; empty when it cannot be computed or
// its length is not the expected one.
std::string hashHex(std::string_view data, HashAlgorithm algorithm, std::size_t digestLength);
// Lower-case unless `upperCase`; with `middle`, the 16 characters from the 9th on.
std::string md5Hex(std::string_view data, bool upperCase = false, bool middle = false);
// Lower-case, 40 characters.
std::string sha1Hex(std::string_view data);

}  // namespace qovra
