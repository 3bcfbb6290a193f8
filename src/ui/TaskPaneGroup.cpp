#include "ui/TaskPaneGroup.h"
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

}  // namespace ui
