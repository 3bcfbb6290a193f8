#include "ui/Font.h"
#include <cstdint>

namespace ui {

int mulDiv(int a, int b, int c) {
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  const std::int64_t half = (c < 0 ? -c : c) / 2;
  const std::int64_t q = ((p < 0) != (c < 0)) ? (p - half) / c : (p + half) / c;
  return static_cast<int>(q);
}

int Font::size() const { return -mulDiv(height_, 72, PixelsPerInch); }

void Font::setSize(int points) {
  if (points == size()) return;
  height_ = -mulDiv(points, PixelsPerInch, 72);
}

}  // namespace ui
