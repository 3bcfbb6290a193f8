// TRegWatches: the worker thread that watches a registry key and everything
// beneath it, and reports each change to the GUI thread, waiting there until
// the report has been handled. It watches the key above the watched one,
// with everything beneath it: a change of the key's values, the key's
// deletion and its return all show there, whoever makes them, whereas a
// watch on the key itself is not told that the key was deleted and names a
// deleted key from then on. A change elsewhere under that key is reported
// too; the handler looks at what it guards.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include "platform/GuiThread.h"
#include "platform/Registry.h"

namespace guard {

class TRegWatches {
 public:
  // `onChange` runs on the GUI thread, once per change seen.
  TRegWatches(platform::Registry& registry, platform::GuiThread& gui, platform::Hive root, std::string path,
              std::function<void()> onChange);
  ~TRegWatches();
  TRegWatches(const TRegWatches&) = delete;
  TRegWatches& operator=(const TRegWatches&) = delete;

  void Start();
  // On the GUI thread: ends the thread and returns once it has ended; no
  // report runs after it returns.
  void Terminate();
  bool running() const { return running_; }
  // Why the thread ended by itself ("" while it runs or when it was ended).
  std::string lastError() const;

 private:
  void Execute();
  void report();

  platform::Registry& registry_;
  platform::GuiThread& gui_;
  const platform::Hive root_;
  const std::string path_;
  const std::function<void()> onChange_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> running_{false};
  mutable std::mutex mutex_;  // guards current_ and lastError_
  platform::KeyWatch* current_ = nullptr;
  std::string lastError_;
};

}  // namespace guard
