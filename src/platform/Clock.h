// Time and window timers. Under Win32 timers tick from the message loop; in
// tests a virtual clock fires them as time is advanced.
#pragma once
#include <cstdint>
#include <functional>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t nowMs() = 0;
  // Blocks the calling thread; no timer ticks while it sleeps.
  virtual void sleep(unsigned ms) = 0;
};

using TimerId = std::uint32_t;

class Timers {
 public:
  virtual ~Timers() = default;
  // Starts a periodic timer. At most one tick of a timer is ever pending.
  virtual TimerId start(unsigned intervalMs, std::function<void()> tick) = 0;
  virtual void stop(TimerId id) = 0;
};

}  // namespace platform
