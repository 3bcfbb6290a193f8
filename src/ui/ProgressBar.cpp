#include "ui/ProgressBar.h"
#include <algorithm>

namespace ui {

void ProgressBar::setMin(std::int64_t v) {
  min_ = v;
  max_ = std::max(max_, min_);
  position_ = std::clamp(position_, min_, max_);
  changed();
}

void ProgressBar::setMax(std::int64_t v) {
  max_ = v;
  min_ = std::min(min_, max_);
  position_ = std::clamp(position_, min_, max_);
  changed();
}

void ProgressBar::setPosition(std::int64_t v) {
  const std::int64_t clamped = std::clamp(v, min_, max_);
  if (clamped == position_) return;
  position_ = clamped;
  changed();
}

int ProgressBar::permille() const {
  if (max_ <= min_) return 0;
  // Without overflow for any 64-bit bounds.
  const long double low = static_cast<long double>(min_);
  const long double share = (static_cast<long double>(position_) - low) / (static_cast<long double>(max_) - low);
  return static_cast<int>(share * 1000);
}

}  // namespace ui
