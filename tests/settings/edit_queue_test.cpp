// Edits asked for while another is being applied: the editing loops process pending window
// messages, so another handler can run in the middle of an edit. Its edits wait in the
// queue and follow in the order they were asked for. Also the deep copy, queue included.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/settings_fixtures.h"
#include "settings/settings_store.h"

namespace qovra::settings {
namespace {

class EditQueueTest : public testing::Test {
 protected:
  void SetUp() override {
    store_.open("", true);
    // The stand-in for the window loop: runs the next pending "handler" once.
    storeServices().processPendingMessages = [this] {
      ++pumps_;
      if (pending_.empty()) return;
      auto handler = std::move(pending_.front());
      pending_.erase(pending_.begin());
      handler();
    };
  }

  testing_support::ServicesGuard services_;
  SettingsStore store_;
  std::vector<std::function<void()>> pending_;
  std::vector<int> results_;
  int pumps_ = 0;
};

TEST_F(EditQueueTest, TheLoopProcessesPendingMessages) {
  const std::function<void()> edits[] = {
      [this] { store_.writeEntry("s", "k", "1"); }, [this] { store_.writeEntry("s", "k", "2"); },
      [this] { store_.deleteEntry("s", "k"); }, [this] { store_.renameSection("s", "t"); },
      [this] { store_.deleteEntry("t", ""); }};
  for (const auto& edit : edits) {
    const int before = pumps_;
    edit();
    EXPECT_GT(pumps_, before);
  }
}

TEST_F(EditQueueTest, AnEditAskedForDuringAnotherWaitsAndFollows) {
  pending_.push_back([this] {
    EXPECT_TRUE(store_.busy());
    results_.push_back(store_.writeEntry("s", "inner", "2"));
    // Not applied yet: the outer edit is still running.
    EXPECT_EQ(store_.readEntry("s", "inner", "none"), "none");
  });
  EXPECT_EQ(store_.writeEntry("s", "outer", "1"), kEditDone);
  EXPECT_EQ(results_, std::vector<int>{kEditQueued});
  EXPECT_FALSE(store_.busy());
  EXPECT_EQ(store_.buffer(), "[s]\r\nouter=1\r\ninner=2");
}

TEST_F(EditQueueTest, QueuedEditsKeepTheOrderTheyWereAskedIn) {
  store_.setText("[s]\r\nk=0\r\n[t]\r\nx=1");
  pending_.push_back([this] {
    results_.push_back(store_.writeEntry("s", "k", "inner-1"));
    results_.push_back(store_.renameSection("t", "u"));
    results_.push_back(store_.writeEntry("s", "k", "inner-2"));
    results_.push_back(store_.deleteEntry("u", "x"));
  });
  EXPECT_EQ(store_.writeEntry("s", "k", "outer"), kEditDone);
  EXPECT_EQ(results_, (std::vector<int>{kEditQueued, kEditQueued, kEditQueued, kEditQueued}));
  // The outer value came first and the inner ones overwrote it in turn.
  EXPECT_EQ(store_.buffer(), "[s]\r\nk=inner-2\r\n[u]");
}

TEST_F(EditQueueTest, AHandlerInsideAQueuedEditQueuesAgain) {
  pending_.push_back([this] {
    results_.push_back(store_.writeEntry("s", "b", "2"));
    pending_.push_back([this] { results_.push_back(store_.writeEntry("s", "c", "3")); });
  });
  EXPECT_EQ(store_.writeEntry("s", "a", "1"), kEditDone);
  EXPECT_EQ(results_, (std::vector<int>{kEditQueued, kEditQueued}));
  EXPECT_EQ(store_.buffer(), "[s]\r\na=1\r\nb=2\r\nc=3");
}

TEST_F(EditQueueTest, ProcessQueueInsideAnEditLeavesTheQueueToTheRunningLoop) {
  pending_.push_back([this] {
    store_.writeEntry("s", "b", "2");
    results_.push_back(store_.processQueue());
    EXPECT_EQ(store_.readEntry("s", "b", "none"), "none");
  });
  store_.writeEntry("s", "a", "1");
  EXPECT_EQ(results_, std::vector<int>{kEditQueued});
  EXPECT_EQ(store_.buffer(), "[s]\r\na=1\r\nb=2");
}

TEST_F(EditQueueTest, ImmediateEditsSkipTheQueue) {
  pending_.push_back([this] { results_.push_back(store_.writeEntry("s", "b", "2", true)); });
  store_.writeEntry("s", "a", "1", true);
  EXPECT_EQ(results_, std::vector<int>{kEditDone});
  EXPECT_EQ(store_.readEntry("s", "a"), "1");
  EXPECT_EQ(store_.readEntry("s", "b"), "2");
}

TEST_F(EditQueueTest, ResultsOfQueuedEditsAreTheirOwn) {
  store_.setText("[s]\r\nk=1");
  EXPECT_EQ(store_.deleteEntry("s", "missing"), kNoEntry);
  EXPECT_EQ(store_.deleteEntry("missing", "k"), kNoSection);
  EXPECT_EQ(store_.renameSection("missing", "x"), kNoSection);
  EXPECT_EQ(store_.processQueue(), kNothingQueued);
}

TEST_F(EditQueueTest, TheTypedWritesReportOnlyAppliedEditsAsDone) {
  store_.selectSection("s");
  pending_.push_back([this] { results_.push_back(store_.writeText("b", "2") ? 1 : 0); });
  EXPECT_TRUE(store_.writeText("a", "1"));
  EXPECT_EQ(results_, std::vector<int>{0});  // queued, not yet done
  EXPECT_EQ(store_.readText("b"), "2");
}

TEST_F(EditQueueTest, ACopyTakesTheQueueAlong) {
  std::vector<SettingsStore> copies;
  pending_.push_back([this, &copies] {
    store_.writeEntry("s", "b", "2");
    copies.push_back(store_);
  });
  store_.writeEntry("s", "a", "1");
  ASSERT_EQ(copies.size(), 1u);
  SettingsStore& copy = copies.front();
  EXPECT_FALSE(copy.busy());
  EXPECT_EQ(copy.buffer(), "");  // taken before the outer edit reached the buffer
  EXPECT_EQ(copy.processQueue(), kEditDone);
  EXPECT_EQ(copy.buffer(), "[s]\r\nb=2");
}

// When every round of a write finds its section gone again (another handler keeps deleting
// it), the write gives up after ten rounds and shows the user what it could not save.
TEST_F(EditQueueTest, AWriteThatNeverFindsItsSectionGivesUpAfterTenRounds) {
  std::vector<std::pair<std::string, unsigned>> shown;
  storeServices().messageBox = [&shown](std::string_view text, std::string_view, unsigned style) {
    shown.emplace_back(std::string(text), style);
  };
  int rounds = 0;
  bool inside = false;  // the deletion's own loop processes messages too
  storeServices().processPendingMessages = [this, &rounds, &inside] {
    if (inside) return;
    ++rounds;
    inside = true;
    store_.deleteEntry("s", "", true);
    inside = false;
  };
  store_.writeEntry("t", "kept", "1", true);
  rounds = 0;
  EXPECT_EQ(store_.writeEntry("s", "k", "v", true), kEditFailed);
  EXPECT_EQ(rounds, 10);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].first, "配置模块出现意外，可能导致无法正常保存！详情请咨询Qovra。");
  EXPECT_EQ(shown[0].second, 0x30u);  // OK button, exclamation icon
  EXPECT_EQ(shown[1].first, store_.buffer());
  EXPECT_EQ(shown[1].second, 0u);     // OK button alone
  // The last round's section is still there; nothing else was lost.
  EXPECT_EQ(store_.readEntry("t", "kept", ""), "1");
  EXPECT_EQ(store_.readEntry("s", "k", ""), "v");
}

