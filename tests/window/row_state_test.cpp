// Row state from the program files: the installed version, the texts and enablement that
// follow, the icon with its cache in the program ini, and the result list's images.
#include <gtest/gtest.h>

#include "support/bitmap_object.h"
#include "window/main_window_fixture.h"
#include "window/row_state.h"

namespace qovra {
namespace {

using ui::Prop;

// The fixture programs' icons: red.ico is RGB(220, 20, 20).
constexpr std::uint32_t kRed = 0xDC1414, kGreen = 0x00FF00, kWhite = 0xFFFFFF, kListGrey = 0xF5F5F5;

// The colour of pixel (x, y), top row 0, of a 32x32 BMP of 32 bits per pixel.
std::uint32_t pixelAt(const std::string& bmp, int x, int y) {
  const std::size_t at = 54 + (std::size_t(31 - y) * 32 + x) * 4;
  if (bmp.size() < at + 3) return 0xDEADBEEF;
  auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bmp[at + i])); };
  return byte(2) << 16 | byte(1) << 8 | byte(0);
}

std::string solidBmp(std::uint32_t colour) {
  BitmapObject bitmap;
  bitmap.capture(platform::Pixels{32, 32, std::vector<std::uint32_t>(32 * 32, colour)}, 32);
  return bitmap.toBmpBytes();
}

class RowStateTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    open();
  }
  CatalogueRow& row(int i = 1) { return *rowAt(i); }
  std::string usedVersionSetting(const std::string& name) {
    return settings::programSettings().readEntry(settings::kUsedVersionSection, name, "<none>");
  }
  std::string cachedVersion(const std::string& name) {
    return settings::programSettings().readEntry(settings::kIconCacheSection, name + "缓存版本", "<none>");
  }
  std::string cachedIcon(const std::string& name) {
    settings::programSettings().selectSection(settings::kIconCacheSection);
    return settings::programSettings().readBytes(name + "缓存图标");
  }
  void setCachedIcon(const std::string& name, const std::string& bytes) {
    settings::programSettings().selectSection(settings::kIconCacheSection);
    ASSERT_TRUE(settings::programSettings().writeBytes(name + "缓存图标", bytes));
  }
  std::string iconShown(int i = 1) { return text(row(i).iconBox, Prop::Picture); }
};

TEST_F(RowStateTest, ARefreshReadsTheInstalledVersionAndSetsTheRowFromIt) {
  struct Case {
    const char* fixture;  // nullptr: no program file
    std::string latest;
    std::string used;
    VersionState state;
    std::string labelEnd, caption;
    bool downloadEnabled, deleteEnabled;
  } cases[] = {
      {"ver_cn.exe", "2.3.4.5", "2.3.4.5", kCurrent, " v2.3.4.5", "已是最新版本!    ", false, true},
      {"ver_cn.exe", "2.3.10", "2.3.4.5", kUpgradeAvailable, " v2.3.4.5", "升级 v2.3.10     ", true, true},
      {"ver_en.exe", "1.0", "1.0.0.0", kCurrent, " v1.0.0.0", "已是最新版本!    ", false, true},
      {"ver_x86.exe", "10.0", "5.6.7.8", kUpgradeAvailable, " v5.6.7.8", "升级 v10.0       ", true, true},
      {nullptr, "1.0", "", kNotDownloaded, " (未下载)", "下载 v1.0        ", true, false},
      {"ver_notrans.exe", "1.0", "", kNotDownloaded, " (未下载)", "下载 v1.0        ", true, false},
      {"ver_nofilever.exe", "", "", kNotDownloaded, " (未下载)", "下载 v0.0.0.0    ", true, false},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture ? c.fixture : "no program");
    const std::string name = "Qovra·程序" + std::to_string(++n);
    if (c.fixture) install(name, c.fixture);
    clearCatalogue();
    buildRows({entry(name, c.latest)});
    refreshRow(1);
    const SoftwareEntry& e = row().entry;
    EXPECT_EQ(e.usedVersion, c.used);
    EXPECT_EQ(e.versionState, c.state);
    EXPECT_EQ(usedVersionSetting(name), c.used);
    const std::string label = text(row().nameLabel);
    EXPECT_EQ(label.substr(label.size() - c.labelEnd.size()), c.labelEnd);
    EXPECT_EQ(text(row().downloadButton), c.caption);
    EXPECT_EQ(get(row().downloadButton, Prop::Enabled), c.downloadEnabled);
    EXPECT_EQ(get(row().deleteButton, Prop::Enabled), c.deleteEnabled);
  }
}

