// A collapsible task pane: a header bar with a caption and, below it while
// expanded, a column of command items.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "ui/Control.h"

namespace ui {

struct TaskPaneItem {
  std::string caption;
  bool enabled = true;  // a disabled item is a label or a separator line
  std::function<void()> OnClick;
};

class TaskPaneGroup : public Control {
 public:
  static constexpr int CollapsedHeight = 35;
  static constexpr int ItemHeight = 20;

  TaskPaneGroup(Control* parent, std::string name, std::string caption);

  const std::string& caption() const { return caption_; }
  std::vector<TaskPaneItem>& items() { return items_; }
  void addItem(const std::string& caption, std::function<void()> onClick);
  void addLabel(const std::string& caption);

  bool collapsed() const { return collapsed_; }
  void setCollapsed(bool c);
  // Height while expanded; the pane's own height follows its state.
  int expandedHeight() const { return expandedHeight_; }
  void setExpandedHeight(int h);

  // A click on the header: the pane's OnClick runs and sees the state before
  // the click; then the pane toggles.
  void clickHeader();
  // A click on an item: the item's command, then the pane's OnClick.
  void clickItem(std::size_t index);

  // The keyboard's place in the pane: the header (KeyHeader) or the index
  // of an enabled item; always the header while the pane is folded.
  static constexpr int KeyHeader = -1;
  int keyTarget() const { return collapsed_ ? KeyHeader : keyTarget_; }
  // The next place (Tab, Down) or the previous one (Shift+Tab, Up); false
  // when there is none, so the keyboard leaves the pane.
  bool moveKey(bool forward);
  // The keyboard comes in from the pane before (at the header) or from
  // the one after (at the last place).
  void enterKey(bool forward);
  // A place the mouse chose; ignored unless it can hold the keyboard.
  void setKeyTarget(int target);
  // Enter or Space: the header toggles, an item runs, as clicked.
  void pressKey();

 private:
  std::string caption_;
  std::vector<TaskPaneItem> items_;
  // The places the keyboard stops at, in order: the header, then the
  // enabled items while the pane is open.
  std::vector<int> keyTargets() const;
  bool collapsed_ = true;
  int keyTarget_ = KeyHeader;
  int expandedHeight_ = CollapsedHeight;
};

}  // namespace ui
