#include "popup/uBlockList.h"
#include "settings/Schema.h"

namespace popup {

TfrmBlockList::TfrmBlockList(platform::Platform& platform, ui::Toolkit& toolkit)
    : chrome::HeaderForm(toolkit, "frmBlockList", 597, 385),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { close(); })),
      lbBlock(&Panel1, "lbBlock"),
      lb_counter(&Panel1, "lb_counter"),
      Close_popup(toolkit, platform.timers, 1000, false),
      MaxWindows(toolkit, platform.timers, 500, false),
      Reg_Cnt(platform.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Counter, true),
      blockList(platform.files, platform.dialogs, *this, lbBlock, Reg_Cnt) {
  setCaption("Block List");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  lbBlock.setBounds(312, 44, 273, 265);
  lbBlock.setSorted(true);
  lb_counter.setBounds(312, 316, 0, 13);
  OnCreate = [this] { FormCreate(); };
}

// A list file that cannot be read ends this handler with its error; the
// list stays empty and the program goes on.
void TfrmBlockList::FormCreate() {
  RemoveCaption();
  blockList.LoadBlockList();
}

}  // namespace popup
