// A container with optional raised or lowered bevels, painted in its colour.
// With no bevels and a paint handler it serves as a custom-drawn strip.
#pragma once
#include "ui/Control.h"

namespace ui {

enum class Bevel { None, Raised, Lowered };

class Panel : public Control {
 public:
  using Control::Control;
  Bevel bevelInner = Bevel::None;
  Bevel bevelOuter = Bevel::Raised;
  Rect insideRect() const override {
    const int b = borderWidth();
    return Rect{b, b, width() - b, height() - b};
  }
  // Width of the bevels inside the panel's edge.
  int borderWidth() const {
    return (bevelInner != Bevel::None ? 1 : 0) + (bevelOuter != Bevel::None ? 1 : 0);
  }
};

}  // namespace ui
