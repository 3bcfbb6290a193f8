#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <algorithm>
#include "platform/win32/WideText.h"
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

std::string windowTextOf(HWND w) {
  const int n = GetWindowTextLengthA(w);
  if (n <= 0) return {};
  std::string text(static_cast<std::size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(w, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

void setWindowText(HWND w, const std::string& text) {
  if (windowTextOf(w) != text) SetWindowTextA(w, text.c_str());
}

std::string pathTextOf(HWND w) {
  const int n = GetWindowTextLengthW(w);
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(w, text.data(), n + 1);
  return platform::win32::pathFromWide(text.data(), static_cast<std::size_t>(std::max(0, got))).value_or("");
}

void setPathText(HWND w, const std::string& path) {
  if (pathTextOf(w) == path) return;
  if (const auto text = platform::win32::widePath(path)) SetWindowTextW(w, text->c_str());
}

namespace {

// The property naming a window's peer, on windows of every class.
constexpr const char* PeerProperty = "TarnwickPeer";

}  // namespace

void WindowPeer::claim(HWND hwnd) {
  hwnd_ = hwnd;
  mark(hwnd);
}

void WindowPeer::mark(HWND hwnd) { SetPropA(hwnd, PeerProperty, reinterpret_cast<HANDLE>(this)); }

void WindowPeer::unmark(HWND hwnd) { RemovePropA(hwnd, PeerProperty); }

WindowPeer* WindowPeer::fromWindow(HWND hwnd) {
  return hwnd ? reinterpret_cast<WindowPeer*>(GetPropA(hwnd, PeerProperty)) : nullptr;
}

LRESULT CALLBACK WindowPeer::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* peer = static_cast<WindowPeer*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    peer->claim(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
  }
  auto* peer = reinterpret_cast<WindowPeer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!peer) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    unmark(hwnd);
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

LRESULT WindowPeer::handle(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }

LRESULT WindowPeer::defaultProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

bool WindowPeer::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  HWND from = nullptr;
  switch (msg) {
    case WM_COMMAND:
      from = reinterpret_cast<HWND>(lp);
      // IDOK and IDCANCEL from the dialog manager name the focused control
      // too, but they are the form's keys, not the control's report.
      if (from && LOWORD(wp) != GetDlgCtrlID(from)) return false;
      break;
    case WM_NOTIFY: from = lp ? reinterpret_cast<const NMHDR*>(lp)->hwndFrom : nullptr; break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: from = reinterpret_cast<HWND>(lp); break;
    default: return false;
  }
  if (!from || from == hwnd_) return false;
  WindowPeer* child = fromWindow(from);
  if (!child || !toolkit_.alive(child)) return false;
  return child->reflected(msg, wp, lp, result);
}

bool WindowPeer::reflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void WindowPeer::modelDestroyed() {
  detached_ = true;
  if (hwnd_) DestroyWindow(hwnd_);
  toolkit_.release(this);  // deletes this peer: nothing may follow
}

void WindowPeer::paintBuffered(const std::function<void(HDC, const RECT&)>& paint, bool leaveOutChildren) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  for (HWND c = leaveOutChildren ? GetWindow(hwnd_, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
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
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  ui::Control& c = control_;
  toolkit_.dispatch([&c, button, x, y] { c.mouseDown(button, x, y); });
}

// ---------------------------------------------------------------------------

void ChildWindow::create(HWND parent) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | extraStyle();
  if (control_.visible()) style |= WS_VISIBLE;
  if (!control_.enabled()) style |= WS_DISABLED;
  createWindow(windowClass(), windowText().c_str(), style, exStyle(), control_.left(), control_.top(),
               control_.width(), control_.height(), parent);
}

void ChildWindow::applyBounds() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  if (r.left != control_.left() || r.top != control_.top() || r.right - r.left != control_.width() ||
      r.bottom - r.top != control_.height())
    SetWindowPos(hwnd_, nullptr, control_.left(), control_.top(), control_.width(), control_.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window was made with the model's place, visibility and state; what it
// shows comes from the model's content.
void ChildWindow::sync() {
  for (ui::Aspect aspect : {ui::Aspect::Look, ui::Aspect::Text, ui::Aspect::Range, ui::Aspect::Value,
                            ui::Aspect::Lines, ui::Aspect::Selection}) {
    if (!hwnd_) return;
    mirror(ui::Change{aspect});
  }
}

void ChildWindow::update(const ui::Change& change) {
  if (!hwnd_) return;
  switch (change.aspect) {
    case ui::Aspect::Bounds: applyBounds(); return;
    case ui::Aspect::Visible: ShowWindow(hwnd_, control_.visible() ? SW_SHOWNA : SW_HIDE); return;
    case ui::Aspect::Hint: updateHint(); return;
    case ui::Aspect::Enabled:
      EnableWindow(hwnd_, control_.enabled());
      mirror(change);
      return;
    default: mirror(change);
  }
}

// A window the toolkit draws shows any change by painting again.
void ChildWindow::mirror(const ui::Change&) { InvalidateRect(hwnd_, nullptr, FALSE); }

bool ChildWindow::showsFocus() {
  return GetFocus() == hwnd_ && !(SendMessageA(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

bool ChildWindow::focusCueMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_SETFOCUS && msg != WM_KILLFOCUS && msg != WM_UPDATEUISTATE) return false;
  result = ChildWindow::handle(msg, wp, lp);
  InvalidateRect(hwnd_, nullptr, FALSE);
  return true;
}

void ChildWindow::controlDestroyed() {
  removeHint();
  modelDestroyed();  // deletes this peer
}

// The hint is shown by the form's tooltip window, made when the first hint
// needs it.
void ChildWindow::updateHint() {
  if (!hwnd_) return;
  const std::string& hint = control_.hint();
  if (tipAdded_ ? hint == tipShown_ : hint.empty()) return;
  if (!tooltip_ || !IsWindow(tooltip_)) {
    FormWindow* form = toolkit_.formOf(GetAncestor(hwnd_, GA_ROOT));
    tooltip_ = form ? form->tooltip() : nullptr;
    tipAdded_ = false;
  }
  if (!tooltip_) return;
  TOOLINFOA ti = toolInfo();
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.lpszText = const_cast<char*>(hint.c_str());
  if (hint.empty()) {
    SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    tipAdded_ = false;
  } else if (tipAdded_) {
    SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  } else {
    tipAdded_ = SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
  }
  tipShown_ = hint;
}

// The control as a tool of its form's tooltip.
TOOLINFOA ChildWindow::toolInfo() const {
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = GetAncestor(hwnd_, GA_ROOT);
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  return ti;
}

void ChildWindow::removeHint() {
  if (!tipAdded_ || !tooltip_ || !IsWindow(tooltip_) || !hwnd_) return;
  TOOLINFOA ti = toolInfo();
  SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  tipAdded_ = false;
}

void ChildWindow::repaint() {
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
  flushDrawing();
}

void ChildWindow::adoptGraphic(ui::GraphicControl& control) {
  std::unique_ptr<GraphicPeer> peer;
  if (auto* label = dynamic_cast<ui::Label*>(&control))
    peer = std::make_unique<LabelPeer>(*this, hwnd_, *label);
  else if (auto* image = dynamic_cast<ui::Image*>(&control))
    peer = std::make_unique<ImagePeer>(*this, hwnd_, *image);
  else if (auto* bevel = dynamic_cast<ui::BevelFrame*>(&control))
    peer = std::make_unique<BevelFramePeer>(*this, hwnd_, *bevel);
  else
    return;
  graphics_.push_back(std::move(peer));
  graphics_.back()->sync();
}

void ChildWindow::dropGraphic(GraphicPeer* peer) {
  if (hovered_ == peer) hovered_ = nullptr;
  if (leftPressed_ == peer) leftPressed_ = nullptr;
  std::erase_if(graphics_, [peer](const std::unique_ptr<GraphicPeer>& g) { return g.get() == peer; });
}

GraphicPeer* ChildWindow::graphicAt(int x, int y) {
  for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
    ui::Control& c = (*it)->control();
    if (c.visible() && c.enabled() && (*it)->contains(x, y)) return it->get();
  }
  return nullptr;
}

GraphicPeer* ChildWindow::graphicAtCursor() {
  POINT p;
  if (!GetCursorPos(&p) || !ScreenToClient(hwnd_, &p)) return nullptr;
  return graphicAt(p.x, p.y);
}

bool ChildWindow::hover(GraphicPeer* peer) {
  if (peer == hovered_) return true;
  Win32Toolkit& tk = toolkit_;  // a handler may end this window
  if (GraphicPeer* left = hovered_) {
    hovered_ = nullptr;
    ui::Control& c = left->control();
    tk.dispatch([&c] { c.mouseLeave(); });
    if (!tk.alive(this)) return false;
  }
  // The control may have gone with the leave handler.
  if (peer && std::find_if(graphics_.begin(), graphics_.end(), [peer](auto& g) { return g.get() == peer; }) !=
                  graphics_.end()) {
    hovered_ = peer;
    ui::Control& c = peer->control();
    tk.dispatch([&c] { c.mouseEnter(); });
    if (!tk.alive(this)) return false;
  }
  return true;
}

bool ChildWindow::graphicMouseDown(ui::MouseButton button, LPARAM lp) {
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  GraphicPeer* target = graphicAt(x, y);
  if (!target) return false;
  if (button == ui::MouseButton::Left) leftPressed_ = target;
  ui::Control& c = target->control();
  const int cx = x - c.left(), cy = y - c.top();
  toolkit_.dispatch([&c, button, cx, cy] { c.mouseDown(button, cx, cy); });
  return true;
}

LRESULT ChildWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT result = 0; reflect(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      paintBuffered(
          [this](HDC dc, const RECT& rc) {
            paint(dc, rc);
            paintGraphics(dc);
          },
          leavesOutChildren());
      return 0;
    case WM_MOUSEMOVE:
      if (graphics_.empty()) break;
      if (!trackingLeave_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        trackingLeave_ = TrackMouseEvent(&tme) != 0;
      }
      hover(graphicAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      hover(nullptr);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd_) {
        GraphicPeer* g = graphicAtCursor();
        if (g && g->control().cursor == ui::Cursor::HandPoint) {
          SetCursor(LoadCursor(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN: {
      if (graphicMouseDown(ui::MouseButton::Left, lp)) return 0;
      Win32Toolkit& tk = toolkit_;  // the handler may end this peer
      leftDown_ = true;
      dispatchMouseDown(ui::MouseButton::Left, lp);
      // A handler that started a drag has had the button's release.
      if (tk.alive(this) && GetKeyState(VK_LBUTTON) >= 0) leftDown_ = false;
      return 0;
    }
    case WM_RBUTTONDOWN:
      if (!graphicMouseDown(ui::MouseButton::Right, lp)) dispatchMouseDown(ui::MouseButton::Right, lp);
      return 0;
    case WM_MBUTTONDOWN:
      if (!graphicMouseDown(ui::MouseButton::Middle, lp)) dispatchMouseDown(ui::MouseButton::Middle, lp);
      return 0;
    case WM_LBUTTONUP:
      if (GraphicPeer* pressed = leftPressed_) {
        leftPressed_ = nullptr;
        if (pressed == graphicAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) toolkit_.dispatch(pressed->control().OnClick);
        return 0;
      }
      if (leftDown_ && control_.OnClick) {
        leftDown_ = false;
        toolkit_.dispatch(control_.OnClick);
        return 0;
      }
      leftDown_ = false;
      return 0;
    default: break;
  }
  return WindowPeer::handle(msg, wp, lp);
}

void ChildWindow::paint(HDC dc, const RECT& rc) {
  HBRUSH fill = CreateSolidBrush(colorRef(control_.color()));
  FillRect(dc, &rc, fill);
  DeleteObject(fill);
  runPaintEvent(dc);
}

void ChildWindow::paintGraphics(HDC dc) {
  for (auto& g : graphics_) g->paint(dc);
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
