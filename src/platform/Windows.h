// Top-level window service: lookups and the few requests the program makes
// of other windows (activate, restore, bring to top).
#pragma once
#include <cstdint>
#include <string>

namespace platform {

using WindowId = std::uintptr_t;  // 0 is "no window"

class Windows {
 public:
  virtual ~Windows() = default;
  virtual std::string className(WindowId w) = 0;  // at most 255 characters
  virtual std::string text(WindowId w) = 0;       // at most 255 characters
  // First top-level window with this class and title (both ignore case),
  // searching after `after` in Z order (0: from the top).
  virtual WindowId find(const std::string& cls, const std::string& title, WindowId after = 0) = 0;
  virtual std::uint32_t processOf(WindowId w) = 0;
  virtual std::uint32_t currentProcess() = 0;
  virtual bool isIconic(WindowId w) = 0;
  virtual bool isVisible(WindowId w) = 0;
  virtual bool isEnabled(WindowId w) = 0;
  virtual void restore(WindowId w) = 0;
  virtual void setForeground(WindowId w) = 0;
  virtual WindowId lastActivePopup(WindowId w) = 0;
  virtual void bringToTop(WindowId w) = 0;
  // Posts WM_NULL, which lets the next tray menu close when the user clicks away.
  virtual void postNull(WindowId w) = 0;
};

}  // namespace platform
