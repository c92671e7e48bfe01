// The main window with a catalogue of thirty rows on the platform's own toolkit (real
// windows under Wine in the Windows build): the places read back from the real controls
// equal the row model, the icons come from the programs through the shell, and a
// screenshot of the window is kept beside the test results.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "catalogue/catalogue.h"
#include "platform/files.h"
#include "platform/runtime.h"
#include "platform/scratch_folder.h"
#include "platform/screen_capture.h"
#include "settings/program_settings.h"
#include "support/bitmap_object.h"
#include "support/forms.h"
#include "support/process_state.h"
#include "window/file_version.h"
#include "window/list_area.h"
#include "window/main_window.h"
#include "window/row_texts.h"
#include "window/rows.h"
#include "window/version_compare.h"

namespace qovra {
namespace {

using ui::Prop;

struct Sample {
  std::string name;
  const char* fixture;  // the installed program, or nullptr
  std::string latest;
  int softwareType = 0;
  bool address = true, tutorial = true;
};

std::vector<Sample> samples() {
  std::vector<Sample> list = {
      {"Qovra·截图工具", "ver_cn.exe", "3.0"},             // upgradable
      {"Qovra·记事本", "ver_en.exe", "1.0"},               // current
      {"Qovra·看图", "ver_x86.exe", "5.6.7.8", kFreeSoftware},
      {"Qovra·连连看", nullptr, "1.1", kFreeGame},
      {"Qovra·无地址", nullptr, "2.0", 0, false},
      {"Qovra·无教程", nullptr, "2.0", 0, true, false},
  };
  for (int i = static_cast<int>(list.size()) + 1; i <= 30; ++i)
    list.push_back({"Qovra·工具" + std::to_string(i), nullptr, "1." + std::to_string(i)});
  return list;
}

class MainWindowOnScreen : public testing::Test {
 protected:
  void SetUp() override {
    toolkit = platform::createNativeToolkit();
    if (!toolkit) GTEST_SKIP() << "this build has no window toolkit of its own";
    ui::setToolkit(toolkit.get());
    auto& process = processState();
    process = ProcessState{};
    process.runDirectory = platform::scratchFolder();
    process.executableName = "QovraBox.exe";
    process.programTitle = "Qovra·软件盒子";
    settings::bindProgramSettings();
  }
  void TearDown() override {
    if (!toolkit) return;
    clearCatalogue();
    catalogueState() = CatalogueState{};
    if (window) toolkit->destroyWindow(window);
    releaseMainWindowState();
    settings::releaseProgramSettings();
    processState() = ProcessState{};
    ui::setToolkit(nullptr);
  }

  SoftwareEntry entryFor(const Sample& s) {
    const std::string& run = processState().runDirectory;
    if (s.fixture) {
      platform::createFolder(programFolder(run, s.name));
      auto bytes = platform::readFile(std::string(QOVRA_BINARY_DIR) + "/fixtures/" + s.fixture);
      EXPECT_TRUE(bytes && platform::writeFile(programFile(run, s.name), *bytes)) << s.fixture;
    }
    SoftwareEntry e;
    e.name = s.name;
    e.latestVersion = s.latest;
    e.softwareType = s.softwareType;
    if (s.address) e.downloadAddress = "http://downloads.example/" + s.name + ".rar";
    if (s.tutorial) e.tutorial = "http://tutorials.example/" + s.name;
    // As the catalogue build reads them: the installed version, then the state.
    e.usedVersion = readFileVersionRecord(programFile(run, s.name)).fileVersion;
    e.versionState = compareVersions(e.usedVersion, e.latestVersion);
    return e;
  }

