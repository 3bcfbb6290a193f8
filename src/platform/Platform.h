// The bundle of platform services handed to every form when it is built.
#pragma once
#include "platform/Clock.h"
#include "platform/CodeSigning.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/GuiThread.h"
#include "platform/Help.h"
#include "platform/HotKeys.h"
#include "platform/Instance.h"
#include "platform/Internet.h"
#include "platform/Locale.h"
#include "platform/NotifyArea.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "platform/UrlCache.h"
#include "platform/UrlHistory.h"
#include "platform/Windows.h"

namespace platform {

struct Platform {
  Registry& registry;
  Windows& windows;
  Clock& clock;
  Timers& timers;
  Dialogs& dialogs;
  NotifyArea& tray;
  Instance& instance;
  Shell& shell;
  Help& help;
  GuiThread& gui;
  UrlHistoryFactory& urlHistory;
  Files& files;
  Processes& processes;
  UrlCache& urlCache;
  HotKeys& hotKeys;
  Sound& sound;
  Locale& locale;
  Internet& internet;
  CodeSigning& codeSigning;
};

}  // namespace platform
