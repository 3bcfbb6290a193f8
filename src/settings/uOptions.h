// TfrmOptions: the options window. Created at start and kept until the
// program ends; its pages and their settings arrive with the options editor.
#pragma once
#include "chrome/WindowHeader.h"

namespace settings {

class TfrmOptions : public chrome::HeaderForm {
 public:
  explicit TfrmOptions(ui::Toolkit& toolkit);

  ui::ToolButton& btnMinimize;

 protected:
  std::string headerTitle() override { return "  Options  "; }
};

}  // namespace settings
