// Hand-over to the GUI thread for worker threads.
#pragma once
#include <functional>

namespace platform {

class GuiThread {
 public:
  virtual ~GuiThread() = default;
  // Runs fn on the GUI thread and returns when it has run.
  virtual void sendSync(const std::function<void()>& fn) = 0;
  // On the GUI thread: runs what workers hand over until done() answers
  // true, so that a worker it waits for is never left blocked in sendSync.
  virtual void serveUntil(const std::function<bool()>& done) = 0;
};

}  // namespace platform
