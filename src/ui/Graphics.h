// Colours, rectangles and the drawing surface handed to paint events.
#pragma once
#include <cctype>
#include <cstdint>
#include <string>

namespace ui {

// 0x00BBGGRR for plain colours; a system colour is its index with the top bit.
using Color = std::uint32_t;
constexpr Color rgb(int r, int g, int b) {
  return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}
constexpr Color sysColor(int index) { return 0x80000000u | static_cast<Color>(index); }
constexpr bool isSysColor(Color c) { return (c & 0x80000000u) != 0; }

constexpr Color clBtnFace = sysColor(15);
constexpr Color clActiveBorder = sysColor(10);
constexpr Color clWindowText = sysColor(8);
constexpr Color clBlue = rgb(0, 0, 255);
constexpr Color clSilver = rgb(192, 192, 192);
constexpr Color clBlack = rgb(0, 0, 0);
constexpr Color clWhite = rgb(255, 255, 255);

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// Text drawing flags, numbered as the platform's DrawText numbers them.
namespace textflags {
constexpr unsigned Left = 0x0000;
constexpr unsigned Center = 0x0001;
constexpr unsigned Right = 0x0002;
constexpr unsigned VCenter = 0x0004;
constexpr unsigned SingleLine = 0x0020;
constexpr unsigned EndEllipsis = 0x8000;
}  // namespace textflags

// The letter a caption marks with "&" (menus and buttons), upper-cased; 0
// when none. "&&" is a literal ampersand.
inline char captionAccelerator(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void setPenColor(Color c) = 0;
  virtual void setBrushColor(Color c) = 0;  // solid brush; text gets an opaque box of it
  virtual void setBrushClear() = 0;         // no fill, transparent text background
  // Outline with the one-pixel pen from (l, t) to (r - 1, b - 1); filled with
  // the brush unless it is clear.
  virtual void rectangle(int l, int t, int r, int b) = 0;
  virtual void drawText(const std::string& text, Rect r, unsigned flags) = 0;
};

}  // namespace ui
