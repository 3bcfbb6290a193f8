#include "guard/RegWatches.h"

namespace guard {

TRegWatches::TRegWatches(platform::Registry& registry, platform::GuiThread& gui, platform::Hive root,
                         std::string path, std::function<void()> onChange)
    : registry_(registry), gui_(gui), root_(root), path_(std::move(path)), onChange_(std::move(onChange)) {}

TRegWatches::~TRegWatches() { Terminate(); }

void TRegWatches::Start() {
  if (thread_.joinable()) return;
  running_ = true;
  thread_ = std::thread([this] {
    Execute();
    running_ = false;
  });
}

void TRegWatches::Terminate() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  {
    std::lock_guard lock(mutex_);
    if (current_) current_->cancel();
  }
  // A report the thread is handing over meanwhile is served (and skipped).
  gui_.serveUntil([this] { return !running_; });
  thread_.join();
}

std::string TRegWatches::lastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

// Nothing the handler throws may end the thread: the watch goes on.
void TRegWatches::report() {
  try {
    gui_.sendSync([this] {
      if (!stopping_) onChange_();
    });
  } catch (...) {
  }
}

void TRegWatches::Execute() {
  const auto cut = path_.rfind('\\');
  const std::string watched = cut == std::string::npos ? path_ : path_.substr(0, cut);
  std::unique_ptr<platform::KeyWatch> watch = registry_.watch(root_, watched);
  if (!watch) {
    std::lock_guard lock(mutex_);
    lastError_ = "Unable to open registry key " + watched;
    return;
  }
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    current_ = watch.get();
  }
  while (!stopping_ && watch->arm() && watch->wait()) {
    if (!stopping_) report();
  }
  std::lock_guard lock(mutex_);
  current_ = nullptr;
}

}  // namespace guard
