#include "platform/win32/TimersWin32.h"

namespace platform::win32 {

Timers::Timers()
    : window_(MessageWindow::Kind::MessageOnly,
              [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return onMessage(msg, wp, lp, result); }) {}

Timers::~Timers() {
  for (auto& entry : ticks_) KillTimer(window_.hwnd(), entry.first);
}

TimerId Timers::start(unsigned intervalMs, std::function<void()> tick) {
  TimerId id = nextId_++;
  if (nextId_ == 0) nextId_ = 1;  // 0 would mean "no timer"
  if (!SetTimer(window_.hwnd(), id, intervalMs, nullptr)) return 0;
  ticks_[id] = std::make_shared<std::function<void()>>(std::move(tick));
  return id;
}

void Timers::stop(TimerId id) {
  auto it = ticks_.find(id);
  if (it == ticks_.end()) return;
  KillTimer(window_.hwnd(), id);
  ticks_.erase(it);
}

bool Timers::onMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  if (msg != WM_TIMER) return false;
  result = 0;
  auto it = ticks_.find(static_cast<TimerId>(wp));
  if (it == ticks_.end()) return true;  // stopped after the tick was queued
  std::shared_ptr<std::function<void()>> tick = it->second;
  if (*tick) (*tick)();
  return true;
}

}  // namespace platform::win32
