#include "ui/fake/FakeToolkit.h"

namespace fake {

namespace {

std::uint32_t initialStyle(ui::BorderStyle b) {
  using namespace ui::windowstyle;
  switch (b) {
    case ui::BorderStyle::None: return Popup;
    case ui::BorderStyle::Sizeable: return Caption | SysMenu | ThickFrame;
    default: return Caption | SysMenu;
  }
}

struct Frame {
  int width, height;  // what the frame adds to the client area
};

Frame frameOf(const ui::Form& form, std::uint32_t style) {
  const int border = form.borderStyle() != ui::BorderStyle::None ? 2 * FakeBorder : 0;
  const bool caption = (style & ui::windowstyle::Caption) == ui::windowstyle::Caption;
  return Frame{border, border + (caption ? FakeCaptionHeight : 0)};
}

}  // namespace

FakeFormPeer::FakeFormPeer(FakeToolkit& tk, ui::Form& form, platform::WindowId id)
    : tk_(tk), form_(form), id_(id), style_(initialStyle(form.borderStyle())) {}

void FakeFormPeer::sync() {
  // The client area is the window less its frame.
  const Frame f = frameOf(form_, style_);
  form_.clientResized(form_.width() - f.width, form_.height() - f.height);
}

void FakeFormPeer::runModal() {
  const int ends = modalEnds;
  if (tk_.onModal) tk_.onModal(form_);
  if (modalEnds == ends) form_.close();
}

void FakeToolkit::realise(ui::Form& form) {
  auto peer = std::make_unique<FakeFormPeer>(*this, form, nextId_++);
  form.attachPeer(peer.get());
  const Frame f = frameOf(form, peer->style());
  form.setBounds(form.left(), form.top(), form.clientWidth() + f.width, form.clientHeight() + f.height);
  peers_.push_back(std::move(peer));
  realised.push_back(form.name());
}

FakeFormPeer* FakeToolkit::peerOf(ui::Form& form) { return dynamic_cast<FakeFormPeer*>(form.peer()); }

void FakeToolkit::popup(ui::PopupMenu& menu, int x, int y) {
  menus.push_back({&menu, x, y});
  if (onPopup) onPopup(menu);
}

void FakeToolkit::run() {
  if (onRun) onRun();
}

}  // namespace fake
