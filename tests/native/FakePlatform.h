// Every fake service and the fake window system in one place, bundled as
// the program expects them: the world the native tests run the program in.
#pragma once
#include "platform/Platform.h"
#include "platform/fake/FakeFiles.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeInternet.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeServices.h"
#include "platform/fake/FakeSound.h"
#include "platform/fake/FakeTime.h"
#include "ui/fake/FakeToolkit.h"
#include "platform/fake/FakeUrlCache.h"
#include "platform/fake/FakeWindows.h"

namespace fake {

struct FakePlatform {
  FakeRegistry registry;
  FakeWindows windows;
  FakeTime time;
  FakeDialogs dialogs;
  FakeNotifyArea tray;
  FakeInstance instance;
  FakeShell shell;
  FakeHelp help;
  FakeGuiThread gui;
  FakeUrlHistoryFactory urlHistory;
  FakeFiles files;
  FakeProcesses processes;
  FakeUrlCache urlCache;
  FakeHotKeys hotKeys;
  FakeSound sound;
  FakeLocale locale;
  FakeInternet internet{gui};
  FakeCodeSigning codeSigning;
  FakeToolkit toolkit{dialogs};
  platform::Platform platform{registry, windows, time, time, dialogs, tray, instance,
                              shell,    help,    gui,  urlHistory, files, processes, urlCache,
                              hotKeys,  sound,   locale, internet, codeSigning};
};

}  // namespace fake
