#include "chrome/URLLabel.h"
#include "ui/Form.h"

namespace chrome {

namespace {

// Property by property, in the order the label's font takes them: the size
// after the height, so the size decides.
void applyFont(ui::Font& to, const ui::Font& from) {
  to.setCharset(from.charset());
  to.setColor(from.color());
  to.setHeight(from.height());
  to.setName(from.name());
  to.setPitch(from.pitch());
  to.setSize(from.size());
  to.setStyle(from.style());
}

}  // namespace

std::string TURLLabel::DefaultURL() { return std::string("http://") + TARNWICK_VENDOR_HOST + "/"; }

TURLLabel::TURLLabel(ui::Control* parent, std::string name, platform::Shell& shell)
    : ui::Label(parent, std::move(name)), URL(DefaultURL()), shell_(shell) {
  tabStop = true;
  font().setColor(ui::clBlack);
  font().setStyle(0);
  setCaption(URL);
  MouseOverFont.setCharset(font().charset());
  MouseOverFont.setName(font().name());
  MouseOverFont.setPitch(font().pitch());
  MouseOverFont.setHeight(font().height());
  MouseOverFont.setSize(font().size());
  MouseOverFont.setColor(ui::clBlue);
  MouseOverFont.setStyle(ui::fontstyle::Underline);
}

void TURLLabel::mouseEnter() {
  ui::Label::mouseEnter();
  const ui::Font& f = font();
  saved_.setCharset(f.charset());
  saved_.setHeight(f.height());
  saved_.setName(f.name());
  saved_.setColor(f.color());
  saved_.setPitch(f.pitch());
  saved_.setSize(f.size());
  saved_.setStyle(f.style());
  applyFont(font(), MouseOverFont);
  repaint();
}

void TURLLabel::mouseLeave() {
  ui::Label::mouseLeave();
  applyFont(font(), saved_);
  repaint();
}

void TURLLabel::mouseDown(ui::MouseButton button, int x, int y) {
  ui::Label::mouseDown(button, x, y);
  open();
}

void TURLLabel::open() {
  ui::Form* f = form();
  shell_.execute(f ? f->handle() : 0, "open", URL);
}

}  // namespace chrome
