// Check boxes and radio buttons. Setting Checked to a different state runs
// OnClick exactly as the user's click does; the same state runs nothing.
// Radio buttons sharing a parent form one group: checking one clears the
// others, and a radio button runs OnClick only when it becomes checked.
#pragma once
#include "ui/CaptionControl.h"

namespace ui {

class CheckBox : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
  bool checked() const { return checked_; }
  void setChecked(bool c);
  // The user clicked it (mouse, Space or its letter): the state flips.
  void toggle() { setChecked(!checked_); }

 private:
  bool checked_ = false;
};

class RadioButton : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
  bool checked() const { return checked_; }
  void setChecked(bool c);
  // The user chose it: it becomes the checked one of its group.
  void choose() { setChecked(true); }

 private:
  bool checked_ = false;
};

// A captioned frame round a group of controls.
class GroupBox : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
};

}  // namespace ui
