#include "platform/fake/FakeToolkit.h"
#include "chrome/WindowHeader.h"

namespace fake {

namespace {

std::uint32_t initialStyle(ui::BorderStyle b) {
  constexpr std::uint32_t Popup = 0x80000000, SysMenu = 0x00080000, ThickFrame = 0x00040000;
  switch (b) {
    case ui::BorderStyle::None: return Popup;
    case ui::BorderStyle::Sizeable: return chrome::style::Caption | SysMenu | ThickFrame;
    default: return chrome::style::Caption | SysMenu;
  }
}

}  // namespace

FakeFormPeer::FakeFormPeer(FakeToolkit& tk, ui::Form& form, platform::WindowId id)
    : tk_(tk), form_(form), id_(id), style_(initialStyle(form.borderStyle())) {}

void FakeFormPeer::sync() {
  // The client area is the window less its frame.
  const bool bordered = form_.borderStyle() != ui::BorderStyle::None;
  const int border = bordered ? 2 * FakeBorder : 0;
  const int caption = (style_ & chrome::style::Caption) == chrome::style::Caption ? FakeCaptionHeight : 0;
  form_.clientResized(form_.width() - border, form_.height() - border - caption);
}

void FakeFormPeer::runModal() {
  const int ends = modalEnds;
  if (tk_.onModal) tk_.onModal(form_);
  if (modalEnds == ends) form_.close();
}

void FakeToolkit::realise(ui::Form& form) {
  auto peer = std::make_unique<FakeFormPeer>(*this, form, nextId_++);
  form.attachPeer(peer.get());
  const bool bordered = form.borderStyle() != ui::BorderStyle::None;
  const int border = bordered ? 2 * FakeBorder : 0;
  const int caption = bordered ? FakeCaptionHeight : 0;
  const int w = form.clientWidth(), h = form.clientHeight();
  form.setBounds(form.left(), form.top(), w + border, h + border + caption);
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
