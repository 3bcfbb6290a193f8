#include "settings/uOptions.h"

namespace settings {

TfrmOptions::TfrmOptions(ui::Toolkit& toolkit)
    : chrome::HeaderForm(toolkit, "frmOptions", 353, 365),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { close(); })) {
  setCaption("Options");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  Panel1.setColor(ui::clSilver);
  cntHeader.setColor(ui::clSilver);
  OnCreate = [this] { RemoveCaption(); };
}

}  // namespace settings
