// Top-level window service: enumeration, lookups and the few requests the
// program makes of other windows (activate, restore, bring to top, close).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using WindowId = std::uintptr_t;  // 0 is "no window"

class Windows {
 public:
  virtual ~Windows() = default;
  // Every top-level window, visible or not, in Z order from the top.
  virtual std::vector<WindowId> topLevel() = 0;
  // Class name and window text (WM_GETTEXT) read into a buffer of `buffer`
  // characters, the terminating NUL included. A window that does not answer
  // within the service's time-out has no text: answeredText gives none,
  // text an empty one.
  virtual std::string className(WindowId w, std::size_t buffer) = 0;
  virtual std::optional<std::string> answeredText(WindowId w, std::size_t buffer) = 0;
  std::string text(WindowId w, std::size_t buffer) { return answeredText(w, buffer).value_or(""); }
  std::string className(WindowId w) { return className(w, 256); }
  std::string text(WindowId w) { return text(w, 256); }
  // Every top-level window of class `cls` (ignoring case), in Z order from
  // the top, with a key of its title: find(cls, title) matches a window
  // exactly when titleKey(title) equals its key. Taken in one enumeration
  // from what the system holds, without asking the windows, so a window
  // that does not answer costs nothing.
  struct KeyedWindow {
    std::string key;
    WindowId id = 0;
  };
  virtual std::vector<KeyedWindow> keyedWindows(const std::string& cls) = 0;
  virtual std::string titleKey(const std::string& title) = 0;
  // The key of one window's title as the system holds it, without asking
  // the window.
  virtual std::string windowKey(WindowId w) = 0;
  // The owner window (0 for none) and the desktop window.
  virtual WindowId owner(WindowId w) = 0;
  virtual WindowId desktop() = 0;
  virtual std::uint32_t exStyle(WindowId w) = 0;
  virtual WindowId foreground() = 0;
  // First top-level window with this class and title (both ignore case),
  // searching after `after` in Z order (0: from the top).
  virtual WindowId find(const std::string& cls, const std::string& title, WindowId after = 0) = 0;
  // First top-level window with this class (ignoring case), whatever its title.
  virtual WindowId findClass(const std::string& cls) = 0;
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
  // Posts WM_CLOSE with both parameters zero; false when there is no such
  // window (0 included) to post to.
  virtual bool postClose(WindowId w) = 0;
};

// Extended window styles the program tests.
inline constexpr std::uint32_t ExStyleToolWindow = 0x80;

}  // namespace platform
