#include "platform/win32/MessageWindow.h"

namespace platform::win32 {

namespace {

const char kClassName[] = "TarnwickMessageWindow";

void registerClass(const char* className) {
  WNDCLASSA existing{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), className, &existing)) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;  // replaced per window once it is created
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  RegisterClassA(&wc);
}

}  // namespace

MessageWindow::MessageWindow(Kind kind, Handler handler) : handler_(std::move(handler)) {
  create(kClassName, WS_POPUP, kind == Kind::MessageOnly ? HWND_MESSAGE : nullptr);
}

MessageWindow::MessageWindow(const char* className, Handler handler) : handler_(std::move(handler)) {
  create(className, 0, nullptr);
}

void MessageWindow::create(const char* className, DWORD style, HWND parent) {
  registerClass(className);
  hwnd_ = CreateWindowExA(0, className, "", style, 0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
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
