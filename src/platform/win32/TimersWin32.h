// Time and window timers on kernel32/user32. Timers tick from the message
// loop of the thread that built the service (the GUI thread).
#pragma once
#include <windows.h>
#include <map>
#include <memory>
#include "platform/Clock.h"
#include "platform/win32/MessageWindow.h"

namespace platform::win32 {

class Clock : public platform::Clock {
 public:
  std::uint64_t nowMs() override { return GetTickCount64(); }
  void sleep(unsigned ms) override { Sleep(ms); }
};

class Timers : public platform::Timers {
 public:
  Timers();
  ~Timers() override;

  TimerId start(unsigned intervalMs, std::function<void()> tick) override;
  void stop(TimerId id) override;
  std::size_t running() const { return ticks_.size(); }

 private:
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  MessageWindow window_;
  // Shared so that a tick that stops its own timer keeps running safely.
  std::map<TimerId, std::shared_ptr<std::function<void()>>> ticks_;
  TimerId nextId_ = 1;
};

}  // namespace platform::win32