TEST(CopyTest, ACopyIsDeepAndNeverWritesTheFile) {
  const std::string path = testing_support::scratchFolder() + "\\box.ini";
  SettingsStore original;
  ASSERT_TRUE(original.setFile(path, FileMode::WriteThrough));
  original.writeEntry("s", "k", "1");
  SettingsStore copy(original);
  EXPECT_FALSE(copy.writesThrough());
  EXPECT_EQ(copy.buffer(), original.buffer());
  copy.writeEntry("s", "k", "copy");
  EXPECT_EQ(original.readEntry("s", "k"), "1");
  EXPECT_EQ(testing_support::fileBytes(path), "[s]\r\nk=1");
  original.writeEntry("s", "k", "2");
  EXPECT_EQ(copy.readEntry("s", "k"), "copy");
  EXPECT_EQ(testing_support::fileBytes(path), "[s]\r\nk=2");
  copy.close();
  EXPECT_EQ(testing_support::fileBytes(path), "[s]\r\nk=2");

  SettingsStore assigned;
  assigned = original;
  EXPECT_FALSE(assigned.writesThrough());
  EXPECT_TRUE(original.writesThrough());
  EXPECT_EQ(assigned.readEntry("s", "k"), "2");
}

TEST(CopyTest, MovingAStoreMovesItsFile) {
  const std::string path = testing_support::scratchFolder() + "\\box.ini";
  SettingsStore first;
  ASSERT_TRUE(first.setFile(path, FileMode::WriteThrough));
  SettingsStore second(std::move(first));
  EXPECT_TRUE(second.writesThrough());
  second.writeEntry("s", "k", "1");
  EXPECT_EQ(testing_support::fileBytes(path), "[s]\r\nk=1");
  SettingsStore third;
  third = std::move(second);
  third.writeEntry("s", "k", "2");
  EXPECT_EQ(testing_support::fileBytes(path), "[s]\r\nk=2");
}

}  // namespace
}  // namespace qovra::settings

