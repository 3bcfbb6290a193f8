// The process entry: the single-instance rule, the long-lived windows in
// their order, and the message loop.
#pragma once
#include <string>
#include "app/uMain.h"
#include "platform/Platform.h"
#include "popup/uBlockList.h"
#include "settings/uOptions.h"
#include "ui/Toolkit.h"

namespace app {

// The mutex name: "PREVINST:" followed by the application window's title as
// it stands before the program sets its own.
std::string InstanceMutexName(ui::Toolkit& toolkit);
bool CheckFirstInstance(platform::Instance& instance, ui::Toolkit& toolkit);
// Brings the already running copy to the front, when it can be found.
void ActivateRunningInstance(platform::Windows& windows, ui::Toolkit& toolkit);
// The three windows that live as long as the program, linked to each other.
// create() realises them in their order: main, block list, options.
struct ProgramWindows {
  ProgramWindows(platform::Platform& platform, ui::Toolkit& toolkit);
  void create();

  TfrmMain frmMain;
  popup::TfrmBlockList frmBlockList;
  settings::TfrmOptions frmOptions;
};

// Returns the process exit code.
int RunProgram(platform::Platform& platform, ui::Toolkit& toolkit);

}  // namespace app
