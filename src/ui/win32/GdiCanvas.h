// The toolkit's drawing surface over a GDI device context, and the colour and
// font conversions every realised control uses.
#pragma once
#include <windows.h>
#include "ui/Font.h"
#include "ui/Graphics.h"

namespace ui::win32 {

// A plain colour as is; a system colour through GetSysColor.
COLORREF colorRef(ui::Color c);

// MS Sans Serif 8 pt (the system substitutes a look-alike where it is
// missing); the caller deletes it.
HFONT createStandardFont(bool bold = false);
// The GDI font of a toolkit font; the caller deletes it.
HFONT createFont(const ui::Font& font);

// Sends what has been drawn to the screen now, so that it shows even when
// the thread blocks next: the display driver passes queued drawing on when
// the thread waits for its messages.
void flushDrawing();
void fillRect(HDC dc, const RECT& r, COLORREF c);
void frameRect(HDC dc, const RECT& r, COLORREF c);

// Draws with a one-pixel solid pen and a solid or clear brush. The device
// context's state is restored when the canvas goes away.
class GdiCanvas : public ui::Canvas {
 public:
  GdiCanvas(HDC dc, HFONT font, ui::Color textColor = ui::clWindowText);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void setPenColor(ui::Color c) override;
  void setBrushColor(ui::Color c) override;
  void setBrushClear() override;
  void rectangle(int l, int t, int r, int b) override;
  void drawText(const std::string& text, ui::Rect r, unsigned flags) override;

  void setTextColor(ui::Color c);
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  int saved_;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
};

}  // namespace ui::win32
