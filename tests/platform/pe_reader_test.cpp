// The portable reader of program files, on the project's fixture programs and on
// damaged copies of them.
#include "platform/pe_version_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace qovra::platform::pe {
namespace {

std::string fixtureBytes(const std::string& name) {
  std::ifstream in(std::string(QOVRA_BINARY_DIR) + "/fixtures/" + name, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(bytes.empty()) << name;
  return bytes;
}

std::string utf16(std::string_view ascii) {
  std::string out;
  for (char c : ascii) out += {c, '\0'};
  return out;
}

std::uint32_t read32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

void write32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// Where the version resource's directory entries sit in a fixture (file offsets),
// found independently of the reader: the section named ".rsrc" holds the tree, and
// windres writes the entries in order.
struct ResourceLayout {
  std::size_t root = 0;           // file offset of the resource root
  std::size_t versionTypeEntry;   // the type-level entry for 16
  std::size_t nameDirectory;      // file offset of the name level of type 16
  std::size_t dataEntry;          // IMAGE_RESOURCE_DATA_ENTRY of the version block
};

ResourceLayout layoutOf(const std::string& file) {
  std::size_t pe = read32(file, 0x3C);
  std::size_t sections = static_cast<unsigned char>(file[pe + 6]);
  std::size_t table = pe + 24 + (static_cast<unsigned char>(file[pe + 20]) | static_cast<unsigned char>(file[pe + 21]) << 8);
  ResourceLayout layout{};
  for (std::size_t i = 0; i < sections; ++i)
    if (file.compare(table + i * 40, 5, ".rsrc") == 0) layout.root = read32(file, table + i * 40 + 20);
  auto entries = [&](std::size_t dir) { return dir + 16; };
  auto count = [&](std::size_t dir) {
    return (read32(file, dir + 12) & 0xFFFF) + (read32(file, dir + 12) >> 16);
  };
  for (std::size_t i = 0; i < count(layout.root); ++i) {
    std::size_t e = entries(layout.root) + i * 8;
    if (read32(file, e) == kResourceVersion) layout.versionTypeEntry = e;
  }
  layout.nameDirectory = layout.root + (read32(file, layout.versionTypeEntry + 4) & 0x7FFFFFFF);
  std::size_t languageDirectory = layout.root + (read32(file, entries(layout.nameDirectory) + 4) & 0x7FFFFFFF);
  layout.dataEntry = layout.root + read32(file, entries(languageDirectory) + 4);
  return layout;
}

TEST(PeReader, ReadsTheVersionTreeOfA64BitProgram) {
  std::string file = fixtureBytes("ver_cn.exe");
  auto block = versionResource(file);
  ASSERT_TRUE(block);
  EXPECT_EQ(queryValue(*block, "\\VarFileInfo\\Translation"), std::string("\x04\x08\xB0\x04", 4));
  // Keys match without regard to case, and empty components are skipped.
  EXPECT_EQ(queryValue(*block, "\\stringfileinfo\\\\080404b0\\FILEVERSION"), utf16("2.3.4.5") + std::string(2, '\0'));
  auto fixed = queryValue(*block, "\\");
  ASSERT_TRUE(fixed);
  ASSERT_EQ(fixed->size(), 52u);  // VS_FIXEDFILEINFO
  EXPECT_EQ(read32(*fixed, 0), 0xFEEF04BDu);
  EXPECT_EQ(read32(*fixed, 8), 0x00020003u);  // FILEVERSION 2,3,...
  EXPECT_FALSE(queryValue(*block, "\\StringFileInfo\\040904B0\\FileVersion"));
  EXPECT_FALSE(queryValue(*block, "\\StringFileInfo\\080404B0\\FileVersio"));
}

TEST(PeReader, ReadsA32BitProgram) {
  auto block = versionResource(fixtureBytes("ver_x86.exe"));
  ASSERT_TRUE(block);
  EXPECT_EQ(queryValue(*block, "\\VarFileInfo\\Translation"), std::string("\x09\x04\xE4\x04", 4));
  EXPECT_EQ(queryValue(*block, "\\StringFileInfo\\040904E4\\FileVersion"), utf16("5.6.7.8") + std::string(2, '\0'));
}

TEST(PeReader, ProgramWithoutVersionResourceGivesNothing) {
  EXPECT_FALSE(versionResource(fixtureBytes("no_version.exe")));
  EXPECT_TRUE(iconImage(fixtureBytes("no_version.exe"), 32, 32));
}

TEST(PeReader, IconsComeInTheirOwnFormats) {
  struct Case {
    const char* file;
    int side;
    std::uint32_t centre;  // ARGB
  } cases[] = {
      {"ver_cn.exe", 32, 0xFFDC1414},   // 32 bits with alpha
      {"ver_en.exe", 32, 0xFF1428C8},   // 24 bits with a mask
      {"ver_x86.exe", 48, 0xFF14A028},  // 8 bits; 48 is as close to 32 as 16 and larger
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto icon = iconImage(fixtureBytes(c.file), 32, 32);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, c.side);
    EXPECT_EQ(icon->height, c.side);
    EXPECT_EQ(icon->argb[std::size_t(c.side / 2) * c.side + c.side / 2], c.centre);
    EXPECT_EQ(icon->argb[0] >> 24, 0u) << "the border is transparent";
  }
  // Asked for 16x16, the green program gives its 16x16 image.
  auto small = iconImage(fixtureBytes("ver_x86.exe"), 16, 16);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->width, 16);
}

