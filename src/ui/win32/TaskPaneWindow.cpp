#include <windows.h>
#include <windowsx.h>
#include <algorithm>
#include <iterator>
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"
#include "ui/win32/Theme.h"

namespace ui::win32 {

namespace {

// Horizontal room between the pane's edge and its header band and body.
constexpr int SideMargin = 6;
// The header band inside the header's 35 pixels.
constexpr int BandTop = 8;
constexpr int BandBottom = 33;
constexpr int TextIndent = 10;
constexpr int ChevronRadius = 8;

void fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

COLORREF mix(COLORREF a, COLORREF b, int num, int den) {
  auto ch = [&](int ca, int cb) { return ca + (cb - ca) * num / den; };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

bool isRule(const std::string& caption) {
  return !caption.empty() && caption.find_first_not_of('-') == std::string::npos;
}

// Two stacked chevrons pointing down; drawn flipped when the pane is open.
constexpr const char* Chevrons[] = {"#...#", "##.##", ".###.", "..#..", "#...#", "##.##", ".###.", "..#.."};

}  // namespace

RECT TaskPaneWindow::itemRect(std::size_t index) {
  const int top = ui::TaskPaneGroup::CollapsedHeight + ItemsPadding +
                  static_cast<int>(index) * ui::TaskPaneGroup::ItemHeight;
  return RECT{SideMargin + 1, top, pane_.width() - SideMargin - 1, top + ui::TaskPaneGroup::ItemHeight};
}

int TaskPaneWindow::targetAt(int x, int y) {
  if (x < 0 || x >= pane_.width() || y < 0 || y >= pane_.height()) return NoTarget;
  if (y < ui::TaskPaneGroup::CollapsedHeight) return HeaderTarget;
  if (pane_.collapsed()) return NoTarget;
  const auto& items = pane_.items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const RECT r = itemRect(i);
    if (y >= r.top && y < r.bottom && x >= r.left && x < r.right)
      return items[i].enabled ? static_cast<int>(i) : NoTarget;
  }
  return NoTarget;
}

void TaskPaneWindow::setHot(int target) {
  if (target == hot_) return;
  hot_ = target;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TaskPaneWindow::step(bool forward) {
  HWND root = GetAncestor(hwnd_, GA_ROOT);
  // Reached by the keyboard: the focus shows, as the dialog manager's Tab does.
  SendMessageA(root, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  if (pane_.moveKey(forward)) return;
  HWND next = GetNextDlgTabItem(root, hwnd_, !forward);
  if (!next) return;
  if (auto* pane = dynamic_cast<TaskPaneWindow*>(WindowPeer::fromWindow(next)); pane && toolkit_.alive(pane))
    pane->pane_.enterKey(forward);
  if (next != hwnd_) SetFocus(next);
}

LRESULT TaskPaneWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT result = 0; focusCueMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    // The arrows, Tab and Enter are the pane's own.
    case WM_GETDLGCODE: {
      const auto* m = reinterpret_cast<const MSG*>(lp);
      const bool enter = m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN;
      return DLGC_WANTARROWS | DLGC_WANTTAB | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
      switch (wp) {
        case VK_TAB: step(GetKeyState(VK_SHIFT) >= 0); return 0;
        case VK_DOWN:
        case VK_RIGHT: step(true); return 0;
        case VK_UP:
        case VK_LEFT: step(false); return 0;
        case VK_RETURN:
        case VK_SPACE:
          if (!(lp & (1 << 30))) {  // not the key's repeats
            ui::TaskPaneGroup& pane = pane_;
            toolkit_.dispatch([&pane] { pane.pressKey(); });
          }
          return 0;
        default: break;
      }
      break;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&tme) != 0;
      }
      setHot(targetAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      setHot(NoTarget);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && hot_ != NoTarget) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = targetAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      if (pressed_ != NoTarget) {
        SetCapture(hwnd_);
        pane_.setKeyTarget(pressed_);
        SetFocus(hwnd_);
      }
      dispatchMouseDown(ui::MouseButton::Left, lp);
      return 0;
    case WM_LBUTTONUP: {
      const int target = targetAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      const int pressed = pressed_;
      pressed_ = NoTarget;
      if (GetCapture() == hwnd_) ReleaseCapture();
      if (target == NoTarget || target != pressed) return 0;
      // The model toggles the pane once its handler has run.
      ui::TaskPaneGroup& pane = pane_;
      Win32Toolkit& tk = toolkit_;  // the handler may end this peer
      if (target == HeaderTarget)
        tk.dispatch([&pane] { pane.clickHeader(); });
      else
        tk.dispatch([&pane, target] { pane.clickItem(static_cast<std::size_t>(target)); });
      if (tk.alive(this) && hwnd_) {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd_, &pt);
        setHot(targetAt(pt.x, pt.y));
      }
      return 0;
    }
    case WM_CAPTURECHANGED: pressed_ = NoTarget; return 0;
    default: break;
  }
  return ChildWindow::handle(msg, wp, lp);
}