TEST_F(RowStateTest, ARefreshThatChangesNothingWritesNothing) {
  install("Qovra·稳", "ver_en.exe");
  buildRows({entry("Qovra·稳", "1.0"), entry("Qovra·空", "1.0")});
  refreshRow(1);
  refreshRow(2);
  // An empty version is recorded too, as an empty value.
  EXPECT_EQ(usedVersionSetting("Qovra·空"), "");
  const std::string ini = settings::programSettings().buffer();
  // Every write of the ini lets pending messages run; none may run now.
  bool written = false;
  tk.post([&] { written = true; });
  refreshRow(1);
  refreshRow(2);
  EXPECT_FALSE(written);
  EXPECT_EQ(settings::programSettings().buffer(), ini);
  tk.processPendingMessages();
  // A changed version is written again.
  install("Qovra·稳", "ver_cn.exe");
  refreshRow(1);
  EXPECT_EQ(usedVersionSetting("Qovra·稳"), "2.3.4.5");
}

TEST_F(RowStateTest, TheIconIsCachedWhiteAndShownOnTheListBackground) {
  install("Qovra·红", "ver_cn.exe");
  buildRows({entry("Qovra·红", "9.0")});
  refreshRow(1);
  const std::string cached = cachedIcon("Qovra·红");
  EXPECT_EQ(cachedVersion("Qovra·红"), "2.3.4.5");
  ASSERT_EQ(cached.size(), 4150u);
  EXPECT_EQ(cached.substr(0, 2), "BM");
  // The icon's transparent border is white in the cache and list grey on the screen.
  EXPECT_EQ(pixelAt(cached, 0, 0), kWhite);
  EXPECT_EQ(pixelAt(cached, 16, 16), kRed);
  EXPECT_EQ(pixelAt(iconShown(), 0, 0), kListGrey);
  EXPECT_EQ(pixelAt(iconShown(), 16, 16), kRed);
  EXPECT_EQ(iconShown(), whiteToListBackground(cached));
}

TEST_F(RowStateTest, TheCacheServesWhileTheVersionTextStaysAndIsRemadeWhenItChanges) {
  install("Qovra·换", "ver_cn.exe");
  buildRows({entry("Qovra·换", "9.0")});
  refreshRow(1);
  // A cached picture that the program's own icon would never give shows that the cache,
  // not the shell, served the next refresh.
  const std::string stand = solidBmp(kGreen);
  setCachedIcon("Qovra·换", stand);
  refreshRow(1);
  EXPECT_EQ(iconShown(), stand);
  EXPECT_EQ(cachedIcon("Qovra·换"), stand);

  // Another build of the program with another version text: the icon is taken afresh
  // from the shell (which may keep showing the old build's icon for the same path), so
  // the stand-in is gone and the picture has the icons' transparent border again.
  install("Qovra·换", "ver_en.exe");
  refreshRow(1);
  EXPECT_EQ(cachedVersion("Qovra·换"), "1.0.0.0");
  const std::string remade = cachedIcon("Qovra·换");
  EXPECT_NE(remade, stand);
  EXPECT_EQ(pixelAt(remade, 2, 2), kWhite);
  EXPECT_EQ(pixelAt(iconShown(), 2, 2), kListGrey);
  EXPECT_EQ(iconShown(), whiteToListBackground(remade));
}

TEST_F(RowStateTest, ADamagedCachedPictureIsMadeAgainFromTheProgram) {
  install("Qovra·坏", "ver_cn.exe");
  buildRows({entry("Qovra·坏", "9.0")});
  refreshRow(1);
  const std::string good = cachedIcon("Qovra·坏");
  const std::string damaged[] = {"not a picture", good.substr(0, 100), "BM" + std::string(60, '\0'),
                                 good + "trailing bytes"};
  for (const auto& bytes : damaged) {
    setCachedIcon("Qovra·坏", bytes);
    refreshRow(1);
    EXPECT_EQ(cachedIcon("Qovra·坏"), good);
    EXPECT_EQ(iconShown(), whiteToListBackground(good));
  }
}

TEST_F(RowStateTest, ANewRowOfADownloadedProgramShowsItsIconAndOneThatIsNotKeepsTheDefault) {
  install("Qovra·有", "ver_cn.exe");
  buildRows({entry("Qovra·有", "2.3.4.5", "2.3.4.5"), entry("Qovra·无", "1.0")});
  EXPECT_EQ(pixelAt(iconShown(1), 16, 16), kRed);
  EXPECT_EQ(iconShown(2), text(control("控件图标"), Prop::Picture));
  EXPECT_EQ(cachedVersion("Qovra·无"), "<none>");
}

