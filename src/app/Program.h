// The process entry: the single-instance rule, the long-lived windows in
// their order, and the message loop.
#pragma once
#include <string>
#include "platform/Platform.h"
#include "ui/Toolkit.h"

namespace app {

// The mutex name: "PREVINST:" followed by the application window's title as
// it stands before the program sets its own.
std::string InstanceMutexName(ui::Toolkit& toolkit);
bool CheckFirstInstance(platform::Instance& instance, ui::Toolkit& toolkit);
// Brings the already running copy to the front, when it can be found.
void ActivateRunningInstance(platform::Windows& windows, ui::Toolkit& toolkit);
// Returns the process exit code.
int RunProgram(platform::Platform& platform, ui::Toolkit& toolkit);

}  // namespace app
