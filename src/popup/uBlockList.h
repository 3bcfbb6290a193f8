// TfrmBlockList: the block list window. Created at start and kept until the
// program ends; it owns the block list (lbBlock and its store) and the
// counter-key component the store reports to. Its buttons and timers arrive
// with the rest of the popup blocker.
#pragma once
#include "chrome/WindowHeader.h"
#include "platform/Platform.h"
#include "popup/BlockListStore.h"
#include "settings/mRegistry.h"
#include "ui/ListBox.h"

namespace popup {

class TfrmBlockList : public chrome::HeaderForm {
 public:
  TfrmBlockList(platform::Platform& platform, ui::Toolkit& toolkit);

  ui::ToolButton& btnMinimize;
  ui::ListBox lbBlock;
  settings::TmRegistry Reg_Cnt;
  BlockListStore blockList;

  void FormCreate();

 protected:
  std::string headerTitle() override { return "  Block List  "; }
};

}  // namespace popup
