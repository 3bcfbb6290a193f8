#include "ui/Label.h"

namespace ui {

void Label::setCaption(const std::string& c) {
  if (c == caption_) return;
  caption_ = c;
  changed(Aspect::Text);
}

void Label::setFont(const Font& f) {
  if (f == font_) return;
  font_ = f;
  changed(Aspect::Look);
}

void Label::setWordWrap(bool w) {
  if (w == wordWrap_) return;
  wordWrap_ = w;
  changed(Aspect::Look);
}

void Label::setTransparent(bool t) {
  if (t == transparent_) return;
  transparent_ = t;
  changed(Aspect::Look);
}

void Label::setAutoSize(bool a) {
  if (a == autoSize_) return;
  autoSize_ = a;
  changed(Aspect::Look);
}

void Label::setAlignment(TextAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  changed(Aspect::Look);
}

}  // namespace ui
