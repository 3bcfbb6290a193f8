// A push button with a caption ("&" marks its letter); a click runs OnClick.
#pragma once
#include <string>
#include "ui/Control.h"

namespace ui {

class Button : public Control {
 public:
  Button(Control* parent, std::string name, std::string caption)
      : Control(parent, std::move(name)), caption_(std::move(caption)) {}
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    changed();
  }

 private:
  std::string caption_;
};

}  // namespace ui
