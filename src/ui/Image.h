// A picture drawn to fill the control's bounds: the program's icon or one
// of the system's message symbols.
#pragma once
#include "ui/GraphicControl.h"

namespace ui {

enum class Picture { None, ProgramIcon, InformationSymbol, WarningSymbol };

class Image : public GraphicControl {
 public:
  Image(Control* parent, std::string name, Picture picture = Picture::None)
      : GraphicControl(parent, std::move(name)), picture_(picture) {}
  Picture picture() const { return picture_; }
  void setPicture(Picture p) {
    if (p == picture_) return;
    picture_ = p;
    changed(Aspect::Look);
  }

 private:
  Picture picture_;
};

}  // namespace ui
