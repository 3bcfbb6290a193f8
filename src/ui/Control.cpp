#include "ui/Control.h"
#include <algorithm>
#include "ui/Form.h"

namespace ui {

Control::Control(Control* parent, std::string name) : name_(std::move(name)), parent_(parent) {
  if (parent_) {
    parent_->children_.push_back(this);
    color_ = parent_->color_;
  }
}

Control::~Control() {
  if (peer_) peer_->controlDestroyed();
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

Form* Control::form() {
  Control* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<Form*>(c);
}

void Control::setBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  changed(Aspect::Bounds);
  if (resized) realign();
  if (parent_ && align_ != Align::None) parent_->realign();
}

void Control::setAlign(Align a) {
  align_ = a;
  if (parent_) parent_->realign();
}

void Control::realign() {
  if (aligning_) return;
  aligning_ = true;
  Rect r = insideRect();
  for (Control* c : children_) {
    if (c->align_ == Align::Top && c->visible_) {
      c->setBounds(r.left, r.top, r.width(), c->height_);
      r.top += c->height_;
    }
  }
  for (Control* c : children_)
    if (c->align_ == Align::Client) c->setBounds(r.left, r.top, r.width(), std::max(0, r.height()));
  aligning_ = false;
}

void Control::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  changed(Aspect::Visible);
  if (parent_ && align_ != Align::None) parent_->realign();
}

void Control::setEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  changed(Aspect::Enabled);
}

void Control::setColor(Color c) {
  if (c == color_) return;
  color_ = c;
  changed(Aspect::Look);
}

void Control::setHint(const std::string& h) {
  if (h == hint_) return;
  hint_ = h;
  changed(Aspect::Hint);
}

void Control::repaint() {
  if (peer_) peer_->repaint();
}

void Control::mouseDown(MouseButton button, int x, int y) {
  if (OnMouseDown) OnMouseDown(button, x, y);
}

void Control::mouseEnter() {
  if (OnMouseEnter) OnMouseEnter();
}

void Control::mouseLeave() {
  if (OnMouseLeave) OnMouseLeave();
}

void Control::changed(Aspect aspect, int index) {
  if (peer_) peer_->update(Change{aspect, index});
}

}  // namespace ui
