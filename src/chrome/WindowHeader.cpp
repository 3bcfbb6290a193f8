#include "chrome/WindowHeader.h"

namespace chrome {

void removeCaption(ui::Form& form) {
  if (form.borderStyle() == ui::BorderStyle::None) return;
  ui::FormPeer* peer = form.formPeer();
  if (!peer) return;
  std::uint32_t s = peer->style();
  if ((s & ui::windowstyle::Caption) != ui::windowstyle::Caption) return;
  switch (form.borderStyle()) {
    case ui::BorderStyle::Single:
    case ui::BorderStyle::Sizeable:
      peer->setStyle((s & ~ui::windowstyle::Caption) | ui::windowstyle::Border);
      break;
    case ui::BorderStyle::Dialog:
      peer->setStyle((s & ~ui::windowstyle::Caption) | ui::windowstyle::DlgFrame | ui::windowstyle::ModalFrame);
      break;
    default:  // tool windows keep their style
      break;
  }
  form.setHeight(form.height() - peer->captionHeight());
  form.repaint();
}

void paintHeader(ui::Canvas& canvas, ui::Rect r, const std::string& title) {
  canvas.setBrushClear();
  canvas.setPenColor(ui::clBlue);
  for (int i = r.top; i <= r.bottom; ++i) {
    const int y = 2 * i + r.top;
    canvas.rectangle(r.left + 1, y, r.right - 1, y + 1);
  }
  canvas.setBrushColor(ui::clBtnFace);
  canvas.drawText(title, r, HeaderTextFlags);
}

HeaderForm::HeaderForm(ui::Toolkit& toolkit, std::string name, int clientWidth, int clientHeight)
    : ui::Form(toolkit, std::move(name)), Panel1(this, "Panel1"), cntHeader(&Panel1, "cntHeader") {
  setClientSize(clientWidth, clientHeight);
  Panel1.bevelInner = ui::Bevel::Raised;
  Panel1.bevelOuter = ui::Bevel::Lowered;
  Panel1.setBounds(0, 0, clientWidth, clientHeight);
  Panel1.setAlign(ui::Align::Client);
  cntHeader.bevelInner = ui::Bevel::None;
  cntHeader.bevelOuter = ui::Bevel::None;
  cntHeader.setBounds(2, 2, clientWidth - 4, HeaderHeight);
  cntHeader.setAlign(ui::Align::Top);
  cntHeader.OnPaint = [this](ui::Canvas& c, ui::Rect r) { cntHeaderPaint(c, r); };
  cntHeader.OnMouseDown = [this](ui::MouseButton, int, int) { cntHeaderMouseDown(); };
}

void HeaderForm::cntHeaderMouseDown() {
  if (formPeer()) formPeer()->beginDrag();
}

ui::ToolButton& HeaderForm::addHeaderButton(std::string name, ui::Glyph glyph, std::string hint,
                                            std::function<void()> onClick) {
  auto button = std::make_unique<ui::ToolButton>(&cntHeader, std::move(name), glyph);
  button->setBounds(static_cast<int>(buttons_.size()) * HeaderButtonSize, 0, HeaderButtonSize,
                    HeaderButtonSize);
  button->setHint(std::move(hint));
  button->OnClick = std::move(onClick);
  buttons_.push_back(std::move(button));
  return *buttons_.back();
}

}  // namespace chrome
