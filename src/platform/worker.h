// A worker thread. The window thread waits for one with ui::Toolkit::waitForWorker,
// which keeps processing window messages until the worker has ended.
#pragma once

#include <functional>
#include <memory>

namespace qovra::platform {

class Worker {
 public:
  explicit Worker(std::function<void()> body);
  ~Worker();  // joins
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  bool finished() const;
  void join();
  // The OS handle to wait on (a HANDLE on Windows); null on other platforms.
  void* waitHandle() const;

  struct State;  // the backend's own (public so its thread entry can name it)

 private:
  std::unique_ptr<State> state_;
};

}  // namespace qovra::platform
