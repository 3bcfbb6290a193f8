#include "ui/Timer.h"

namespace ui {

Timer::Timer(Toolkit& toolkit, platform::Timers& timers, unsigned intervalMs, bool enabled)
    : toolkit_(toolkit), timers_(timers), interval_(intervalMs), enabled_(enabled) {
  restart();
}

Timer::~Timer() {
  if (id_) timers_.stop(id_);
}

void Timer::setEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  restart();
}

void Timer::setInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  restart();
}

void Timer::restart() {
  if (id_) timers_.stop(id_);
  id_ = 0;
  if (enabled_ && interval_ > 0)
    id_ = timers_.start(interval_, [this] { toolkit_.dispatch(OnTimer); });
}

}  // namespace ui
