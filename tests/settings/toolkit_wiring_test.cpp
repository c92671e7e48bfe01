// Stores connected to the window toolkit: the editing loops process its pending messages,
// so a handler that runs inside an edit gets its own edit queued behind it.
#include <gtest/gtest.h>

#include "platform/headless/headless_toolkit.h"
#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"
#include "settings/store_services.h"

namespace qovra::settings {
namespace {

class ToolkitWiringTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::setToolkit(&toolkit_);
    connectStoresToToolkit();
    store_.open("", true);
  }
  void TearDown() override {
    disconnectStoresFromToolkit();
    ui::setToolkit(nullptr);
    EXPECT_TRUE(toolkit_.messageBoxes().empty());
  }

  testing_support::ServicesGuard services_;
  ui::HeadlessToolkit toolkit_;
  SettingsStore store_;
};

TEST_F(ToolkitWiringTest, AHandlerRunningInsideAnEditHasItsEditQueued) {
  int inner = -99;
  toolkit_.post([&] { inner = store_.writeEntry("s", "inner", "2"); });
  EXPECT_EQ(store_.writeEntry("s", "outer", "1"), kEditDone);
  EXPECT_EQ(inner, kEditQueued);
  EXPECT_EQ(store_.buffer(), "[s]\r\nouter=1\r\ninner=2");
}

TEST_F(ToolkitWiringTest, PostedHandlersRunInOrderInsideDeletesAndRenames) {
  store_.setText("[a]\r\nx=1\r\n[b]\r\ny=2");
  std::vector<int> results;
  toolkit_.post([&] { results.push_back(store_.renameSection("b", "c")); });
  toolkit_.post([&] { results.push_back(store_.writeEntry("c", "y", "3")); });
  EXPECT_EQ(store_.deleteEntry("a", "x"), kEditDone);
  // The handlers ran inside the editing loops; their edits followed in the order asked.
  EXPECT_EQ(results, (std::vector<int>{kEditQueued, kEditQueued}));
  EXPECT_EQ(store_.buffer(), "[a]\r\n[c]\r\ny=3");
}

TEST_F(ToolkitWiringTest, AfterDisconnectingNothingIsProcessed) {
  disconnectStoresFromToolkit();
  bool ran = false;
  toolkit_.post([&] { ran = true; });
  store_.writeEntry("s", "k", "1");
  EXPECT_FALSE(ran);
  toolkit_.processPendingMessages();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace qovra::settings
