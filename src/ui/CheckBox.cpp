#include "ui/CheckBox.h"

namespace ui {

// The handler runs inside the caller's: an exception it throws ends the
// caller's handler too, as a click made from code would.
namespace {
void runClick(Control& c) {
  if (c.OnClick) c.OnClick();
}
}  // namespace

void CheckBox::setChecked(bool c) {
  if (c == checked_) return;
  checked_ = c;
  changed(Aspect::Value);
  runClick(*this);
}

void RadioButton::setChecked(bool c) {
  if (c == checked_) return;
  checked_ = c;
  changed(Aspect::Value);
  if (!c) return;
  if (parent())
    for (Control* sibling : parent()->children())
      if (auto* other = dynamic_cast<RadioButton*>(sibling); other && other != this) other->setChecked(false);
  runClick(*this);
}

}  // namespace ui
