// A bevelled frame drawn in the parent: a raised or lowered box round its
// bounds, or a single raised or lowered line along its top.
#pragma once
#include "ui/GraphicControl.h"
#include "ui/Panel.h"

namespace ui {

enum class BevelShape { Box, TopLine };

class BevelFrame : public GraphicControl {
 public:
  BevelFrame(Control* parent, std::string name, BevelShape shape = BevelShape::Box, Bevel style = Bevel::Lowered)
      : GraphicControl(parent, std::move(name)), shape_(shape), style_(style) {}
  BevelShape shape() const { return shape_; }
  Bevel style() const { return style_; }

 private:
  BevelShape shape_;
  Bevel style_;
};

}  // namespace ui
