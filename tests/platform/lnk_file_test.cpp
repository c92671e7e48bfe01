#include "platform/lnk_file.h"

#include <gtest/gtest.h>

namespace qovra::platform {
namespace {

ShellLink fullLink() {
  ShellLink link;
  link.target = "C:\\软件盒子\\离线\\box.exe";
  link.description = "离线模式启动盒子";
  link.relativePath = ".\\box.exe";
  link.workingDirectory = "C:\\软件盒子";
  link.arguments = "lxms";
  link.iconPath = "C:\\软件盒子\\box.ico";
  link.iconIndex = 2;
  link.showCommand = 7;
  link.hotKey = 0x0641;
  return link;
}

void expectSame(const ShellLink& a, const ShellLink& b) {
  EXPECT_EQ(a.target, b.target);
  EXPECT_EQ(a.description, b.description);
  EXPECT_EQ(a.relativePath, b.relativePath);
  EXPECT_EQ(a.workingDirectory, b.workingDirectory);
  EXPECT_EQ(a.arguments, b.arguments);
  EXPECT_EQ(a.iconPath, b.iconPath);
  EXPECT_EQ(a.iconIndex, b.iconIndex);
  EXPECT_EQ(a.showCommand, b.showCommand);
  EXPECT_EQ(a.hotKey, b.hotKey);
}

TEST(LnkFile, EveryPropertyRoundTrips) {
  std::optional<ShellLink> back = readShellLink(writeShellLink(fullLink()));
  ASSERT_TRUE(back);
  expectSame(*back, fullLink());
}

TEST(LnkFile, ATargetAloneRoundTripsWithoutStringData) {
  ShellLink link;
  link.target = "D:\\a.exe";
  std::string bytes = writeShellLink(link);
  EXPECT_EQ(bytes[0x14] & 0x7F, 0x02) << "only LinkInfo is flagged";
  std::optional<ShellLink> back = readShellLink(bytes);
  ASSERT_TRUE(back);
  expectSame(*back, link);
}

TEST(LnkFile, EveryTruncationGivesNothingOrTheWholeLink) {
  std::string bytes = writeShellLink(fullLink());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    std::optional<ShellLink> back = readShellLink(std::string_view(bytes).substr(0, size));
    if (back) {  // only the trailing terminal block may be missing
      EXPECT_GE(size, bytes.size() - 4);
      expectSame(*back, fullLink());
    }
  }
}

TEST(LnkFile, ForeignFilesAreRefused) {
  std::string bytes = writeShellLink(fullLink());
  std::string wrongClass = bytes;
  wrongClass[5] ^= 1;
  std::string wrongHeader = bytes;
  wrongHeader[0] = 0x4D;
  for (const std::string& bad : {std::string(), std::string("[InternetShortcut]\r\nURL=x"),
                                 wrongClass, wrongHeader})
    EXPECT_FALSE(readShellLink(bad));
}

// A header followed by the given LinkInfo, as other writers lay it out: the ANSI path
// only, with an item-ID list in front.
std::string linkWithInfo(const std::string& info) {
  ShellLink plain;
  std::string header = writeShellLink(plain).substr(0, 0x4C);
  header[0x14] = 0x03;  // an item-ID list and a LinkInfo, no texts
  std::string idList = std::string("\x04\x00\x02\x00\x00\x00", 6);  // one item, then end
  return header + idList + info + std::string(4, '\0');
}

std::string le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}

std::string ansiLinkInfo(std::uint32_t pathAt, std::uint32_t suffixAt, const std::string& tail) {
  std::string info = le32(0) + le32(0x1C) + le32(1) + le32(0x1C) + le32(pathAt) + le32(0) +
                     le32(suffixAt) + tail;
  return le32(static_cast<std::uint32_t>(info.size())) + info.substr(4);
}

TEST(LnkFile, AnAnsiPathIsReadAsGbkWithItsSuffix) {
  // VolumeID (17 bytes) at 0x1C, the path "C:\盒子\" at 0x2D, the suffix "a.exe" after it.
  std::string volume = le32(0x11) + le32(3) + le32(0) + le32(0x10) + std::string(1, '\0');
  std::string path = std::string("C:\\\xBA\xD0\xD7\xD3\\") + '\0';
  std::string tail = volume + path + "a.exe" + '\0';
  std::uint32_t pathAt = 0x1C + 0x11;
  std::optional<ShellLink> back =
      readShellLink(linkWithInfo(ansiLinkInfo(pathAt, pathAt + static_cast<std::uint32_t>(path.size()), tail)));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->target, "C:\\盒子\\a.exe");
}

TEST(LnkFile, HostileOffsetsGiveAnEmptyTarget) {
  for (std::uint32_t pathAt : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x1Cu + 0x40u}) {
    std::optional<ShellLink> back = readShellLink(linkWithInfo(ansiLinkInfo(pathAt, pathAt, "abc")));
    if (back) { EXPECT_EQ(back->target, ""); }
  }
  std::string hugeInfo = le32(0xFFFFFFF0u) + std::string(0x20, '\0');
  EXPECT_FALSE(readShellLink(linkWithInfo(hugeInfo)));
}

struct HotKeyCase {
  const char* text;
  std::uint16_t value;
};

TEST(LnkFile, HotKeysAreReadLikeTheShellsAutomationObject) {
  const HotKeyCase cases[] = {
      {"Ctrl+Alt+A", 0x0641}, {"ALT+SHIFT+F5", 0x0574}, {"ctrl+9", 0x0239}, {"F12", 0x007B},
      {"", 0},                {"Ctrl+Alt", 0},          {"Ctrl+Alt+Banana", 0}, {"F25", 0},
  };
  for (const HotKeyCase& c : cases) EXPECT_EQ(parseHotKey(c.text), c.value) << c.text;
}

TEST(LnkFile, PropertiesBecomeLinkFields) {
  ShortcutProperties properties;
  properties.target = "C:\\x.exe";
  properties.iconLocation = "C:\\icons,dir\\x.ico,-3";
  properties.windowStyle = 3;
  properties.hotKey = "Ctrl+Alt+A";
  ShellLink link = shellLinkFrom(properties);
  EXPECT_EQ(link.iconPath, "C:\\icons,dir\\x.ico");
  EXPECT_EQ(link.iconIndex, -3);
  EXPECT_EQ(link.showCommand, 3u);
  EXPECT_EQ(link.hotKey, 0x0641);
  properties.iconLocation = "C:\\x.ico";
  EXPECT_EQ(shellLinkFrom(properties).iconPath, "C:\\x.ico");
  EXPECT_EQ(shellLinkFrom(properties).iconIndex, 0);
}

}  // namespace
}  // namespace qovra::platform
