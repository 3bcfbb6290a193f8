#include "ui/ListBox.h"
#include <algorithm>
#include <numeric>

namespace ui {

namespace {

// The C library's tolower in the program's "C" locale, without its locale
// lookup per letter, which a sort of thousands of lines would pay millions
// of times.
unsigned char lowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return lowerAscii(x) < lowerAscii(y);
  });
}

void ListBox::setSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  if (!sorted_) return;
  // Sort positions rather than lines, so the selection follows its line.
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lessIgnoringCase(items_[a], items_[b]); });
  std::vector<std::string> lines;
  lines.reserve(items_.size());
  int selected = -1;
  for (int i = 0; i < count(); ++i) {
    lines.push_back(std::move(items_[order[i]]));
    if (order[i] == itemIndex_) selected = i;
  }
  items_ = std::move(lines);
  itemIndex_ = selected;
  linesChanged(Aspect::Lines);
}

void ListBox::linesChanged(Aspect aspect, int index) {
  ++revision_;
  changed(aspect, index);
}

void ListBox::setItemIndex(int index) {
  if (index < 0 || index >= count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  changed(Aspect::Selection);
  if (OnChange) OnChange();
}

int ListBox::sortedPlace(const std::string& line) const {
  // After every line that does not come after it, so equal lines stay in
  // the order they arrived.
  return static_cast<int>(std::upper_bound(items_.begin(), items_.end(), line, lessIgnoringCase) -
                          items_.begin());
}

int ListBox::place(int index, const std::string& line) {
  items_.insert(items_.begin() + index, line);
  // The selection moves down with its line, as the list control's does.
  if (itemIndex_ >= index) ++itemIndex_;
  linesChanged(Aspect::LineInserted, index);
  return index;
}

int ListBox::add(const std::string& line) {
  return place(sorted_ ? sortedPlace(line) : count(), line);
}

int ListBox::insert(int index, const std::string& line) {
  if (sorted_) return place(sortedPlace(line), line);
  return place(index >= 0 && index <= count() ? index : count(), line);
}

void ListBox::remove(int index) {
  if (index < 0 || index >= count()) return;
  items_.erase(items_.begin() + index);
  const bool selectedGone = itemIndex_ == index;
  if (selectedGone)
    itemIndex_ = -1;
  else if (itemIndex_ > index)
    --itemIndex_;
  linesChanged(Aspect::LineRemoved, index);
  if (selectedGone) changed(Aspect::Selection);
}

void ListBox::clear() {
  if (items_.empty()) return;
  setItems({});
}

void ListBox::setItems(std::vector<std::string> lines) {
  if (sorted_) std::stable_sort(lines.begin(), lines.end(), lessIgnoringCase);
  items_ = std::move(lines);
  itemIndex_ = -1;
  linesChanged(Aspect::Lines);
}

}  // namespace ui