void TaskPaneWindow::paint(HDC dc, const RECT& rc) {
  const COLORREF back = colorRef(pane_.color());
  fill(dc, rc, back);
  const int w = rc.right - rc.left;
  const bool enabled = pane_.enabled();

  // Body below the header while open: pale fill, white frame.
  if (!pane_.collapsed() && rc.bottom > BandBottom) {
    RECT body{SideMargin, BandBottom, w - SideMargin, rc.bottom - 1};
    fill(dc, body, theme::PaneBodyFrame);
    RECT inner{body.left + 1, body.top, body.right - 1, body.bottom - 1};
    fill(dc, inner, theme::PaneBody);
  }

  // Header band: a left-to-right gradient with rounded top corners.
  const int bandLeft = SideMargin, bandRight = w - SideMargin;
  const int bandWidth = bandRight - bandLeft;
  for (int x = 0; x < bandWidth; ++x) {
    RECT col{bandLeft + x, BandTop, bandLeft + x + 1, BandBottom};
    fill(dc, col, mix(theme::PaneHeaderLeft, theme::PaneHeaderRight, x, bandWidth > 1 ? bandWidth - 1 : 1));
  }
  for (int x : {bandLeft, bandRight - 1}) {
    SetPixel(dc, x, BandTop, back);
    SetPixel(dc, x, BandTop + 1, back);
  }
  SetPixel(dc, bandLeft + 1, BandTop, back);
  SetPixel(dc, bandRight - 2, BandTop, back);

  const bool showFocus = showsFocus();
  auto frameFocus = [dc](RECT r) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &r);
  };
  const bool headerHot = hot_ == HeaderTarget && enabled;
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, toolkit_.boldFont());
  SetTextColor(dc, !enabled ? theme::PaneItemDisabled : headerHot ? theme::PaneCaptionHot : theme::PaneCaption);
  RECT caption{bandLeft + TextIndent, BandTop, bandRight - 2 * ChevronRadius - 8, BandBottom};
  DrawTextA(dc, pane_.caption().c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);

  // The chevron button at the band's right end.
  const int cx = bandRight - ChevronRadius - 6, cy = (BandTop + BandBottom) / 2;
  HPEN ring = CreatePen(PS_SOLID, 1, headerHot ? theme::ChevronRingHot : theme::ChevronRing);
  HGDIOBJ oldPen = SelectObject(dc, ring);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Ellipse(dc, cx - ChevronRadius, cy - ChevronRadius, cx + ChevronRadius + 1, cy + ChevronRadius + 1);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(ring);
  if (showFocus && pane_.keyTarget() == ui::TaskPaneGroup::KeyHeader)
    frameFocus(RECT{bandLeft + 2, BandTop + 2, bandRight - 2, BandBottom - 2});
  const COLORREF ink = !enabled ? theme::PaneItemDisabled : headerHot ? theme::PaneCaptionHot : theme::PaneCaption;
  const int rows = static_cast<int>(std::size(Chevrons));
  for (int y = 0; y < rows; ++y) {
    const char* row = Chevrons[pane_.collapsed() ? y : rows - 1 - y];
    for (int x = 0; row[x]; ++x)
      if (row[x] == '#') SetPixel(dc, cx - 2 + x, cy - rows / 2 + y, ink);
  }

  // Items: link-like rows; labels grey, rules as lines.
  if (!pane_.collapsed()) {
    const auto& items = pane_.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      RECT r = itemRect(i);
      if (r.top >= rc.bottom) break;
      if (isRule(items[i].caption)) {
        RECT line{r.left + TextIndent - 2, (r.top + r.bottom) / 2, r.right - TextIndent + 2, (r.top + r.bottom) / 2 + 1};
        fill(dc, line, theme::PaneRule);
        continue;
      }
      const bool hot = hot_ == static_cast<int>(i) && enabled;
      const bool active = items[i].enabled && enabled;
      SelectObject(dc, hot ? toolkit_.linkFont() : toolkit_.font());
      SetTextColor(dc, !active ? theme::PaneItemDisabled : hot ? theme::PaneItemHot : theme::PaneItem);
      r.left += TextIndent;
      r.right -= 4;
      DrawTextA(dc, items[i].caption.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      if (showFocus && pane_.keyTarget() == static_cast<int>(i)) {
        RECT text = r;
        DrawTextA(dc, items[i].caption.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        frameFocus(RECT{r.left - 3, r.top + 2, std::min(text.right, r.right) + 3, r.bottom - 2});
      }
    }
  }
  SelectObject(dc, oldFont);
}

}  // namespace ui::win32
