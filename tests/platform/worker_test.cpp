#include "platform/worker.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/clock.h"

namespace qovra::platform {
namespace {

TEST(Worker, RunsItsBodyAndReportsTheEnd) {
  std::atomic<bool> release{false};
  std::atomic<int> runs{0};
  Worker worker([&] {
    while (!release) sleepMs(1);
    ++runs;
  });
  sleepMs(20);
  EXPECT_FALSE(worker.finished());
  release = true;
  worker.join();
  EXPECT_TRUE(worker.finished());
  EXPECT_EQ(runs, 1);
  worker.join();  // a second join is harmless
}

TEST(Worker, DestructionWaitsForTheBody) {
  std::atomic<bool> done{false};
  {
    Worker worker([&] {
      sleepMs(30);
      done = true;
    });
  }
  EXPECT_TRUE(done);
}

TEST(Worker, HasAWaitHandleOnlyOnWindows) {
  Worker worker([] {});
#ifdef _WIN32
  EXPECT_NE(worker.waitHandle(), nullptr);
#else
  EXPECT_EQ(worker.waitHandle(), nullptr);
#endif
}

TEST(Clock, SleepingMovesTheMonotonicClock) {
  std::uint64_t before = monotonicMs();
  sleepMs(50);
  std::uint64_t elapsed = monotonicMs() - before;
  EXPECT_GE(elapsed, 40u);  // Windows' tick has a 10-16 ms grain
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace qovra::platform
