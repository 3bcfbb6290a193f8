#include "ui/ProgressBar.h"
#include <algorithm>

namespace ui {

void ProgressBar::setLimits(std::int64_t min, std::int64_t max) {
  if (min == min_ && max == max_) return;
  min_ = min;
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  changed(Aspect::Range);
}

void ProgressBar::setMin(std::int64_t v) { setLimits(v, std::max(max_, v)); }

void ProgressBar::setMax(std::int64_t v) { setLimits(std::min(min_, v), v); }

void ProgressBar::setPosition(std::int64_t v) {
  const std::int64_t clamped = std::clamp(v, min_, max_);
  if (clamped == position_) return;
  position_ = clamped;
  changed(Aspect::Value);
}

int ProgressBar::permille() const {
  if (max_ <= min_) return 0;
  // Without overflow for any 64-bit bounds.
  const long double low = static_cast<long double>(min_);
  const long double share = (static_cast<long double>(position_) - low) / (static_cast<long double>(max_) - low);
  return static_cast<int>(share * 1000);
}

}  // namespace ui
