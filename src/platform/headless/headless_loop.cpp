// The message loop of the headless toolkit on its virtual clock: posted actions, timers,
// scheduled actions, modal windows and the wait for a worker.
#include <algorithm>
#include <limits>

#include "platform/clock.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/worker.h"

namespace qovra::ui {

void HeadlessToolkit::post(std::function<void()> action) { posted_.push_back(std::move(action)); }

void HeadlessToolkit::schedule(std::uint64_t delayMs, std::function<void()> action) {
  scheduled_.push_back({now_ + delayMs, nextOrder_++, std::move(action)});
}

// A new period restarts the count from now, as SetTimer does; 0 stops the timer.
void HeadlessToolkit::setTimer(ControlRecord& timer, int period) {
  timer.timerPeriod = std::max(0, period);
  timer.dueMs = now_ + static_cast<std::uint64_t>(timer.timerPeriod);
  timer.dueOrder = nextOrder_++;
}

// Each action leaves the queue before it runs, so one that processes messages itself
// never sees itself again.
bool HeadlessToolkit::deliverPosted() {
  bool any = false;
  while (!posted_.empty() && !quitPending_) {
    std::function<void()> action = std::move(posted_.front());
    posted_.pop_front();
    action();
    any = true;
  }
  return any;
}

namespace {

struct Due {
  std::uint64_t ms = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t order = std::numeric_limits<std::uint64_t>::max();
  ControlId timer = 0;                 // a timer tick, or
  std::size_t scheduled = SIZE_MAX;    // a scheduled action
  bool before(std::uint64_t otherMs, std::uint64_t otherOrder) const {
    return otherMs < ms || (otherMs == ms && otherOrder < order);
  }
};

}  // namespace

bool HeadlessToolkit::runNextDue(std::uint64_t limit) {
  if (quitPending_) return false;
  Due next;
  for (const ControlId id : timers_) {
    const ControlRecord* r = rec(id);
    if (!r || r->timerPeriod <= 0) continue;
    const ControlRecord* window = rec(r->window);
    if (!window || window->destroyed || !next.before(r->dueMs, r->dueOrder)) continue;
    next = Due{r->dueMs, r->dueOrder, id, SIZE_MAX};
  }
  for (std::size_t i = 0; i < scheduled_.size(); ++i) {
    if (next.before(scheduled_[i].dueMs, scheduled_[i].order)) next = Due{scheduled_[i].dueMs, scheduled_[i].order, 0, i};
  }
  if (next.ms > limit) return false;
  now_ = std::max(now_, next.ms);
  if (next.timer != 0) {
    // The next tick is set before this one runs, so a handler that sets a new period
    // (or stops the timer) has the last word. Ticks missed while the clock jumped are
    // folded into one, as Windows does.
    ControlRecord& timer = *rec(next.timer);
    const auto period = static_cast<std::uint64_t>(timer.timerPeriod);
    timer.dueMs = next.ms + period;
    if (timer.dueMs <= now_) timer.dueMs = now_ + period - (now_ - next.ms) % period;
    timer.dueOrder = nextOrder_++;
    raise(EventKind::TimerTick, next.timer);
  } else {
    std::function<void()> action = std::move(scheduled_[next.scheduled].action);
    scheduled_.erase(scheduled_.begin() + static_cast<std::ptrdiff_t>(next.scheduled));
    action();
  }
  return true;
}

void HeadlessToolkit::processPendingMessages() {
  deliverPosted();
  while (runNextDue(now_)) deliverPosted();
}

void HeadlessToolkit::advanceTime(std::uint64_t ms) {
  const std::uint64_t target = now_ + ms;
  deliverPosted();
  while (runNextDue(target)) deliverPosted();
  now_ = std::max(now_, target);
}

void HeadlessToolkit::quit(int exitCode) {
  quitPending_ = true;
  exitCode_ = exitCode;
}

bool HeadlessToolkit::anyWindowAlive() const {
  return std::any_of(records_.begin(), records_.end(),
                     [](const auto& entry) { return entry.second->kind == Kind::Window && !entry.second->destroyed; });
}

std::optional<std::uint64_t> HeadlessToolkit::nextDueMs() const {
  std::optional<std::uint64_t> next;
  auto consider = [&](std::uint64_t ms) { next = next ? std::min(*next, ms) : ms; };
  for (const ControlId id : timers_) {
    const ControlRecord* r = rec(id);
    const ControlRecord* window = r ? rec(r->window) : nullptr;
    if (r && r->timerPeriod > 0 && window && !window->destroyed) consider(r->dueMs);
  }
  for (const Scheduled& s : scheduled_) consider(s.dueMs);
  return next;
}

// The loop of the program (modalWindow 0) or of one modal window, which ends with it.
HeadlessToolkit::LoopEnd HeadlessToolkit::runLoop(ControlId modalWindow) {
  const std::uint64_t deadline = now_ + loopLimitMs;
  for (;;) {
    if (quitPending_) return LoopEnd::Quit;
    if (modalWindow != 0 && !windowRecord(modalWindow)) return LoopEnd::None;
    if (!anyWindowAlive()) return LoopEnd::NoWindows;
    if (deliverPosted()) continue;
    const std::optional<std::uint64_t> due = nextDueMs();
    if (!due) return LoopEnd::Idle;
    if (*due > deadline) {
      now_ = std::max(now_, deadline);
      return LoopEnd::TimeLimit;
    }
    runNextDue(*due);
  }
}

int HeadlessToolkit::runMessageLoop() {
  lastLoopEnd_ = runLoop(0);
  if (lastLoopEnd_ != LoopEnd::Quit) return 0;
  quitPending_ = false;  // a later loop (a test's) starts afresh
  return exitCode_;
}

// The owner is disabled while the modal window is open and active again afterwards. A
// modal window that nothing more can close is a test's oversight: it is kept as a problem
// and the window is destroyed, so the caller's own state stays whole.
void HeadlessToolkit::showModal(ControlId window) {
  ControlRecord* w = windowRecord(window);
  if (!w) return;
  w->modal = true;
  const ControlId owner = w->owner;
  ControlRecord* ownerRecord = windowRecord(owner);
  const bool ownerWasEnabled = ownerRecord && ownerRecord->enabled;
  if (ownerRecord) ownerRecord->enabled = false;
  if (!modalScripts_.empty()) {
    auto script = std::move(modalScripts_.front());
    modalScripts_.pop_front();
    post([script = std::move(script), window] { script(window); });
  }
  setVisible(*w, true);
  const LoopEnd end = runLoop(window);
  if (windowRecord(window)) {
    if (end != LoopEnd::Quit) problem("modal window " + nameOf(window) + " was left open with nothing more to happen");
    destroyWindowNow(window);
  }
  ownerRecord = windowRecord(owner);
  if (!ownerRecord) return;
  ownerRecord->enabled = ownerRecord->enabled || ownerWasEnabled;
  if (isShown(owner) && !quitPending_) makeActive(owner);
}

void HeadlessToolkit::waitForWorker(platform::Worker& worker) {
  std::uint64_t last = platform::monotonicMs();
  while (!worker.finished() && !quitPending_) {
    processPendingMessages();
    platform::sleepMs(1);
    const std::uint64_t real = platform::monotonicMs();
    advanceTime(real - last);
    last = real;
  }
  worker.join();
}

}  // namespace qovra::ui
