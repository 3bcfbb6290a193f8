#include "ui/TaskPaneGroup.h"
#include <algorithm>
#include "ui/Form.h"

namespace ui {

TaskPaneGroup::TaskPaneGroup(Control* parent, std::string name, std::string caption)
    : Control(parent, std::move(name)), caption_(std::move(caption)) {}

void TaskPaneGroup::addItem(const std::string& caption, std::function<void()> onClick) {
  items_.push_back(TaskPaneItem{caption, true, std::move(onClick)});
  changed(Aspect::Lines);
}

void TaskPaneGroup::addLabel(const std::string& caption) {
  items_.push_back(TaskPaneItem{caption, false, nullptr});
  changed(Aspect::Lines);
}

void TaskPaneGroup::setCollapsed(bool c) {
  if (c == collapsed_) return;
  collapsed_ = c;
  if (collapsed_) keyTarget_ = KeyHeader;
  setBounds(left(), top(), width(), collapsed_ ? CollapsedHeight : expandedHeight_);
  changed(Aspect::Value);
}

void TaskPaneGroup::setExpandedHeight(int h) {
  expandedHeight_ = h;
  if (!collapsed_) setHeight(h);
}

void TaskPaneGroup::clickHeader() {
  const bool wasCollapsed = collapsed_;
  if (Form* f = form()) f->toolkit().dispatch(OnClick);
  setCollapsed(!wasCollapsed);
}

void TaskPaneGroup::clickItem(std::size_t index) {
  if (index >= items_.size() || !items_[index].enabled) return;
  Form* f = form();
  if (!f) return;
  // Copy: the command may change the item list.
  auto command = items_[index].OnClick;
  f->toolkit().dispatch(command);
  f->toolkit().dispatch(OnClick);
}

std::vector<int> TaskPaneGroup::keyTargets() const {
  std::vector<int> targets{KeyHeader};
  if (collapsed_) return targets;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].enabled) targets.push_back(static_cast<int>(i));
  return targets;
}

bool TaskPaneGroup::moveKey(bool forward) {
  const std::vector<int> targets = keyTargets();
  auto at = std::find(targets.begin(), targets.end(), keyTarget());
  if (at == targets.end()) at = targets.begin();
  if (forward ? at + 1 == targets.end() : at == targets.begin()) return false;
  setKeyTarget(*(forward ? at + 1 : at - 1));
  return true;
}

void TaskPaneGroup::enterKey(bool forward) { setKeyTarget(forward ? KeyHeader : keyTargets().back()); }

void TaskPaneGroup::setKeyTarget(int target) {
  const std::vector<int> targets = keyTargets();
  if (target == keyTarget_ || std::find(targets.begin(), targets.end(), target) == targets.end()) return;
  keyTarget_ = target;
  changed(Aspect::Selection);
}

void TaskPaneGroup::pressKey() {
  const int target = keyTarget();
  if (target == KeyHeader)
    clickHeader();
  else
    clickItem(static_cast<std::size_t>(target));
}

}  // namespace ui
