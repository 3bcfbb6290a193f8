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

namespace {

bool isPushButton(HWND w) {
  char name[64] = "";
  return w && GetClassNameA(w, name, sizeof name) && lstrcmpiA(name, classes::Button) == 0;
}

}  // namespace

void ButtonWindow::click() { toolkit_.dispatch(control_.OnClick); }

// Enter presses the focused push button, else the form's default one.
bool ButtonWindow::pressedByEnter() const {
  HWND focus = GetFocus();
  if (focus == hwnd_) return true;
  return button_.Default && !(isPushButton(focus) && GetAncestor(focus, GA_ROOT) == GetAncestor(hwnd_, GA_ROOT));
}

LRESULT ButtonWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    // A push button for the dialog manager; the one with the focus is the
    // one Enter presses, else the form's default button.
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (button_.Default || GetFocus() == hwnd_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd_) SetFocus(hwnd_);
      break;
    // The focus decides which button Enter presses, and so which one looks
    // like it: every push button of the form is drawn again.
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (msg == WM_KILLFOCUS && spaceDown_) spaceDown_ = false;
      EnumChildWindows(
          GetAncestor(hwnd_, GA_ROOT),
          [](HWND w, LPARAM) -> BOOL {
            if (isPushButton(w)) InvalidateRect(w, nullptr, FALSE);
            return TRUE;
          },
          0);
      return 0;
    // Space presses the button; released, it clicks.
    case WM_KEYDOWN:
      if (wp == VK_SPACE) {
        if (!spaceDown_) {
          spaceDown_ = true;
          InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return 0;
      }
      break;
    case WM_KEYUP:
      if (wp == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
        click();  // may end this window
        return 0;
      }
      break;
    // Its "&" letter, found by the dialog manager.
    case BM_CLICK:
      if (IsWindowEnabled(hwnd_)) click();
      return 0;
    default: break;
  }
  return PressableWindow::handle(msg, wp, lp);
}

// Enter pressed while the button has the focus.
bool ButtonWindow::reflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return false;
  result = 0;
  if (IsWindowEnabled(hwnd_)) click();
  return true;
}

void ButtonWindow::mirror(const ui::Change& change) {
  if (change.aspect == ui::Aspect::Text) SetWindowTextA(hwnd_, button_.caption().c_str());
  PressableWindow::mirror(change);
}

void ButtonWindow::paint(HDC dc, const RECT& rc) {
  const bool enabled = button_.enabled();
  const bool down = enabled && (pressed() || spaceDown_);
  RECT face = rc;
  if (enabled && (hot() || captured())) {
    fillRect(dc, rc, down ? theme::ButtonPressedFill : theme::ButtonHotFill);
    frameRect(dc, rc, theme::ButtonHotFrame);
  } else {
    fillRect(dc, rc, colorRef(button_.color()));
    // The button Enter presses has a dark frame round its edge.
    if (enabled && pressedByEnter()) {
      frameRect(dc, rc, GetSysColor(COLOR_WINDOWFRAME));
      InflateRect(&face, -1, -1);
    }
    DrawEdge(dc, &face, EDGE_RAISED, BF_RECT);
  }
  RECT text = rc;
  if (down) OffsetRect(&text, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  const std::string& caption = button_.caption();
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (GetFocus() == hwnd_) {
    RECT focus = rc;
    InflateRect(&focus, -3, -3);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, colorRef(button_.color()));
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace ui::win32
