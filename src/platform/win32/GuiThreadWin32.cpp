#include "platform/win32/GuiThreadWin32.h"
#include <exception>

namespace platform::win32 {

namespace {

struct Call {
  const std::function<void()>* fn;
  std::exception_ptr error;
};

}  // namespace

GuiThread::GuiThread()
    : guiThread_(GetCurrentThreadId()),
      message_(RegisterWindowMessageA("TarnwickGuiThreadSendSync")),
      window_(MessageWindow::Kind::MessageOnly,
              [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return onMessage(msg, wp, lp, result); }) {}

GuiThread::GuiThread(const char* windowClass, UINT message)
    : guiThread_(GetCurrentThreadId()),
      message_(message),
      window_(windowClass,
              [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return onMessage(msg, wp, lp, result); }) {}

void GuiThread::sendSync(const std::function<void()>& fn) {
  if (!fn) return;
  if (GetCurrentThreadId() == guiThread_) {
    fn();
    return;
  }
  Call call{&fn, nullptr};
  SendMessageA(window_.hwnd(), message_, 0, reinterpret_cast<LPARAM>(&call));
  // An exception must not unwind through the window procedure and the
  // system's message dispatch; it is carried back and rethrown here.
  if (call.error) std::rethrow_exception(call.error);
}

// Sent messages are delivered while the thread waits for them; posted ones
// stay queued for the message loop.
void GuiThread::serveUntil(const std::function<bool()>& done) {
  while (!done()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

bool GuiThread::onMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (msg != message_ || message_ == 0) return false;
  auto* call = reinterpret_cast<Call*>(lp);
  try {
    (*call->fn)();
  } catch (...) {
    call->error = std::current_exception();
  }
  result = 1;
  return true;
}

}  // namespace platform::win32
