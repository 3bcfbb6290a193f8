#include <windows.h>
#include <windowsx.h>
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"

namespace ui::win32 {

WindowPeer::~WindowPeer() {
  detached_ = true;
  if (hwnd_) DestroyWindow(hwnd_);
}

void WindowPeer::createWindow(const char* cls, const char* text, DWORD style, DWORD exStyle, int x, int y, int w,
                              int h, HWND parent) {
  CreateWindowExA(exStyle, cls, text, style, x, y, w, h, parent, nullptr, toolkit_.instance(), this);
}

LRESULT CALLBACK WindowPeer::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* peer = static_cast<WindowPeer*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    peer->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
  }
  auto* peer = reinterpret_cast<WindowPeer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!peer) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    peer->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  if (peer->detached_) return DefWindowProcA(hwnd, msg, wp, lp);
  // Nothing may unwind through the window system; handlers are already
  // guarded by dispatch(), this catches the realisation's own failures.
  try {
    return peer->handle(msg, wp, lp);
  } catch (...) {
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

LRESULT WindowPeer::handle(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

void WindowPeer::modelDestroyed() {
  detached_ = true;
  if (hwnd_) DestroyWindow(hwnd_);
  toolkit_.release(this);  // deletes this peer: nothing may follow
}

void WindowPeer::paintBuffered(const std::function<void(HDC, const RECT&)>& paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w > 0 && h > 0) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    SelectObject(mem, toolkit_.font());
    paint(mem, rc);
    BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
  }
  EndPaint(hwnd_, &ps);
}

void WindowPeer::dispatchMouseDown(ui::MouseButton button, LPARAM lp) {
  if (!control_.OnMouseDown) return;
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  ui::Control& c = control_;
  toolkit_.dispatch([&c, button, x, y] {
    if (c.OnMouseDown) c.OnMouseDown(button, x, y);
  });
}

// ---------------------------------------------------------------------------

void ChildWindow::create(HWND parent) {
  shownApplied_ = control_.visible();
  enabledApplied_ = control_.enabled();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (shownApplied_) style |= WS_VISIBLE;
  if (!enabledApplied_) style |= WS_DISABLED;
  createWindow(windowClass(), control_.name().c_str(), style, 0, control_.left(), control_.top(), control_.width(),
               control_.height(), parent);
}

void ChildWindow::sync() {
  if (!hwnd_) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  if (r.left != control_.left() || r.top != control_.top() || r.right - r.left != control_.width() ||
      r.bottom - r.top != control_.height())
    SetWindowPos(hwnd_, nullptr, control_.left(), control_.top(), control_.width(), control_.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (control_.enabled() != enabledApplied_) {
    enabledApplied_ = control_.enabled();
    EnableWindow(hwnd_, enabledApplied_);
  }
  if (control_.visible() != shownApplied_) {
    shownApplied_ = control_.visible();
    ShowWindow(hwnd_, shownApplied_ ? SW_SHOWNA : SW_HIDE);
  }
  synced();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void ChildWindow::repaint() {
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

LRESULT ChildWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      paintBuffered([this](HDC dc, const RECT& rc) { paint(dc, rc); });
      return 0;
    case WM_LBUTTONDOWN: {
      Win32Toolkit& tk = toolkit_;  // the handler may end this peer
      leftDown_ = true;
      dispatchMouseDown(ui::MouseButton::Left, lp);
      // A handler that started a drag has had the button's release.
      if (tk.alive(this) && GetKeyState(VK_LBUTTON) >= 0) leftDown_ = false;
      return 0;
    }
    case WM_RBUTTONDOWN: dispatchMouseDown(ui::MouseButton::Right, lp); return 0;
    case WM_MBUTTONDOWN: dispatchMouseDown(ui::MouseButton::Middle, lp); return 0;
    case WM_LBUTTONUP:
      if (leftDown_ && control_.OnClick) {
        leftDown_ = false;
        toolkit_.dispatch(control_.OnClick);
        return 0;
      }
      leftDown_ = false;
      return 0;
    default: return WindowPeer::handle(msg, wp, lp);
  }
}

void ChildWindow::paint(HDC dc, const RECT& rc) {
  HBRUSH fill = CreateSolidBrush(colorRef(control_.color()));
  FillRect(dc, &rc, fill);
  DeleteObject(fill);
  runPaintEvent(dc);
}

void ChildWindow::runPaintEvent(HDC dc) {
  if (!control_.OnPaint) return;
  GdiCanvas canvas(dc, toolkit_.font());
  ui::Control& c = control_;
  const ui::Rect r = c.clientRect();
  toolkit_.dispatch([&] {
    if (c.OnPaint) c.OnPaint(canvas, r);
  });
}

// ---------------------------------------------------------------------------

namespace {

// One-pixel bevel along the edge of rc: light top-left and dark bottom-right
// when raised, the other way round when lowered.
void drawBevel(HDC dc, RECT& rc, ui::Bevel bevel) {
  if (bevel == ui::Bevel::None) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF topLeft = bevel == ui::Bevel::Raised ? light : dark;
  const COLORREF bottomRight = bevel == ui::Bevel::Raised ? dark : light;
  auto line = [dc](int x, int y, int w, int h, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT r{x, y, x + w, y + h};
    FillRect(dc, &r, b);
    DeleteObject(b);
  };
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  line(rc.left, rc.top, w, 1, topLeft);
  line(rc.left, rc.top, 1, h, topLeft);
  line(rc.left, rc.bottom - 1, w, 1, bottomRight);
  line(rc.right - 1, rc.top, 1, h, bottomRight);
  InflateRect(&rc, -1, -1);
}

}  // namespace

void PanelWindow::paint(HDC dc, const RECT& rc) {
  HBRUSH fill = CreateSolidBrush(colorRef(panel_.color()));
  FillRect(dc, &rc, fill);
  DeleteObject(fill);
  RECT edge = rc;
  drawBevel(dc, edge, panel_.bevelOuter);
  drawBevel(dc, edge, panel_.bevelInner);
  runPaintEvent(dc);
}

}  // namespace ui::win32