  void pump(int milliseconds) {
    const auto end = toolkit->nowMs() + static_cast<std::uint64_t>(milliseconds);
    while (toolkit->nowMs() < end) {
      toolkit->processPendingMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::unique_ptr<ui::Toolkit> toolkit;
  ui::ControlId window = 0;
};

TEST_F(MainWindowOnScreen, ThirtyRowsStandWhereTheModelPutsThemAndArePhotographed) {
  window = toolkit->loadForm(mainWindowForm(), [](ui::Event& event) {
    if (event.kind == ui::EventKind::Created)
      prepareMainWindow(event.control, {});
    else
      handleListAreaEvent(event);
  });
  ASSERT_NE(window, 0);
  auto& state = catalogueState();
  const auto list = samples();
  for (std::size_t i = 0; i < list.size(); ++i) state.rows.push_back(createRow(entryFor(list[i]), static_cast<int>(i + 1)));
  for (std::size_t i = 0; i < state.rows.size(); ++i) placeRow(state.rows[i], static_cast<int>(i + 1));
  state.contentBottom = 8 + 26 * static_cast<int>(state.rows.size());
  toolkit->setInt(mainControl("图片框加载中"), Prop::Visible, 0);
  toolkit->setInt(window, Prop::Visible, 1);
  layoutListArea();
  state.catalogueReady = true;
  pump(600);

  struct Place {
    std::int64_t left, top, width, height;
    bool operator==(const Place&) const = default;
  };
  auto placeOf = [&](ui::ControlId c) {
    return Place{toolkit->getInt(c, Prop::Left), toolkit->getInt(c, Prop::Top), toolkit->getInt(c, Prop::Width),
                 toolkit->getInt(c, Prop::Height)};
  };
  for (int i = 1; i <= 30; ++i) {
    SCOPED_TRACE(i);
    const CatalogueRow& row = *rowAt(i);
    const std::int64_t top = 8 + 26 * (i - 1);
    EXPECT_EQ(placeOf(row.iconBox), (Place{8, top + 1, 23, 23}));
    EXPECT_EQ(placeOf(row.nameLabel), (Place{40, top, 344, 26}));
    EXPECT_EQ(placeOf(row.downloadButton), (Place{392, top, 176, 26}));
    EXPECT_EQ(placeOf(row.deleteButton), (Place{584, top, 104, 26}));
    EXPECT_EQ(placeOf(row.tutorialButton), (Place{712, top, 104, 26}));
    EXPECT_EQ(toolkit->getText(row.nameLabel, Prop::Caption), rowLabelText(row.entry));
    EXPECT_EQ(toolkit->getText(row.downloadButton, Prop::Caption), downloadButtonState(row.entry).caption);
    EXPECT_EQ(toolkit->getText(row.iconBox, Prop::Tag), std::to_string(i));
  }
  EXPECT_EQ(rowAt(1)->entry.versionState, kUpgradeAvailable);
  EXPECT_EQ(rowAt(2)->entry.versionState, kCurrent);
  EXPECT_FALSE(toolkit->getInt(rowAt(2)->downloadButton, Prop::Enabled));
  EXPECT_FALSE(toolkit->getInt(rowAt(5)->downloadButton, Prop::Enabled));
  EXPECT_FALSE(toolkit->getInt(rowAt(6)->tutorialButton, Prop::Enabled));
  EXPECT_FALSE(toolkit->getInt(rowAt(4)->deleteButton, Prop::Enabled));

  // The list area fills the client area under the header; 30 rows need the vertical bar.
  const auto clientWidth = toolkit->getInt(window, Prop::ClientWidth);
  const auto clientHeight = toolkit->getInt(window, Prop::ClientHeight);
  EXPECT_EQ(placeOf(mainControl("图片框边界")), (Place{0, 90, clientWidth, clientHeight - 90}));
  EXPECT_TRUE(toolkit->getInt(mainControl("纵向滚动条"), Prop::Visible));
  EXPECT_FALSE(toolkit->getInt(mainControl("横向滚动条"), Prop::Visible));
  EXPECT_EQ(placeOf(mainControl("图片框容器")), (Place{0, 0, clientWidth - 17, clientHeight - 90}));

  // The result list follows the mouse; the download hint lies inside the progress bar.
  EXPECT_EQ(toolkit->className(mainControl("树型框")), "SysTreeView32");
  EXPECT_TRUE(toolkit->getInt(mainControl("树型框"), Prop::Style) & kTrackSelectStyle);
  EXPECT_EQ(placeOf(mainControl("控件下载提示")), (Place{10, 0, 329, 26}));

  // Scrolled to the last row, the content moves up by the hidden part.
  jumpToRow(30);
  pump(200);
  const auto hidden = static_cast<std::int64_t>(state.contentBottom + 10 - (clientHeight - 90));
  EXPECT_EQ(toolkit->getInt(mainControl("图片框容器"), Prop::Top), -hidden);
  jumpToRow(1);
  pump(300);

  const Place outer = placeOf(window);
  const platform::Pixels shot = platform::captureScreen(static_cast<int>(outer.left), static_cast<int>(outer.top),
                                                        static_cast<int>(outer.width), static_cast<int>(outer.height));
  ASSERT_EQ(shot.width, outer.width);
  // The programs' icons came through the shell: red.ico's and green.ico's colours show.
  auto shows = [&](std::uint32_t colour) { return std::count(shot.rgb.begin(), shot.rgb.end(), colour) > 20; };
  EXPECT_TRUE(shows(0xDC1414));
  EXPECT_TRUE(shows(0x14A028));
  BitmapObject bitmap;
  ASSERT_TRUE(bitmap.capture(shot, 24));
  const std::string folder = std::string(QOVRA_BINARY_DIR) + "/screenshots";
  platform::createFolder(folder);
  const std::string path = folder + "/main-window-rows.bmp";
  ASSERT_TRUE(platform::writeFile(path, bitmap.toBmpBytes()));
  std::printf("screenshot: %s\n", path.c_str());
}

}  // namespace
}  // namespace qovra