TEST_F(RowStateTest, AfterDeletionTheRowOffersTheDownloadAgainAndKeepsItsLastIcon) {
  install("Qovra·删", "ver_cn.exe");
  buildRows({entry("Qovra·删", "2.3.4.5")});
  refreshRow(1);
  ASSERT_EQ(row().entry.versionState, kCurrent);
  ASSERT_FALSE(get(row().downloadButton, Prop::Enabled));
  const std::string icon = iconShown();

  ASSERT_TRUE(platform::deleteTree(programFolder(runDirectory, "Qovra·删")));
  refreshRow(1, true);
  EXPECT_EQ(text(row().nameLabel), "Qovra·删                        (未下载)");
  EXPECT_EQ(text(row().downloadButton), "下载 v2.3.4.5    ");
  EXPECT_TRUE(get(row().downloadButton, Prop::Enabled));
  EXPECT_FALSE(get(row().deleteButton, Prop::Enabled));
  EXPECT_EQ(iconShown(), icon);
  EXPECT_EQ(usedVersionSetting("Qovra·删"), "");

  // Enabling never applies to a current program.
  install("Qovra·删", "ver_cn.exe");
  refreshRow(1, true);
  EXPECT_FALSE(get(row().downloadButton, Prop::Enabled));
}

TEST_F(RowStateTest, ARowReplacedWhileTheSettingsAreWrittenIsLeftAlone) {
  buildRows({entry("Qovra·甲", "1.0"), entry("Qovra·乙", "1.0")});
  const std::string before = text(row(1).nameLabel);
  // The settings write processes pending messages; a rebuild there swaps the rows.
  tk.post([] { std::swap(catalogueState().rows[0], catalogueState().rows[1]); });
  install("Qovra·甲", "ver_en.exe");
  refreshRow(1);
  EXPECT_EQ(row(1).entry.name, "Qovra·乙");
  EXPECT_EQ(row(1).entry.usedVersion, "");
  EXPECT_EQ(text(row(2).nameLabel), before);
  refreshRow(99);  // no such row: nothing happens
}

TEST_F(RowStateTest, RefreshingAllRowsEnablesTheirButtonsThenGivesTheResultListTheirIcons) {
  install("Qovra·二", "ver_cn.exe");
  buildRows({entry("Qovra·一", "1.0"), entry("Qovra·二", "2.3.4.5"), entry("Qovra·三", "1.0")});
  for (auto& r : catalogueState().rows) tk.setInt(r.downloadButton, Prop::Enabled, 0);
  refreshAllRows();
  EXPECT_TRUE(get(row(1).downloadButton, Prop::Enabled));
  EXPECT_FALSE(get(row(2).downloadButton, Prop::Enabled));  // current
  EXPECT_TRUE(get(row(3).downloadButton, Prop::Enabled));
  const auto* tree = tk.record(control("树型框"));
  ASSERT_EQ(tree->images.size(), 3u);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(tree->images[std::size_t(row(i).imageIndex)], iconShown(i)) << i;
  }
  EXPECT_EQ(pixelAt(tree->images[std::size_t(row(2).imageIndex)], 16, 16), kRed);
  EXPECT_EQ(tree->imagesTransparent, ui::rgb(245, 245, 245));
}

TEST_F(RowStateTest, ThePictureGroupTimerStopsAndRebuildsTheImages) {
  buildRows(4);
  const ui::ControlId timer = control("时钟更新图片组");
  tk.setInt(timer, Prop::TimerPeriod, 500);
  tk.advanceTime(499);
  EXPECT_TRUE(tk.record(control("树型框"))->images.empty());
  tk.advanceTime(1);
  EXPECT_EQ(get(timer, Prop::TimerPeriod), 0);
  EXPECT_EQ(tk.record(control("树型框"))->images.size(), 4u);
}

TEST(RowIcon, WhiteTriplesBecomeTheListBackgroundLeftToRight) {
  struct Case { std::string in, out; } cases[] = {
      {"\xFF\xFF\xFF", "\xF5\xF5\xF5"},
      {"\xFF\xFF\xFF\xFF", "\xF5\xF5\xF5\xFF"},
      {"\xFF\xFF\xFF\xFF\xFF\xFF", "\xF5\xF5\xF5\xF5\xF5\xF5"},
      {std::string("\xFF\xFF\x00\xFF\xFF", 5), std::string("\xFF\xFF\x00\xFF\xFF", 5)},
      {std::string("\x00\xFF\xFF\xFF\xFE", 5), std::string("\x00\xF5\xF5\xF5\xFE", 5)},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(whiteToListBackground(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(RowIcon, TheCacheKeyIsTheProgramFileNameWithoutFolderAndExtension) {
  struct Case { const char* path; const char* base; } cases[] = {
      {"C:\\Box\\Qovra·截图\\Qovra·截图.exe", "Qovra·截图"},
      {"C:\\Box\\a.b\\v1.2.exe", "v1.2"},
      {"C:\\Box\\noext", "noext"},
      {"plain.exe", "plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(iconCacheKeyBase(c.path), c.base) << c.path;
}

}  // namespace
}  // namespace qovra
