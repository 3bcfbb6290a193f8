// TfrmBlockList: the block list window. Created at start and kept until the
// program ends; it owns the block list (lbBlock and its store), the
// counter-key component the store reports to, the closed-popups label and
// the popup blocker's two timers, which the options window switches.
#pragma once
#include "chrome/WindowHeader.h"
#include "platform/Platform.h"
#include "popup/BlockListStore.h"
#include "settings/mRegistry.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Timer.h"

namespace popup {

class TfrmBlockList : public chrome::HeaderForm {
 public:
  TfrmBlockList(platform::Platform& platform, ui::Toolkit& toolkit);

  ui::ToolButton& btnMinimize;
  ui::ListBox lbBlock;
  ui::Label lb_counter;
  // The closing loop, once a second, and the open-window limit, twice a
  // second; both off until the blocker is switched on.
  ui::Timer Close_popup;
  ui::Timer MaxWindows;
  settings::TmRegistry Reg_Cnt;
  BlockListStore blockList;

  void FormCreate();

 protected:
  std::string headerTitle() override { return "  Block List  "; }
};

}  // namespace popup
