// The top-level window service on user32.
#pragma once
#include <windows.h>
#include "platform/Windows.h"

namespace platform::win32 {

inline HWND toHwnd(WindowId w) { return reinterpret_cast<HWND>(w); }
inline WindowId toId(HWND h) { return reinterpret_cast<WindowId>(h); }

// How long a window has to answer WM_GETTEXT before it is taken as not
// answering: well under the half second the popup blocker may hold the
// program when it closes a window.
inline constexpr unsigned TextTimeoutMs = 200;

class Windows : public platform::Windows {
 public:
  using platform::Windows::className;
  using platform::Windows::text;
  std::vector<WindowId> topLevel() override;
  std::string className(WindowId w, std::size_t buffer) override;
  std::optional<std::string> answeredText(WindowId w, std::size_t buffer) override;
  std::vector<KeyedWindow> keyedWindows(const std::string& cls) override;
  std::string titleKey(const std::string& title) override;
  std::string windowKey(WindowId w) override;
  WindowId owner(WindowId w) override;
  WindowId desktop() override;
  std::uint32_t exStyle(WindowId w) override;
  WindowId foreground() override;
  WindowId find(const std::string& cls, const std::string& title, WindowId after = 0) override;
  WindowId findClass(const std::string& cls) override;
  std::uint32_t processOf(WindowId w) override;
  std::uint32_t currentProcess() override;
  bool isIconic(WindowId w) override;
  bool isVisible(WindowId w) override;
  bool isEnabled(WindowId w) override;
  void restore(WindowId w) override;
  void setForeground(WindowId w) override;
  WindowId lastActivePopup(WindowId w) override;
  void bringToTop(WindowId w) override;
  void postNull(WindowId w) override;
  bool postClose(WindowId w) override;
};

}  // namespace platform::win32
