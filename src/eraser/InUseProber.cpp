#include "eraser/InUseProber.h"

namespace eraser {

InUseProber::InUseProber(platform::Files& files, const std::atomic<bool>& stopped, int threads)
    : files_(files), stopped_(stopped), threadCount_(threads) {}

InUseProber::~InUseProber() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void InUseProber::ahead(const std::string& path) {
  {
    std::lock_guard lock(mutex_);
    if (!answers_.try_emplace(path).second) return;
    queue_.push_back(path);
    if (threads_.empty())
      for (int i = 0; i < threadCount_; ++i) threads_.emplace_back([this] { serve(); });
  }
  changed_.notify_one();
}

bool InUseProber::inUse(const std::string& path) {
  std::unique_lock lock(mutex_);
  auto it = answers_.find(path);
  // Not told ahead, or still waiting in the queue: asked here at once
  // rather than behind the paths queued before it.
  if (it == answers_.end() || it->second.state == State::Queued) {
    if (it != answers_.end()) it->second.state = State::Probing;
    lock.unlock();
    const bool held = files_.inUse(path);
    lock.lock();
    answers_.erase(path);
    return held;
  }
  // Being asked on a prober thread: its answer is awaited. Paths told ahead
  // meanwhile may rehash the map, so the path is looked up afresh.
  changed_.wait(lock, [&] {
    it = answers_.find(path);
    return it == answers_.end() || it->second.state == State::Answered;
  });
  if (it == answers_.end()) {  // another walk took the answer first
    lock.unlock();
    return files_.inUse(path);
  }
  const bool held = it->second.held;
  answers_.erase(it);
  return held;
}

void InUseProber::serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return quit_ || !queue_.empty(); });
    if (quit_) return;
    const std::string path = std::move(queue_.front());
    queue_.pop_front();
    auto it = answers_.find(path);
    // Taken by inUse() meanwhile, or the count was stopped: nothing to ask.
    if (it == answers_.end() || it->second.state != State::Queued) continue;
    if (stopped_) {
      answers_.erase(it);
      continue;
    }
    it->second.state = State::Probing;
    lock.unlock();
    const bool held = files_.inUse(path);
    lock.lock();
    // The map may have rehashed while unlocked: look the path up again.
    if (auto again = answers_.find(path); again != answers_.end()) again->second = {State::Answered, held};
    changed_.notify_all();
  }
}

}  // namespace eraser
