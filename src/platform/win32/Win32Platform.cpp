#include "platform/win32/Win32Platform.h"
#include "platform/win32/CodeSigningWin32.h"
#include "platform/win32/DialogsWin32.h"
#include "platform/win32/FilesWin32.h"
#include "platform/win32/GuiThreadWin32.h"
#include "platform/win32/HelpWin32.h"
#include "platform/win32/HotKeysWin32.h"
#include "platform/win32/InstanceWin32.h"
#include "platform/win32/InternetWin32.h"
#include "platform/win32/LocaleWin32.h"
#include "platform/win32/NotifyAreaWin32.h"
#include "platform/win32/ProcessesWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "platform/win32/ShellWin32.h"
#include "platform/win32/SoundWin32.h"
#include "platform/win32/TimersWin32.h"
#include "platform/win32/UrlCacheWin32.h"
#include "platform/win32/UrlHistoryWin32.h"
#include "platform/win32/WindowsWin32.h"

namespace platform::win32 {

struct Win32Platform::Services {
  Registry registry;
  Windows windows;
  Clock clock;
  Timers timers;
  Dialogs dialogs;
  NotifyArea tray{TrayIcons::load(GetModuleHandleA(nullptr))};
  Instance instance;
  Shell shell;
  Help help;
  GuiThread gui;
  UrlHistoryFactory urlHistory;
  Files files;
  Processes processes;
  UrlCache urlCache;
  HotKeys hotKeys;
  Sound sound;
  Locale locale;
  Internet internet;
  CodeSigning codeSigning;
};

Win32Platform::Win32Platform()
    : services_(std::make_unique<Services>()),
      bundle_(std::make_unique<platform::Platform>(platform::Platform{
          services_->registry, services_->windows, services_->clock, services_->timers, services_->dialogs,
          services_->tray, services_->instance, services_->shell, services_->help, services_->gui,
          services_->urlHistory, services_->files, services_->processes, services_->urlCache,
          services_->hotKeys, services_->sound, services_->locale, services_->internet,
          services_->codeSigning})) {}

Win32Platform::~Win32Platform() = default;

platform::Platform& Win32Platform::platform() { return *bundle_; }

}  // namespace platform::win32
