#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"
#include "ui/win32/Theme.h"

namespace ui::win32 {

namespace {

// The glyphs as pixel masks, so they stay crisp at 15 x 15 on any system.
struct GlyphMask {
  int width;
  std::vector<const char*> rows;
};

const GlyphMask& maskOf(ui::Glyph glyph) {
  static const GlyphMask close{8,
                               {"##....##",
                                ".##..##.",
                                "..####..",
                                "...##...",
                                "..####..",
                                ".##..##.",
                                "##....##"}};
  // A small window with an arrow pointing down into it: send it away.
  static const GlyphMask popup{9,
                               {"#########",
                                "#########",
                                "#.......#",
                                "#..###..#",
                                "#...#...#",
                                "#.......#",
                                "#########"}};
  static const GlyphMask help{8,
                              {"..####..",
                               ".##..##.",
                               ".....##.",
                               "....##..",
                               "...##...",
                               "...##...",
                               "........",
                               "...##..."}};
  switch (glyph) {
    case ui::Glyph::Close: return close;
    case ui::Glyph::Popup: return popup;
    default: return help;
  }
}

}  // namespace

void ToolButtonWindow::paint(HDC dc, const RECT& rc) {
  // Flat: the button shows its parent's colour until the mouse is over it.
  ui::Control* parent = button_.parent();
  fillRect(dc, rc, colorRef(parent ? parent->color() : button_.color()));
  const bool enabled = button_.enabled();
  if (enabled && pressed()) {
    fillRect(dc, rc, theme::ButtonPressedFill);
    frameRect(dc, rc, theme::ButtonHotFrame);
  } else if (enabled && (hot() || captured())) {
    fillRect(dc, rc, theme::ButtonHotFill);
    frameRect(dc, rc, theme::ButtonHotFrame);
  }
  const GlyphMask& mask = maskOf(button_.glyph());
  const int h = static_cast<int>(mask.rows.size());
  int x0 = (rc.right - rc.left - mask.width) / 2;
  int y0 = (rc.bottom - rc.top - h) / 2;
  if (enabled && pressed()) {
    ++x0;
    ++y0;
  }
  const COLORREF ink = enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < mask.width; ++x)
      if (mask.rows[y][x] == '#') SetPixel(dc, x0 + x, y0 + y, ink);
}

}  // namespace ui::win32
