// A window timer component: ticks every Interval ms while Enabled.
#pragma once
#include <functional>
#include "platform/Clock.h"
#include "ui/Toolkit.h"

namespace ui {

class Timer {
 public:
  Timer(Toolkit& toolkit, platform::Timers& timers, unsigned intervalMs, bool enabled);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool enabled() const { return enabled_; }
  void setEnabled(bool e);
  unsigned interval() const { return interval_; }
  void setInterval(unsigned ms);

  std::function<void()> OnTimer;

 private:
  void restart();
  Toolkit& toolkit_;
  platform::Timers& timers_;
  unsigned interval_;
  bool enabled_;
  platform::TimerId id_ = 0;
};

}  // namespace ui
