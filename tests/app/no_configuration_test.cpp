// A box that finds no configuration anywhere ends at its first build: the fatal message,
// then the exit clean-up and the end of the message loop with the failure's exit code.
#include <gtest/gtest.h>

#include <string>

#include "app/box.h"
#include "catalogue/box_config.h"
#include "catalogue/catalogue.h"
#include "catalogue/scratch_run_directory.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/recording_shell.h"
#include "support/process_state.h"

namespace qovra {
namespace {

TEST(NoConfiguration, TheFirstBuildEndsTheProgramThroughTheExitCleanUp) {
  const std::string folder = scratchRunDirectory();
  platform::RecordingShell shell(folder + "\\home", folder + "\\temp");
  platform::setShell(&shell);
  auto& state = processState();
  state = ProcessState{};
  state.runDirectory = folder;
  state.executableName = "QovraBox.exe";
  int fetches = 0;
  boxConfigServices().fetch = [&](std::string_view) {
    ++fetches;
    return std::string();
  };
  boxConfigServices().sleep = [](std::uint32_t) {};
  // Start-up puts the program's own ending here; this one must not be the one called.
  bool endedElsewhere = false;
  boxConfigServices().endProgram = [&](int) { endedElsewhere = true; };
  ui::HeadlessToolkit toolkit;
  toolkit.answerMessageBox(ui::kAnswerOk);

  const int exitCode = app::runBox(toolkit, {});

  EXPECT_EQ(exitCode, kNoConfigExitCode);
  EXPECT_FALSE(endedElsewhere);
  EXPECT_EQ(fetches, 3);
  ASSERT_EQ(toolkit.messageBoxes().size(), 1u);
  EXPECT_EQ(toolkit.messageBoxes()[0].text,
            "访问远程配置文件失败（而且也没有本地离线配置文件）！请检查本软件是否被拦截网络访问！请添加信任，然后重新运行"
            "本软件！或咨询Qovra");
  EXPECT_TRUE(toolkit.problems().empty());
  // The clean-up ran: the process state's texts are released and no row was made.
  EXPECT_EQ(processState().programTitle, "");
  EXPECT_TRUE(catalogueState().rows.empty());

  restoreBoxConfigServices();
  platform::setShell(nullptr);
  state = ProcessState{};
}

}  // namespace
}  // namespace qovra
