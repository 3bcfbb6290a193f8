#include "ui/Form.h"
#include <cctype>
#include <vector>
#include "ui/Button.h"

namespace ui {

Form::Form(Toolkit& toolkit, std::string name) : Control(nullptr, std::move(name)), toolkit_(toolkit) {
  Control::setVisible(false);
}

Form::~Form() = default;

void Form::destroy() {
  if (!created_) return;
  created_ = false;
  toolkit_.dispatch(OnDestroy);
}

void Form::setCaption(const std::string& c) {
  if (c == caption_) return;
  caption_ = c;
  changed(Aspect::Text);
}

void Form::setClientSize(int w, int h) {
  clientWidth_ = w;
  clientHeight_ = h;
  if (formPeer() && formPeer()->clientSizeChanged()) {
    realign();
    return;
  }
  setBounds(left(), top(), w, h);
}

void Form::clientResized(int w, int h) {
  if (w == clientWidth_ && h == clientHeight_) return;
  clientWidth_ = w;
  clientHeight_ = h;
  realign();
}

void Form::create() {
  toolkit_.realise(*this);
  created_ = true;
  toolkit_.dispatch(OnCreate);
}

void Form::show() {
  if (visible()) return;
  Control::setVisible(true);
  if (formPeer()) formPeer()->show();
  for (auto& observer : shownObservers) toolkit_.dispatch(observer);
  toolkit_.dispatch(OnShow);
}

void Form::hide() {
  if (!visible()) return;
  Control::setVisible(false);
  if (formPeer()) formPeer()->hide();
  toolkit_.dispatch(OnHide);
}

namespace {

// The buttons on the form that can be pressed, in creation order.
void pressable(Control& parent, std::vector<Button*>& out) {
  for (Control* child : parent.children()) {
    if (!child->visible() || !child->enabled()) continue;
    if (auto* button = dynamic_cast<Button*>(child)) out.push_back(button);
    pressable(*child, out);
  }
}

bool hasCancelButton(const Control& parent) {
  for (const Control* child : parent.children()) {
    if (const auto* button = dynamic_cast<const Button*>(child); button && button->Cancel) return true;
    if (hasCancelButton(*child)) return true;
  }
  return false;
}

}  // namespace

bool Form::keyPressed(FormKey key, char letter) {
  std::vector<Button*> buttons;
  pressable(*this, buttons);
  const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (Button* b : buttons) {
    const bool takes = key == FormKey::Enter    ? b->Default
                       : key == FormKey::Escape ? b->Cancel
                                                : wanted != 0 && b->accelerator() == wanted;
    if (!takes) continue;
    toolkit().dispatch(b->OnClick);
    return true;
  }
  // Escape on a form that has no cancel button at all closes it, as Alt+F4
  // does (a dialog's Escape); a cancel button merely disabled keeps it open.
  if (key != FormKey::Escape || hasCancelButton(*this)) return false;
  close();
  return true;
}

void Form::close() {
  CloseAction action = modal_ ? CloseAction::Free : CloseAction::Hide;
  if (OnClose) toolkit_.dispatch([&] { OnClose(action); });
  if (action == CloseAction::None) return;
  if (modal_) {
    if (formPeer()) formPeer()->endModal();
    return;
  }
  hide();
}

void Form::showModal() {
  modal_ = true;
  show();
  if (formPeer()) formPeer()->runModal();
  modal_ = false;
  hide();
}

}  // namespace ui
