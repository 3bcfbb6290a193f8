#include "popup/uBlockList.h"

namespace popup {

TfrmBlockList::TfrmBlockList(ui::Toolkit& toolkit)
    : chrome::HeaderForm(toolkit, "frmBlockList", 597, 385),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { close(); })) {
  setCaption("Block List");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  OnCreate = [this] { RemoveCaption(); };
}

}  // namespace popup
