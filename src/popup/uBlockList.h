// TfrmBlockList: the block list window. Created at start and kept until the
// program ends; its lists, buttons and timers arrive with the popup blocker.
#pragma once
#include "chrome/WindowHeader.h"

namespace popup {

class TfrmBlockList : public chrome::HeaderForm {
 public:
  explicit TfrmBlockList(ui::Toolkit& toolkit);

  ui::ToolButton& btnMinimize;

 protected:
  std::string headerTitle() override { return "  Block List  "; }
};

}  // namespace popup
