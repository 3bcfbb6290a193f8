// Push buttons: the mouse handling every pressable button shares, and the
// captioned push button drawn in the toolkit's flat style.
#include <windows.h>
#include <windowsx.h>
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"
#include "ui/win32/Theme.h"

namespace ui::win32 {

LRESULT PressableWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&tme);
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      if (captured_) {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const bool inside = PtInRect(&rc, pt) != 0;
        if (inside != pressed_) {
          pressed_ = inside;
          InvalidateRect(hwnd_, nullptr, FALSE);
        }
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(hwnd_);
      captured_ = pressed_ = true;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      const bool click = captured_ && pressed_;
      if (captured_) ReleaseCapture();
      if (click) toolkit_.dispatch(control_.OnClick);
      return 0;
    }
    case WM_CAPTURECHANGED:
      captured_ = pressed_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return 0;
    default: return ChildWindow::handle(msg, wp, lp);
  }
}

void ButtonWindow::paint(HDC dc, const RECT& rc) {
  const bool enabled = button_.enabled();
  const bool down = enabled && pressed();
  RECT face = rc;
  if (enabled && (hot() || captured())) {
    fillRect(dc, rc, down ? theme::ButtonPressedFill : theme::ButtonHotFill);
    frameRect(dc, rc, theme::ButtonHotFrame);
  } else {
    fillRect(dc, rc, colorRef(button_.color()));
    DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);
  }
  RECT text = rc;
  if (down) OffsetRect(&text, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  const std::string& caption = button_.caption();
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace ui::win32