// Every read is bounded: a cut file gives either nothing or exactly what the whole
// file gives, at every length.
TEST(PeReader, TruncatedFilesGiveNothingOrTheSameBytes) {
  for (const char* name : {"ver_cn.exe", "ver_x86.exe"}) {
    std::string file = fixtureBytes(name);
    auto whole = versionResource(file);
    auto wholeIcon = iconImage(file, 32, 32);
    ASSERT_TRUE(whole && wholeIcon);
    std::size_t kept = 0;
    for (std::size_t length = 0; length < file.size(); length += 13) {
      std::string_view cut(file.data(), length);
      if (auto part = versionResource(cut)) {
        EXPECT_EQ(*part, *whole) << name << " cut at " << length;
        ++kept;
      }
      if (auto icon = iconImage(cut, 32, 32)) {
        EXPECT_EQ(icon->argb, wholeIcon->argb) << name << " cut at " << length;
      }
    }
    // Cuts in the padding after the last resource still hold the whole block.
    EXPECT_GT(kept, 0u) << name;
  }
}

TEST(PeReader, HostileResourceDirectoriesGiveNothing) {
  const std::string original = fixtureBytes("ver_cn.exe");
  ResourceLayout at = layoutOf(original);
  ASSERT_NE(at.root, 0u);
  ASSERT_TRUE(versionResource(original));
  std::size_t nameEntry = at.nameDirectory + 16;
  struct Damage {
    const char* what;
    std::size_t offset;
    std::uint32_t value;
  } damages[] = {
      {"name level points at itself", nameEntry + 4,
       0x80000000u | static_cast<std::uint32_t>(at.nameDirectory - at.root)},
      {"type level points at the root", at.versionTypeEntry + 4, 0x80000000u},
      {"subdirectory far outside", at.versionTypeEntry + 4, 0xFFFFFFF0u},
      {"type entry names a leaf", at.versionTypeEntry + 4, 0x00000000u},
      {"huge data size", at.dataEntry + 4, 0xFFFFFFF0u},
      {"data address outside every section", at.dataEntry, 0xFFFFFFFCu},
      {"huge entry count", at.nameDirectory + 12, 0xFFFFFFFFu},
      {"PE header offset outside", 0x3C, 0x7FFFFFF0u},
  };
  for (const Damage& d : damages) {
    std::string file = original;
    write32(file, d.offset, d.value);
    EXPECT_FALSE(versionResource(file)) << d.what;
  }
}

TEST(PeReader, NonProgramsGiveNothing) {
  for (std::string bytes : {std::string(), std::string("MZ"), std::string(4096, '\0'), std::string(4096, '\xFF'),
                            "MZ" + std::string(0x3A, '\0') + std::string("\x40\0\0\0PE\0\0", 8) + std::string(64, '\xFF')}) {
    EXPECT_FALSE(versionResource(bytes));
    EXPECT_FALSE(iconImage(bytes, 32, 32));
  }
}

// Blocks as a hostile file might carry them: the walk stays inside the block.
TEST(PeReader, HostileVersionBlocksAreClipped) {
  auto node = [](std::uint16_t length, std::uint16_t valueLength, std::uint16_t type, std::string_view key) {
    std::string n;
    n += {static_cast<char>(length), static_cast<char>(length >> 8), static_cast<char>(valueLength),
          static_cast<char>(valueLength >> 8), static_cast<char>(type), '\0'};
    n += utf16(key) + std::string(2, '\0');
    while (n.size() % 4) n += '\0';
    return n;
  };
  // A child claiming to be longer than its parent, with a text value running past both.
  std::string child = node(0xFFFF, 0x7FFF, 1, "A") + utf16("xy");
  std::string block = node(static_cast<std::uint16_t>(40 + child.size()), 0, 0, "VS_VERSION_INFO");
  block += child;
  auto value = queryValue(block, "\\A");
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, utf16("xy"));

  // A zero-length child stops the search instead of looping.
  std::string looping = node(64, 0, 0, "VS_VERSION_INFO");
  looping += std::string(40, '\0');
  EXPECT_FALSE(queryValue(looping, "\\A"));
  // A key without its terminating zero.
  EXPECT_FALSE(queryValue(std::string("\x10\0\0\0\0\0A\0B\0C\0D\0E\0", 16), "\\A"));
  EXPECT_FALSE(queryValue(std::string("\x04\0", 2), "\\"));
}

}  // namespace
}  // namespace qovra::platform::pe
