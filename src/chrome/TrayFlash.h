// The tray icon's images, and its flash: another image for half a second,
// with the program held meanwhile, then the normal one again.
#pragma once
#include <functional>
#include "platform/Clock.h"

namespace chrome {

inline constexpr int TrayImageNormal = 0;
inline constexpr int TrayImageAdded = 1;   // a title went onto the block list
inline constexpr int TrayImageClosed = 2;  // the blocker closed a popup
inline constexpr unsigned TrayFlashMs = 500;

inline void FlashTray(const std::function<void(int)>& setIcon, platform::Clock& clock, int image) {
  setIcon(image);
  clock.sleep(TrayFlashMs);
  setIcon(TrayImageNormal);
}

}  // namespace chrome
