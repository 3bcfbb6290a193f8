// A push button with a caption ("&" marks its letter); a click runs OnClick.
// The form's Enter key clicks its default button, Escape its cancel button.
#pragma once
#include "ui/CaptionControl.h"

namespace ui {

class Button : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
  bool Default = false;
  bool Cancel = false;
};

}  // namespace ui
