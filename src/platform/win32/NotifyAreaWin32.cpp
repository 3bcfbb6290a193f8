#include "platform/win32/NotifyAreaWin32.h"

namespace platform::win32 {

std::optional<platform::TrayMouse> trayMouseOf(LPARAM lp) {
  using platform::TrayMouse;
  switch (LOWORD(lp)) {
    case WM_LBUTTONDOWN: return TrayMouse::LeftDown;
    case WM_LBUTTONUP: return TrayMouse::LeftUp;
    case WM_LBUTTONDBLCLK: return TrayMouse::LeftDoubleClick;
    case WM_RBUTTONDOWN: return TrayMouse::RightDown;
    case WM_RBUTTONUP: return TrayMouse::RightUp;
    case WM_MOUSEMOVE: return TrayMouse::Move;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return TrayMouse::Middle;
    default: return std::nullopt;
  }
}

NotifyArea::NotifyArea(TrayIcons icons)
    : icons_(std::move(icons)),
      window_(MessageWindow::Kind::TopLevel,
              [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return onMessage(msg, wp, lp, result); }) {}

NotifyArea::~NotifyArea() {
  if (added_) remove();
}

void NotifyArea::send(DWORD message, const platform::TrayRecord& r) {
  last_ = makeTrayRecord(window_.hwnd(), r, icons_);
  lastAccepted_ = Shell_NotifyIconA(message, &last_) != FALSE;
}

void NotifyArea::add(const platform::TrayRecord& r) {
  send(NIM_ADD, r);
  added_ = true;
}

void NotifyArea::modify(const platform::TrayRecord& r) { send(NIM_MODIFY, r); }

void NotifyArea::remove() {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = window_.hwnd();
  nid.uID = kTrayIconId;
  lastAccepted_ = Shell_NotifyIconA(NIM_DELETE, &nid) != FALSE;
  added_ = false;
}

void NotifyArea::setMouseHandler(std::function<void(platform::TrayMouse)> handler) { handler_ = std::move(handler); }

bool NotifyArea::cursorPos(platform::Point& p) {
  POINT pt;
  if (!GetCursorPos(&pt)) return false;
  p.x = pt.x;
  p.y = pt.y;
  return true;
}

bool NotifyArea::onMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (msg == WM_QUERYENDSESSION) {
    result = 1;  // the user may log off or shut down
    return true;
  }
  if (msg != kTrayCallbackMessage) return false;
  result = 0;
  if (auto mouse = trayMouseOf(lp)) {
    auto handler = handler_;  // the handler may replace itself
    if (handler) handler(*mouse);
  }
  return true;
}

}  // namespace platform::win32
