#include "platform/win32/MessageWindow.h"

namespace platform::win32 {

namespace {

const char kClassName[] = "TarnwickMessageWindow";

ATOM registerClass() {
  static const ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window once it is created
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc);
  }();
  return atom;
}

}  // namespace

MessageWindow::MessageWindow(Kind kind, Handler handler) : handler_(std::move(handler)) {
  registerClass();
  HWND parent = kind == Kind::MessageOnly ? HWND_MESSAGE : nullptr;
  hwnd_ = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr),
                          nullptr);
  if (!hwnd_) return;
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageWindow::proc));
}

MessageWindow::~MessageWindow() {
  if (!hwnd_) return;
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageWindow::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && self->handler_) {
    LRESULT result = 0;
    if (self->handler_(msg, wp, lp, result)) return result;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace platform::win32
