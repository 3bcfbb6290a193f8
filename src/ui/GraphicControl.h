// A control without a window of its own: its parent draws it over its own
// background, in creation order, and tells it when the mouse enters, leaves
// or presses it. Labels, images and bevels are such controls. One that is a
// tab stop takes the keyboard focus, so it is given a window after all.
#pragma once
#include "ui/Control.h"

namespace ui {

class GraphicControl : public Control {
 public:
  using Control::Control;

  // Reached with Tab, shows a focus rectangle while focused, and is
  // activated with Enter or Space.
  bool tabStop = false;
  virtual void activate() {}
};

}  // namespace ui
