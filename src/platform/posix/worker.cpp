#include <atomic>
#include <thread>

#include "platform/worker.h"

namespace qovra::platform {

struct Worker::State {
  std::atomic<bool> finished{false};
  std::thread thread;
};

Worker::Worker(std::function<void()> body) : state_(std::make_unique<State>()) {
  State* state = state_.get();
  state->thread = std::thread([state, body = std::move(body)] {
    body();
    state->finished.store(true, std::memory_order_release);
  });
}

Worker::~Worker() { join(); }

bool Worker::finished() const { return state_->finished.load(std::memory_order_acquire); }

void Worker::join() {
  if (state_->thread.joinable()) state_->thread.join();
}

void* Worker::waitHandle() const { return nullptr; }

}  // namespace qovra::platform
