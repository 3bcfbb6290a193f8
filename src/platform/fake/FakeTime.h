// Virtual time for native tests: timers fire as the test advances the clock;
// a blocking sleep moves time on without any tick.
#pragma once
#include <functional>
#include <map>
#include "platform/Clock.h"

namespace fake {

class FakeTime : public platform::Clock, public platform::Timers {
 public:
  std::uint64_t nowMs() override { return now_; }
  void sleep(unsigned ms) override {
    now_ += ms;
    slept += ms;
  }
  platform::TimerId start(unsigned intervalMs, std::function<void()> tick) override;
  void stop(platform::TimerId id) override { timers_.erase(id); }

  // Moves time on by ms, firing due ticks in order of their due time.
  void advance(std::uint64_t ms);
  std::size_t running() const { return timers_.size(); }
  std::uint64_t slept = 0;

 private:
  struct Entry {
    unsigned interval;
    std::uint64_t due;
    std::function<void()> tick;
  };
  std::uint64_t now_ = 0;
  platform::TimerId next_ = 1;
  std::map<platform::TimerId, Entry> timers_;
};

}  // namespace fake
