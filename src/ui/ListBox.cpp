#include "ui/ListBox.h"
#include <algorithm>
#include <cctype>
#include <numeric>

namespace ui {

bool lessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

void ListBox::setSorted(bool sorted) {
  if (sorted == sorted_) return;
  sorted_ = sorted;
  if (sorted_) {
    // Sort positions rather than lines, so the selection follows its line.
    std::vector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return lessIgnoringCase(items_[a], items_[b]); });
    std::vector<std::string> lines;
    int selected = -1;
    for (int i = 0; i < count(); ++i) {
      lines.push_back(items_[order[i]]);
      if (order[i] == itemIndex_) selected = i;
    }
    items_ = std::move(lines);
    itemIndex_ = selected;
  }
  changed();
}

void ListBox::setItemIndex(int index) {
  itemIndex_ = index >= 0 && index < count() ? index : -1;
  changed();
}

int ListBox::sortedPlace(const std::string& line) const {
  // After every line that does not come after it, so equal lines stay in
  // the order they arrived.
  return static_cast<int>(std::upper_bound(items_.begin(), items_.end(), line, lessIgnoringCase) -
                          items_.begin());
}

int ListBox::place(int index, const std::string& line) {
  items_.insert(items_.begin() + index, line);
  if (itemIndex_ >= index) ++itemIndex_;
  changed();
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
  if (itemIndex_ == index)
    itemIndex_ = -1;
  else if (itemIndex_ > index)
    --itemIndex_;
  changed();
}

void ListBox::clear() {
  items_.clear();
  itemIndex_ = -1;
  changed();
}

}  // namespace ui
