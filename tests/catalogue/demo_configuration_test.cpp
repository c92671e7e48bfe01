// The box configuration through the real request path, from the demo server that ctest
// starts around this suite (fixture "demo_server"): natively and under Wine alike.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/box_config.h"
#include "catalogue/catalogue.h"
#include "catalogue/scratch_run_directory.h"
#include "platform/headless/headless_toolkit.h"
#include "support/process_state.h"
#include "web/web_request.h"

namespace qovra {
namespace {

class DemoConfigurationTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string port = readTextFile(std::string(QOVRA_BINARY_DIR) + "\\test-servers\\demo.port");
    ASSERT_FALSE(port.empty()) << "the demo server is not running: run this suite through ctest, or start it with "
                                  "tools/demo-server/demo_server.py start <build>/test-servers";
    server_ = "127.0.0.1:" + port;
    folder_ = scratchRunDirectory();
    ui::setToolkit(&toolkit_);
    processState() = ProcessState{};
    processState().runDirectory = folder_;
    catalogueState() = CatalogueState{};
    restoreBoxConfigServices();
    // The real request, counted.
    boxConfigServices().fetch = [this](std::string_view address) {
      ++fetches_;
      return web::fetchTextNative(address);
    };
    boxConfigServices().endProgram = [this](int) { ended_ = true; };
  }
  void TearDown() override {
    restoreBoxConfigServices();
    ui::setToolkit(nullptr);
    catalogueState() = CatalogueState{};
    processState() = ProcessState{};
  }

  std::string server_, folder_;
  ui::HeadlessToolkit toolkit_;
  int fetches_ = 0;
  bool ended_ = false;
};

TEST_F(DemoConfigurationTest, TheDemoConfigurationArrivesDecodedAndIsKeptOffline) {
  boxConfigServices().configHost = server_;
  const ObtainedConfig config = obtainBoxConfig(0);
  ASSERT_TRUE(config.fetched);
  EXPECT_EQ(fetches_, 1);
  EXPECT_EQ(config.text.rfind("[盒子]\r\n下载源=demo-source\r\n", 0), 0u) << config.text.substr(0, 80);
  EXPECT_NE(config.text.find("[Qovra·记事本]\r\n"), std::string::npos);
  EXPECT_NE(config.text.find("下载地址=http://" + server_ + "/packages/notepad.rar"), std::string::npos);

  catalogueState().downloadSource = "demo-source";
  saveOfflineCopy(config.text);
  const std::string copy = readTextFile(folder_ + "\\Qovra·软件列表.ini");
  EXPECT_EQ(copy.find("demo-source"), std::string::npos);
  EXPECT_NE(copy.find("[Qovra·记事本]\r\n"), std::string::npos);

  // The next start in offline mode takes that copy without asking the server.
  processState().offlineMode = true;
  const ObtainedConfig offline = obtainBoxConfig(0);
  EXPECT_EQ(fetches_, 1);
  EXPECT_FALSE(offline.fetched);
  EXPECT_EQ(offline.text, copy);
}

TEST_F(DemoConfigurationTest, AnErrorPageIsNoConfigurationAndIsNotAskedAgain) {
  // The server answers this address with its 404 page: a reply, but not a configuration.
  boxConfigServices().configHost = server_ + "/missing";
  ASSERT_TRUE(writeTextFile(folder_ + "\\box.txt", "[盒子]\r\n[Qovra·本地]\r\n"));
  const ObtainedConfig config = obtainBoxConfig(0);
  EXPECT_EQ(fetches_, 1);
  EXPECT_FALSE(config.fetched);
  EXPECT_FALSE(ended_);
  EXPECT_EQ(config.text, "[盒子]\r\n[Qovra·本地]\r\n");
}

}  // namespace
}  // namespace qovra
