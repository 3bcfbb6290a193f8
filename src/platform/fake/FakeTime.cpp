#include "platform/fake/FakeTime.h"

namespace fake {

platform::TimerId FakeTime::start(unsigned intervalMs, std::function<void()> tick) {
  const platform::TimerId id = next_++;
  timers_[id] = Entry{intervalMs, now_ + intervalMs, std::move(tick)};
  return id;
}

void FakeTime::advance(std::uint64_t ms) {
  const std::uint64_t end = now_ + ms;
  for (;;) {
    auto due = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
      if (it->second.due <= end && (due == timers_.end() || it->second.due < due->second.due)) due = it;
    if (due == timers_.end()) break;
    if (due->second.due > now_) now_ = due->second.due;
    const platform::TimerId id = due->first;
    auto tick = due->second.tick;  // the tick may stop or restart its timer
    tick();
    auto again = timers_.find(id);
    // Only one tick is ever pending: time spent in the tick is not caught up.
    if (again != timers_.end()) again->second.due = now_ + again->second.interval;
  }
  // A tick that slept may have carried time past the end.
  if (end > now_) now_ = end;
}

}  // namespace fake
