#include "ui/Edit.h"
#include <algorithm>

namespace ui {

void Edit::setText(const std::string& t) {
  if (t == text_) return;
  text_ = t;
  changed(Aspect::Text);
  if (OnChange) OnChange();
}

void Edit::setPasswordChar(char c) {
  if (c == passwordChar_) return;
  passwordChar_ = c;
  changed(Aspect::Look);
}

void HotKeyEdit::setHotKey(std::uint32_t value) {
  std::uint32_t v = value & (shortcut::KeyMask | shortcut::Shift | shortcut::Ctrl | shortcut::Alt);
  if ((v & shortcut::KeyMask) != 0 && (v & (shortcut::Shift | shortcut::Ctrl | shortcut::Alt)) == 0)
    v |= shortcut::Ctrl;
  if ((v & shortcut::KeyMask) == 0) v = 0;
  if (v == hotKey_) return;
  hotKey_ = static_cast<std::uint16_t>(v);
  changed(Aspect::Value);
  if (OnChange) OnChange();
}

void SpinEdit::setRange(int minValue, int maxValue) {
  maxValue = std::max(minValue, maxValue);
  if (minValue == min_ && maxValue == max_) return;
  min_ = minValue;
  max_ = maxValue;
  changed(Aspect::Range);
  setValue(value_);
}

void SpinEdit::setValue(int v) {
  v = std::clamp(v, min_, max_);
  if (v == value_) return;
  value_ = v;
  changed(Aspect::Value);
  if (OnChange) OnChange();
}

}  // namespace ui
