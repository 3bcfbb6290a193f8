// A smooth progress bar: a position between a minimum and a maximum, shown
// as one unbroken band. The bounds are 64-bit, so a byte count can be a
// bound as it stands; the position always stays within them.
#pragma once
#include <cstdint>
#include "ui/Control.h"

namespace ui {

class ProgressBar : public Control {
 public:
  using Control::Control;
  std::int64_t min() const { return min_; }
  std::int64_t max() const { return max_; }
  std::int64_t position() const { return position_; }
  void setMin(std::int64_t v);
  void setMax(std::int64_t v);
  void setPosition(std::int64_t v);
  // The filled share of the bar, in thousandths.
  int permille() const;

 private:
  void setLimits(std::int64_t min, std::int64_t max);
  std::int64_t min_ = 0, max_ = 100, position_ = 0;
};

}  // namespace ui
