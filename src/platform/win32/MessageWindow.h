// A hidden window that hands its messages to a callback. The services that
// need a window of their own (timers, the tray icon, the GUI-thread hand-over)
// each own one, created on the thread whose message loop should serve it.
#pragma once
#include <windows.h>
#include <functional>

namespace platform::win32 {

class MessageWindow {
 public:
  // Returns true with `result` set when it handled the message; otherwise
  // the message goes to DefWindowProc.
  using Handler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)>;

  enum class Kind {
    MessageOnly,  // HWND_MESSAGE parent: never visible, gets no broadcasts
    TopLevel,     // hidden top-level window: also sees broadcasts such as WM_QUERYENDSESSION
  };

  MessageWindow(Kind kind, Handler handler);
  // A hidden top-level window of its own class, with no style and no size.
  MessageWindow(const char* className, Handler handler);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void create(const char* className, DWORD style, HWND parent);

  Handler handler_;
  HWND hwnd_ = nullptr;
};

}  // namespace platform::win32
