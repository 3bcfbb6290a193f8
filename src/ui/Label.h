// A text label in its own font: on one line or word-wrapped, on its colour
// or transparent over what lies behind it, sized to its text or clipped to
// its bounds.
#pragma once
#include <string>
#include "ui/Font.h"
#include "ui/GraphicControl.h"

namespace ui {

enum class TextAlignment { Left, Right };

class Label : public GraphicControl {
 public:
  using GraphicControl::GraphicControl;

  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c);
  // Change the font in place and repaint, or set a whole new one.
  Font& font() { return font_; }
  const Font& font() const { return font_; }
  void setFont(const Font& f);

  bool wordWrap() const { return wordWrap_; }
  void setWordWrap(bool w);
  bool transparent() const { return transparent_; }
  void setTransparent(bool t);
  // While on, the realisation fits the bounds to the text.
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool a);
  // Right-aligned text sized to itself keeps its right edge where it was.
  TextAlignment alignment() const { return alignment_; }
  void setAlignment(TextAlignment a);

 private:
  std::string caption_;
  Font font_;
  bool wordWrap_ = false;
  bool transparent_ = false;
  bool autoSize_ = true;
  TextAlignment alignment_ = TextAlignment::Left;
};

}  // namespace ui
