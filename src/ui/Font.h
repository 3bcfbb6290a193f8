// A control's font: face name, height in pixels and size in points (two
// views of one measure), colour, style, character set and pitch.
#pragma once
#include <string>
#include "ui/Graphics.h"

namespace ui {

namespace fontstyle {
constexpr unsigned Bold = 1;
constexpr unsigned Italic = 2;
constexpr unsigned Underline = 4;
constexpr unsigned StrikeOut = 8;
}  // namespace fontstyle

// Character sets, numbered as the platform numbers them.
namespace charset {
constexpr int Ansi = 0;
constexpr int Default = 1;
}  // namespace charset

enum class FontPitch { Default, Fixed, Variable };

class Font {
 public:
  // Points and pixels are converted at the screen's 96 pixels per inch.
  static constexpr int PixelsPerInch = 96;

  const std::string& name() const { return name_; }
  void setName(const std::string& n) { name_ = n; }
  // Negative: the height of the characters; positive: of the character cell.
  int height() const { return height_; }
  void setHeight(int h) { height_ = h; }
  // Derived from the height. Setting the size the font already has leaves
  // the height as it is, so a font copied property by property comes out
  // unchanged even where points and pixels do not convert back exactly.
  int size() const;
  void setSize(int points);
  Color color() const { return color_; }
  void setColor(Color c) { color_ = c; }
  unsigned style() const { return style_; }
  void setStyle(unsigned s) { style_ = s; }
  int charset() const { return charset_; }
  void setCharset(int c) { charset_ = c; }
  FontPitch pitch() const { return pitch_; }
  void setPitch(FontPitch p) { pitch_ = p; }

  bool operator==(const Font&) const = default;

 private:
  std::string name_ = "MS Sans Serif";
  int height_ = -11;  // 8 points
  Color color_ = clWindowText;
  unsigned style_ = 0;
  int charset_ = charset::Default;
  FontPitch pitch_ = FontPitch::Default;
};

// a * b / c rounded half away from zero, as the platform's MulDiv does.
int mulDiv(int a, int b, int c);

}  // namespace ui
