// TURLLabel: a hyperlink label. While the mouse is over it the label shows
// its mouse-over font (blue, underlined) instead of its own; any mouse
// button opens its URL with the system's handler for the scheme, and so do
// Enter and Space while it has the keyboard focus (it is a tab stop).
#pragma once
#include <string>
#include "platform/Shell.h"
#include "ui/Label.h"

namespace chrome {

class TURLLabel : public ui::Label {
 public:
  // Opened when a label is left at its default.
  static std::string DefaultURL();

  TURLLabel(ui::Control* parent, std::string name, platform::Shell& shell);

  std::string URL;
  ui::Font MouseOverFont;
  // The label's own font, kept while the mouse-over font is shown.
  const ui::Font& savedFont() const { return saved_; }

  void mouseEnter() override;
  void mouseLeave() override;
  void mouseDown(ui::MouseButton button, int x, int y) override;
  void activate() override { open(); }

 private:
  void open();
  platform::Shell& shell_;
  ui::Font saved_;
};

}  // namespace chrome
