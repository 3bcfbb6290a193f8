// A control without a window of its own: its parent draws it over its own
// background, in creation order, and tells it when the mouse enters, leaves
// or presses it. Labels, images and bevels are such controls.
#pragma once
#include "ui/Control.h"

namespace ui {

class GraphicControl : public Control {
 public:
  using Control::Control;
};

}  // namespace ui
