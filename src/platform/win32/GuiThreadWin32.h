// Hand-over to the GUI thread: a worker's function is carried by a sent
// message to a hidden window of the thread that built this service.
#pragma once
#include <windows.h>
#include "platform/GuiThread.h"
#include "platform/win32/MessageWindow.h"

namespace platform::win32 {

class GuiThread : public platform::GuiThread {
 public:
  GuiThread();  // on the GUI thread
  // Carried by `message` to a hidden top-level window of class `windowClass`.
  GuiThread(const char* windowClass, UINT message);
  // An exception thrown by fn is rethrown to the caller of sendSync.
  void sendSync(const std::function<void()>& fn) override;
  void serveUntil(const std::function<bool()>& done) override;

 private:
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  DWORD guiThread_;
  UINT message_;
  MessageWindow window_;
};

}  // namespace platform::win32
