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

UINT LabelPeer::textFlags() const {
  return (label_.alignment() == ui::TextAlignment::Right ? DT_RIGHT : DT_LEFT) | DT_NOPREFIX | DT_EXPANDTABS | (label_.wordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
}

void LabelPeer::draw(HDC dc, const RECT& rc) {
  if (!label_.transparent()) fillRect(dc, rc, colorRef(label_.color()));
  HFONT font = createFont(label_.font());
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  // A disabled label is greyed, as the system greys a disabled control's text.
  SetTextColor(dc, label_.enabled() ? colorRef(label_.font().color()) : GetSysColor(COLOR_GRAYTEXT));
  RECT text = rc;
  const std::string& caption = label_.caption();
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, textFlags());
  SelectObject(dc, old);
  DeleteObject(font);
}

// A wrapped label keeps its width and takes the height of its lines; any
// other takes the width and height of its line.
void LabelPeer::fit() {
  if (!label_.autoSize()) return;
  HDC screen = GetDC(nullptr);
  HFONT font = createFont(label_.font());
  HGDIOBJ old = SelectObject(screen, font);
  RECT r{0, 0, label_.wordWrap() ? label_.width() : 0, 0};
  const std::string& caption = label_.caption();
  // An empty caption still takes a line's height.
  const std::string measured = caption.empty() ? std::string(" ") : caption;
  DrawTextA(screen, measured.c_str(), static_cast<int>(measured.size()), &r, textFlags() | DT_CALCRECT);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  // Drawn glyphs land on whole pixels one by one, so a long line can end a
  // pixel or two past its measured width: a line is given that much more,
  // so its last character is never clipped.
  const int w = label_.wordWrap() ? label_.width() : (caption.empty() ? 0 : r.right + r.right / 64 + 1);
  const int left = label_.alignment() == ui::TextAlignment::Right ? label_.left() + label_.width() - w : label_.left();
  label_.setBounds(left, label_.top(), w, r.bottom);
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
