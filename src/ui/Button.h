// A push button with a caption ("&" marks its letter); a click runs OnClick.
// The form's Enter key clicks its default button, Escape its cancel button.
#pragma once
#include <string>
#include "ui/Control.h"

namespace ui {

class Button : public Control {
 public:
  Button(Control* parent, std::string name, std::string caption)
      : Control(parent, std::move(name)), caption_(std::move(caption)) {}
  bool Default = false;
  bool Cancel = false;

  const std::string& caption() const { return caption_; }
  // The letter "&" marks, upper-cased; 0 when none.
  char accelerator() const { return captionAccelerator(caption_); }
  void setCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    changed();
  }

 private:
  std::string caption_;
};

}  // namespace ui
