// The striped header strip that replaces the system title bar in every window
// of the program: caption removal, painting, dragging and the tool buttons.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "ui/Form.h"
#include "ui/Panel.h"
#include "ui/ToolButton.h"

namespace chrome {

constexpr int HeaderHeight = 15;
constexpr int HeaderButtonSize = 15;
constexpr unsigned HeaderTextFlags = ui::textflags::Right | ui::textflags::VCenter |
                                     ui::textflags::SingleLine | ui::textflags::EndEllipsis;

// Strips the system caption from a bordered window and makes it shorter by
// the caption's height.
void removeCaption(ui::Form& form);
// Blue stripes on every other row, then the title flush right on a
// button-face box that hides the stripes behind it.
void paintHeader(ui::Canvas& canvas, ui::Rect r, const std::string& title);

// A form with the program's header: Panel1 fills the client area with a
// raised inner and lowered outer bevel; cntHeader sits on top of it.
class HeaderForm : public ui::Form {
 public:
  HeaderForm(ui::Toolkit& toolkit, std::string name, int clientWidth, int clientHeight);

  ui::Panel Panel1;
  ui::Panel cntHeader;

  void RemoveCaption() { removeCaption(*this); }
  void cntHeaderPaint(ui::Canvas& canvas, ui::Rect r) { paintHeader(canvas, r, headerTitle()); }
  void cntHeaderMouseDown();

 protected:
  // Adds the next tool button at the header's left end.
  ui::ToolButton& addHeaderButton(std::string name, ui::Glyph glyph, std::string hint,
                                  std::function<void()> onClick);
  // The text drawn at the right of the header, blanks included.
  virtual std::string headerTitle() = 0;

 private:
  std::vector<std::unique_ptr<ui::ToolButton>> buttons_;
};

}  // namespace chrome
