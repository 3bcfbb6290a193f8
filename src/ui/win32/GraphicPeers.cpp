#include "ui/win32/GraphicPeers.h"
#include "platform/win32/resource.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"

namespace ui::win32 {

GraphicPeer::GraphicPeer(ChildWindow& host, HWND hostWindow, ui::Control& control)
    : host_(host), hostWindow_(hostWindow), control_(control) {
  control_.attachPeer(this);
}

GraphicPeer::~GraphicPeer() {
  if (!gone_) control_.attachPeer(nullptr);
}

RECT GraphicPeer::bounds() const {
  return RECT{control_.left(), control_.top(), control_.left() + control_.width(),
              control_.top() + control_.height()};
}

bool GraphicPeer::contains(int x, int y) const {
  const RECT r = bounds();
  const POINT p{x, y};
  return PtInRect(&r, p) != 0;
}

void GraphicPeer::invalidate(const RECT& r) {
  if (hostWindow_ && IsWindow(hostWindow_) && !IsRectEmpty(&r)) InvalidateRect(hostWindow_, &r, FALSE);
}

void GraphicPeer::sync() { update(ui::Change{ui::Aspect::Text}); }

void GraphicPeer::update(const ui::Change& change) {
  if (change.aspect == ui::Aspect::Hint) return;
  // A new text or font may need new bounds, which come back as a change.
  if (change.aspect == ui::Aspect::Text || change.aspect == ui::Aspect::Look) fit();
  invalidate(drawnAt_);
  drawnAt_ = bounds();
  invalidate(drawnAt_);
}

void GraphicPeer::repaint() {
  invalidate(bounds());
  if (!hostWindow_ || !IsWindow(hostWindow_)) return;
  UpdateWindow(hostWindow_);
  flushDrawing();
}

void GraphicPeer::controlDestroyed() {
  gone_ = true;
  invalidate(drawnAt_);
  host_.dropGraphic(this);  // deletes this peer
}

void GraphicPeer::paint(HDC dc) {
  if (!control_.visible()) return;
  drawnAt_ = bounds();
  if (IsRectEmpty(&drawnAt_)) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, drawnAt_.left, drawnAt_.top, drawnAt_.right, drawnAt_.bottom);
  OffsetViewportOrgEx(dc, drawnAt_.left, drawnAt_.top, nullptr);
  const RECT rc{0, 0, control_.width(), control_.height()};
  draw(dc, rc);
  RestoreDC(dc, saved);
}

// ---------------------------------------------------------------------------

namespace {

UINT labelTextFlags(const ui::Label& label) {
  return (label.alignment() == ui::TextAlignment::Right ? DT_RIGHT : DT_LEFT) | DT_NOPREFIX | DT_EXPANDTABS |
         (label.wordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
}

}  // namespace

void drawLabel(HDC dc, const RECT& rc, const ui::Label& label) {
  if (!label.transparent()) fillRect(dc, rc, colorRef(label.color()));
  HFONT font = createFont(label.font());
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  // A disabled label is greyed, as the system greys a disabled control's text.
  SetTextColor(dc, label.enabled() ? colorRef(label.font().color()) : GetSysColor(COLOR_GRAYTEXT));
  RECT text = rc;
  const std::string& caption = label.caption();
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, labelTextFlags(label));
  SelectObject(dc, old);
  DeleteObject(font);
}

// A wrapped label keeps its width and takes the height of its lines; any
// other takes the width and height of its line.
void fitLabel(ui::Label& label) {
  if (!label.autoSize()) return;
  HDC screen = GetDC(nullptr);
  HFONT font = createFont(label.font());
  HGDIOBJ old = SelectObject(screen, font);
  RECT r{0, 0, label.wordWrap() ? label.width() : 0, 0};
  const std::string& caption = label.caption();
  // An empty caption still takes a line's height.
  const std::string measured = caption.empty() ? std::string(" ") : caption;
  DrawTextA(screen, measured.c_str(), static_cast<int>(measured.size()), &r, labelTextFlags(label) | DT_CALCRECT);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  // Drawn glyphs land on whole pixels one by one, so a long line can end a
  // pixel or two past its measured width: a line is given that much more,
  // so its last character is never clipped.
  const int w = label.wordWrap() ? label.width() : (caption.empty() ? 0 : r.right + r.right / 64 + 1);
  const int left = label.alignment() == ui::TextAlignment::Right ? label.left() + label.width() - w : label.left();
  label.setBounds(left, label.top(), w, r.bottom);
}

void LabelPeer::draw(HDC dc, const RECT& rc) { drawLabel(dc, rc, label_); }
void LabelPeer::fit() { fitLabel(label_); }

// ---------------------------------------------------------------------------

void FocusLabelWindow::create(HWND parent) {
  fitLabel(label_);
  ChildWindow::create(parent);
}

void FocusLabelWindow::paint(HDC dc, const RECT& rc) {
  drawLabel(dc, rc, label_);
  if (showsFocus()) DrawFocusRect(dc, &rc);
}

void FocusLabelWindow::mirror(const ui::Change& change) {
  if (change.aspect == ui::Aspect::Text || change.aspect == ui::Aspect::Look) fitLabel(label_);
  ChildWindow::mirror(change);
}

LRESULT FocusLabelWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT result = 0; focusCueMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    // Enter is the link's own, not the default button's.
    case WM_GETDLGCODE: {
      const auto* m = reinterpret_cast<const MSG*>(lp);
      return m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0;
    }
    case WM_KEYDOWN:
      if ((wp == VK_RETURN || wp == VK_SPACE) && !(lp & (1 << 30))) {  // not the key's repeats
        toolkit_.dispatch([&label = label_] { label.activate(); });
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      if (hovered_) return 0;
      {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        hovered_ = TrackMouseEvent(&tme) != 0;
      }
      toolkit_.dispatch([&label = label_] { label.mouseEnter(); });
      return 0;
    case WM_MOUSELEAVE:
      hovered_ = false;
      toolkit_.dispatch([&label = label_] { label.mouseLeave(); });
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && label_.cursor == ui::Cursor::HandPoint) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    default: break;
  }
  return ChildWindow::handle(msg, wp, lp);
}

// ---------------------------------------------------------------------------

namespace {

HICON iconOf(ui::Picture picture, int w, int h) {
  switch (picture) {
    case ui::Picture::ProgramIcon: {
      HANDLE own = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON, w, h, LR_SHARED);
      return own ? static_cast<HICON>(own) : LoadIconA(nullptr, IDI_APPLICATION);
    }
    case ui::Picture::InformationSymbol: return LoadIconA(nullptr, IDI_INFORMATION);
    case ui::Picture::WarningSymbol: return LoadIconA(nullptr, IDI_WARNING);
    case ui::Picture::None: break;
  }
  return nullptr;
}

}  // namespace

void ImagePeer::draw(HDC dc, const RECT& rc) {
  // Shared icons: the system owns them.
  if (HICON icon = iconOf(image_.picture(), rc.right, rc.bottom))
    DrawIconEx(dc, 0, 0, icon, rc.right, rc.bottom, 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------

void BevelFramePeer::draw(HDC dc, const RECT& rc) {
  if (bevel_.shape() == ui::BevelShape::Box) {
    RECT edge = rc;
    drawBevel(dc, edge, bevel_.style());
    return;
  }
  const bool raised = bevel_.style() == ui::Bevel::Raised;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  fillRect(dc, RECT{rc.left, 0, rc.right, 1}, raised ? light : dark);
  fillRect(dc, RECT{rc.left, 1, rc.right, 2}, raised ? dark : light);
}

}  // namespace ui::win32
