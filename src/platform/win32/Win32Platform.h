// The real platform services, one of each, and the bundle that hands them to
// the forms. Build it on the GUI thread: its timers, tray icon and hand-over
// window belong to the thread that builds it.
#pragma once
#include <memory>
#include "platform/Platform.h"

namespace platform::win32 {

class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  platform::Platform& platform();

 private:
  struct Services;
  std::unique_ptr<Services> services_;
  std::unique_ptr<platform::Platform> bundle_;
};

}  // namespace platform::win32
