// The process entry: the single-instance rule, the long-lived windows in
// their order, and the message loop.
#pragma once
#include <string>
#include <vector>
#include "app/uMain.h"
#include "platform/Platform.h"
#include "popup/uBlockList.h"
#include "settings/uOptions.h"
#include "ui/Toolkit.h"

namespace app {

// The mutex name: "PREVINST:" followed by the application window's title as
// it stands before the program sets its own.
std::string InstanceMutexName(ui::Toolkit& toolkit);
// The names a running copy holds besides that one: its file name in any
// letter case (Windows names ignore it) and its folder, whose block list
// file two copies there would share and overwrite for each other.
std::vector<std::string> InstanceMutexNames(ui::Toolkit& toolkit, const std::string& programFolder);
// True when this process holds every one of those names.
bool CheckFirstInstance(platform::Instance& instance, ui::Toolkit& toolkit, const std::string& programFolder);
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
