#include <gtest/gtest.h>

#include <string>

#include "app/box.h"
#include "catalogue/branding.h"
#include "catalogue/scratch_run_directory.h"
#include "platform/files.h"
#include "platform/headless/headless_toolkit.h"
#include "support/process_state.h"
#include "app/startable_box.h"

namespace qovra {
namespace {

// Start-up in a real run directory: the branding file decides the title and so the name
// of the program ini, which is bound right after it.
TEST(BrandedStartUp, TheIniIsNamedAfterTheBrandWord) {
  struct Case {
    std::string brandWord;  // empty: no branding file
    std::string title;
  } cases[] = {{"", "Qovra·软件盒子"}, {"星火", "星火·软件盒子"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    const std::string folder = scratchRunDirectory();
    makeStartable(folder, c.title);
    if (!c.brandWord.empty()) {
      ASSERT_TRUE(brandBox(folder, {.brandWord = c.brandWord, .contactNumber = "400"}));
    }
    runFrom(folder);
    ui::HeadlessToolkit toolkit;
    ui::setToolkit(&toolkit);

    app::startUp({"lxms"});
    EXPECT_EQ(processState().programTitle, c.title);
    EXPECT_EQ(brandingProfile().brandWord, c.brandWord);
    EXPECT_TRUE(platform::pathExists(folder + "\\" + c.title + ".ini"));
    if (!c.brandWord.empty()) { EXPECT_FALSE(platform::pathExists(folder + "\\Qovra·软件盒子.ini")); }

    app::exitCleanup();
    EXPECT_EQ(brandingProfile(), BrandingProfile{});
    ui::setToolkit(nullptr);
    processState() = ProcessState{};
  }
}

}  // namespace
}  // namespace qovra
