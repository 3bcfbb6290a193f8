// Text fields. Edit: one line of text, shown as typed or, with a password
// character, as that character per letter; every change of the text runs
// OnChange, whether the user typed it or the program set it.
// HotKeyEdit: shows and takes a key combination as a shortcut value (the
// key code in the low byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt); a key
// without a modifier is never held: Ctrl is added to it.
// SpinEdit: a whole number within its bounds, changed by its arrows only.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "ui/Control.h"

namespace ui {

class Edit : public Control {
 public:
  using Control::Control;
  const std::string& text() const { return text_; }
  void setText(const std::string& t);
  // 0 shows the text itself.
  char passwordChar() const { return passwordChar_; }
  void setPasswordChar(char c);
  // The field holds a file-system path: its text is UTF-8, whatever letters
  // the path has, where every other text is in the ANSI code page. Set
  // before the field is shown.
  bool holdsPath = false;

  std::function<void()> OnChange;

 private:
  std::string text_;
  char passwordChar_ = 0;
};

namespace shortcut {
inline constexpr std::uint32_t Shift = 0x2000;
inline constexpr std::uint32_t Ctrl = 0x4000;
inline constexpr std::uint32_t Alt = 0x8000;
inline constexpr std::uint32_t KeyMask = 0xFF;
}  // namespace shortcut

class HotKeyEdit : public Control {
 public:
  using Control::Control;
  std::uint16_t hotKey() const { return hotKey_; }
  // 0 is no key; a key code without Shift, Ctrl or Alt gets Ctrl.
  void setHotKey(std::uint32_t value);

  std::function<void()> OnChange;

 private:
  std::uint16_t hotKey_ = 0;
};

class SpinEdit : public Control {
 public:
  using Control::Control;
  int minValue() const { return min_; }
  int maxValue() const { return max_; }
  void setRange(int minValue, int maxValue);
  int value() const { return value_; }
  // Clamped to the bounds.
  void setValue(int v);
  // The width of the number shown, in digits.
  int digits = 2;

  std::function<void()> OnChange;

 private:
  int min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace ui
