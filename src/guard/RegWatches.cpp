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

std::unique_ptr<platform::KeyWatch> TRegWatches::open(bool& onKey) {
  onKey = true;
  if (auto watch = registry_.watch(root_, path_)) return watch;
  onKey = false;
  const auto cut = path_.rfind('\\');
  return cut == std::string::npos ? nullptr : registry_.watch(root_, path_.substr(0, cut));
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
  bool keyWasThere = true;
  while (!stopping_) {
    bool onKey = false;
    std::unique_ptr<platform::KeyWatch> watch = open(onKey);
    if (!watch) {
      std::lock_guard lock(mutex_);
      lastError_ = "Unable to open registry key " + path_;
      return;
    }
    // The key came back since it was last seen: that is a change of it.
    if (onKey && !keyWasThere) report();
    keyWasThere = onKey;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      current_ = watch.get();
    }
    // A key deleted between the opening and the arming is opened again.
    const bool changed = watch->arm() && watch->wait();
    {
      std::lock_guard lock(mutex_);
      current_ = nullptr;
    }
    if (stopping_) return;
    if (changed && onKey) report();
  }
}

}  // namespace guard
