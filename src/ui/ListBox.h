// A list of text lines with one selected line, kept in order of insertion or,
// when Sorted, in ascending order that ignores letter case (equal lines keep
// the order in which they came). A sorted line finds its place by binary
// search; a whole list is sorted once. The user selects a line with the mouse or
// the arrow keys; a double-click anywhere on the list runs OnDblClick.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "ui/Control.h"

namespace ui {

class ListBox : public Control {
 public:
  using Control::Control;

  bool sorted() const { return sorted_; }
  // Switching sorting on puts the present lines in order.
  void setSorted(bool sorted);

  const std::vector<std::string>& items() const { return items_; }
  // Changes whenever a line is added, removed or replaced, so that what is
  // worked out from the lines can tell when to work it out again.
  unsigned long revision() const { return revision_; }
  int count() const { return static_cast<int>(items_.size()); }
  // The selected line's index, -1 for none; an index out of range selects none.
  int itemIndex() const { return itemIndex_; }
  void setItemIndex(int index);

  // Adds a line: at its sorted place when Sorted, else at the end. Returns
  // its index.
  int add(const std::string& line);
  // Inserts a line before `index` (at the end when out of range); when
  // Sorted, at its sorted place instead. Returns its index.
  int insert(int index, const std::string& line);
  // Deletes the line at `index`; nothing when out of range. Deleting the
  // selected line selects none.
  void remove(int index);
  void clear();
  // Replaces every line at once (in sorted order when Sorted) and selects
  // none: one change however many lines.
  void setItems(std::vector<std::string> lines);

  std::function<void()> OnDblClick;
  // The selection moved, by the user or the program.
  std::function<void()> OnChange;
  // The lines are file-system paths: UTF-8, whatever letters they have,
  // where every other text is in the ANSI code page. Set before the list is
  // shown.
  bool holdsPaths = false;

 private:
  int sortedPlace(const std::string& line) const;
  int place(int index, const std::string& line);
  void linesChanged(Aspect aspect, int index = -1);

  std::vector<std::string> items_;
  bool sorted_ = false;
  int itemIndex_ = -1;
  unsigned long revision_ = 0;
};

// The list's order: ascending, letter case not deciding.
bool lessIgnoringCase(const std::string& a, const std::string& b);

}  // namespace ui
