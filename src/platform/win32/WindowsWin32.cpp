#include "platform/win32/WindowsWin32.h"
#include <algorithm>

namespace platform::win32 {

std::vector<WindowId> Windows::topLevel() {
  std::vector<WindowId> ids;
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<WindowId>*>(p)->push_back(toId(h));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&ids));
  return ids;
}

std::string Windows::className(WindowId w, std::size_t buffer) {
  std::string buf(buffer, '\0');
  int n = buffer ? GetClassNameA(toHwnd(w), buf.data(), static_cast<int>(buffer)) : 0;
  return std::string(buf.data(), n > 0 ? n : 0);
}

// WM_GETTEXT, as other processes' windows answer it too (GetWindowTextA does
// not ask a window of another process for its text when it has none cached).
std::string Windows::text(WindowId w, std::size_t buffer) {
  std::string buf(buffer, '\0');
  DWORD_PTR n = 0;
  if (buffer == 0 || !SendMessageTimeoutA(toHwnd(w), WM_GETTEXT, buffer, reinterpret_cast<LPARAM>(buf.data()),
                                          SMTO_ABORTIFHUNG, 1000, &n))
    return "";
  return std::string(buf.data(), std::min<std::size_t>(n, buffer ? buffer - 1 : 0));
}

WindowId Windows::owner(WindowId w) { return static_cast<WindowId>(GetWindowLongPtrA(toHwnd(w), GWLP_HWNDPARENT)); }

WindowId Windows::desktop() { return toId(GetDesktopWindow()); }

std::uint32_t Windows::exStyle(WindowId w) {
  return static_cast<std::uint32_t>(GetWindowLongPtrA(toHwnd(w), GWL_EXSTYLE));
}

WindowId Windows::foreground() { return toId(GetForegroundWindow()); }

WindowId Windows::find(const std::string& cls, const std::string& title, WindowId after) {
  return toId(FindWindowExA(nullptr, toHwnd(after), cls.c_str(), title.c_str()));
}

WindowId Windows::findClass(const std::string& cls) { return toId(FindWindowA(cls.c_str(), nullptr)); }

std::uint32_t Windows::processOf(WindowId w) {
  DWORD pid = 0;
  if (!GetWindowThreadProcessId(toHwnd(w), &pid)) return 0;
  return pid;
}

std::uint32_t Windows::currentProcess() { return GetCurrentProcessId(); }

bool Windows::isIconic(WindowId w) { return IsIconic(toHwnd(w)) != FALSE; }
bool Windows::isVisible(WindowId w) { return IsWindowVisible(toHwnd(w)) != FALSE; }
bool Windows::isEnabled(WindowId w) { return IsWindowEnabled(toHwnd(w)) != FALSE; }

void Windows::restore(WindowId w) { ShowWindow(toHwnd(w), SW_RESTORE); }
void Windows::setForeground(WindowId w) { SetForegroundWindow(toHwnd(w)); }

WindowId Windows::lastActivePopup(WindowId w) { return toId(GetLastActivePopup(toHwnd(w))); }

void Windows::bringToTop(WindowId w) { BringWindowToTop(toHwnd(w)); }

void Windows::postClose(WindowId w) {
  if (w) PostMessageA(toHwnd(w), WM_CLOSE, 0, 0);
}

void Windows::postNull(WindowId w) {
  // PostMessage to no window would post to this thread's queue instead.
  if (w) PostMessageA(toHwnd(w), WM_NULL, 0, 0);
}

}  // namespace platform::win32
