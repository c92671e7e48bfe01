// A worker as a Windows thread, so the window thread can wait on its handle with
// MsgWaitForMultipleObjects and keep pumping messages meanwhile.
#include <windows.h>

#include <atomic>

#include "platform/worker.h"

namespace qovra::platform {

struct Worker::State {
  std::function<void()> body;
  std::atomic<bool> finished{false};
  HANDLE thread = nullptr;
};

namespace {

DWORD WINAPI runWorker(void* parameter) {
  auto* state = static_cast<Worker::State*>(parameter);
  state->body();
  state->finished.store(true, std::memory_order_release);
  return 0;
}

}  // namespace

Worker::Worker(std::function<void()> body) : state_(std::make_unique<State>()) {
  state_->body = std::move(body);
  state_->thread = CreateThread(nullptr, 0, runWorker, state_.get(), 0, nullptr);
  if (!state_->thread) {  // no thread to be had: run in place rather than lose the work
    state_->body();
    state_->finished.store(true);
  }
}

Worker::~Worker() {
  join();
  if (state_->thread) CloseHandle(state_->thread);
}

bool Worker::finished() const { return state_->finished.load(std::memory_order_acquire); }

void Worker::join() {
  if (state_->thread) WaitForSingleObject(state_->thread, INFINITE);
}

void* Worker::waitHandle() const { return state_->thread; }

}  // namespace qovra::platform
