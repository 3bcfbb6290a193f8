// A small flat button showing one of the toolkit's glyphs, with a hint.
#pragma once
#include "ui/Control.h"

namespace ui {

enum class Glyph { Close, Popup, Help };

class ToolButton : public Control {
 public:
  ToolButton(Control* parent, std::string name, Glyph glyph)
      : Control(parent, std::move(name)), glyph_(glyph) {}
  Glyph glyph() const { return glyph_; }

 private:
  Glyph glyph_;
};

}  // namespace ui
