// Hand-over to the GUI thread for worker threads.
#pragma once
#include <functional>

namespace platform {

class GuiThread {
 public:
  virtual ~GuiThread() = default;
  // Runs fn on the GUI thread and returns when it has run.
  virtual void sendSync(const std::function<void()>& fn) = 0;
};

}  // namespace platform
