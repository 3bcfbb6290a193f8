// A windowed control with a caption in which "&" marks the letter that
// reaches it from the keyboard: buttons, check boxes, radio buttons, group
// boxes and tab sheets.
#pragma once
#include <string>
#include "ui/Control.h"

namespace ui {

class CaptionControl : public Control {
 public:
  CaptionControl(Control* parent, std::string name, std::string caption)
      : Control(parent, std::move(name)), caption_(std::move(caption)) {}

  const std::string& caption() const { return caption_; }
  // The letter "&" marks, upper-cased; 0 when none.
  char accelerator() const { return captionAccelerator(caption_); }
  void setCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    captionChanged();
  }

 protected:
  virtual void captionChanged() { changed(Aspect::Text); }

 private:
  std::string caption_;
};

}  // namespace ui
