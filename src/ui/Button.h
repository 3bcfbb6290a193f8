// A push button with a caption ("&" marks its letter); a click runs OnClick.
// The form's Enter key clicks its default button, Escape its cancel button.
#pragma once
#include <cctype>
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
  // The letter "&" marks, in lower case; 0 when none ("&&" is a plain "&").
  char accelerator() const {
    for (std::size_t i = 0; i + 1 < caption_.size(); ++i) {
      if (caption_[i] != '&') continue;
      if (caption_[i + 1] != '&') return static_cast<char>(std::tolower(static_cast<unsigned char>(caption_[i + 1])));
      ++i;
    }
    return 0;
  }
  void setCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    changed();
  }

 private:
  std::string caption_;
};

}  // namespace ui
