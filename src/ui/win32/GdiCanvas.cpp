#include "ui/win32/GdiCanvas.h"

namespace ui::win32 {

COLORREF colorRef(ui::Color c) {
  if (ui::isSysColor(c)) return GetSysColor(static_cast<int>(c & 0xFF));
  return static_cast<COLORREF>(c & 0x00FFFFFF);
}

HFONT createStandardFont(bool bold) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     "MS Sans Serif");
}

HFONT createFont(const ui::Font& font) {
  const unsigned style = font.style();
  BYTE pitch = DEFAULT_PITCH;
  if (font.pitch() == ui::FontPitch::Fixed) pitch = FIXED_PITCH;
  if (font.pitch() == ui::FontPitch::Variable) pitch = VARIABLE_PITCH;
  return CreateFontA(font.height(), 0, 0, 0, (style & ui::fontstyle::Bold) ? FW_BOLD : FW_NORMAL,
                     (style & ui::fontstyle::Italic) != 0, (style & ui::fontstyle::Underline) != 0,
                     (style & ui::fontstyle::StrikeOut) != 0, static_cast<BYTE>(font.charset()), OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch | FF_DONTCARE, font.name().c_str());
}

void flushDrawing() {
  GdiFlush();
  // A wait that ends at once: it takes no message from the queue.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

void fillRect(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void frameRect(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FrameRect(dc, &r, b);
  DeleteObject(b);
}

GdiCanvas::GdiCanvas(HDC dc, HFONT font, ui::Color textColor) : dc_(dc), saved_(SaveDC(dc)) {
  if (font) SelectObject(dc_, font);
  SetTextColor(dc_, colorRef(textColor));
  setPenColor(ui::clBlack);
  setBrushColor(ui::clWhite);
}

GdiCanvas::~GdiCanvas() {
  RestoreDC(dc_, saved_);
  if (pen_) DeleteObject(pen_);
  if (brush_) DeleteObject(brush_);
}

void GdiCanvas::setPenColor(ui::Color c) {
  HPEN pen = CreatePen(PS_SOLID, 1, colorRef(c));
  SelectObject(dc_, pen);
  if (pen_) DeleteObject(pen_);
  pen_ = pen;
}

void GdiCanvas::setBrushColor(ui::Color c) {
  HBRUSH brush = CreateSolidBrush(colorRef(c));
  SelectObject(dc_, brush);
  if (brush_) DeleteObject(brush_);
  brush_ = brush;
  // Text drawn on a solid brush sits on a box of the brush's colour.
  SetBkMode(dc_, OPAQUE);
  SetBkColor(dc_, colorRef(c));
}

void GdiCanvas::setBrushClear() {
  SelectObject(dc_, GetStockObject(NULL_BRUSH));
  if (brush_) DeleteObject(brush_);
  brush_ = nullptr;
  SetBkMode(dc_, TRANSPARENT);
}

void GdiCanvas::rectangle(int l, int t, int r, int b) { Rectangle(dc_, l, t, r, b); }

void GdiCanvas::drawText(const std::string& text, ui::Rect r, unsigned flags) {
  RECT rc{r.left, r.top, r.right, r.bottom};
  DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rc, flags);
}

void GdiCanvas::setTextColor(ui::Color c) { SetTextColor(dc_, colorRef(c)); }

}  // namespace ui::win32
