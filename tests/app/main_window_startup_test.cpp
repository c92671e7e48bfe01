// Start-up wires the main window's preparation and its list-area events: the creation
// handler runs with the profile read from the branding file, the window's own events
// reach the list area, and the exit clean-up forgets the window.
#include <gtest/gtest.h>

#include <string>

#include "app/box.h"
#include "app/startable_box.h"
#include "catalogue/branding.h"
#include "catalogue/catalogue.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/scratch_folder.h"
#include "support/process_state.h"
#include "window/main_window.h"

namespace qovra {
namespace {

using ui::Prop;

TEST(MainWindowStartUp, TheCreatedWindowIsPreparedWithTheBrandingFileAndItsEventsReachTheListArea) {
  struct Case {
    std::string brandWord;  // empty: no branding file
    std::string caption, tip;
  } cases[] = {
      {"", "Qovra·软件盒子 v1.3.1.0", "Qovra·软件盒子\r\n为Qovra软件旗下数十款软件提供下载、升级服务"},
      {"星火", "星火·软件盒子 v1.3.1.0", "星火·软件盒子\r\n为星火软件旗下数十款软件提供下载、升级服务"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    const std::string folder = platform::scratchFolder();
    makeStartable(folder, c.caption.substr(0, c.caption.find(' ')));
    if (!c.brandWord.empty()) {
      ASSERT_TRUE(brandBox(folder, {.brandWord = c.brandWord, .contactNumber = "400",
                                    .bannerPicture = "P", .bannerHotPicture = "H"}));
    }
    runFrom(folder);
    ui::HeadlessToolkit toolkit;
    ui::setToolkit(&toolkit);

    const ui::ControlId window = app::startUp({"lxms"});
    auto control = [&](const char* name) { return toolkit.find(window, name); };
    EXPECT_EQ(mainWindowState().window, window);
    EXPECT_EQ(toolkit.getText(window, Prop::Caption).substr(0, c.caption.size()), c.caption);
    EXPECT_EQ(catalogueState().brandName, c.brandWord.empty() ? "Qovra" : c.brandWord);
    ASSERT_TRUE(toolkit.trayIcon(window));
    EXPECT_EQ(toolkit.trayIcon(window)->tip, c.tip);
    EXPECT_EQ(toolkit.getText(control("编辑框搜索"), Prop::Caption), "即输即搜(首拼通配)..");
    EXPECT_EQ(toolkit.record(control("控件下载提示"))->parent, control("控件下载进度"));

    // A size change lays the list area out; a wheel turn inside the window hides the list.
    ASSERT_TRUE(toolkit.resize(window, 1000, 600));
    EXPECT_EQ(toolkit.getInt(control("图片框边界"), Prop::Height), 600 - 39 - 90);
    toolkit.setInt(control("树型框"), Prop::Visible, 1);
    toolkit.activate(window);
    ASSERT_TRUE(toolkit.wheel(300, 300, -120));
    EXPECT_FALSE(toolkit.getInt(control("树型框"), Prop::Visible));

    ASSERT_TRUE(toolkit.closeWindow(window));
    app::exitCleanup();
    EXPECT_EQ(mainWindowState().window, 0);
    EXPECT_FALSE(mainWindowState().queueKeepGoing);
    EXPECT_EQ(toolkit.problems(), std::vector<std::string>{});
    ui::setToolkit(nullptr);
    processState() = ProcessState{};
  }
}

}  // namespace
}  // namespace qovra
