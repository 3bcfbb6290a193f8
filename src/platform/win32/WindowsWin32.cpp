#include "platform/win32/WindowsWin32.h"

namespace platform::win32 {

std::string Windows::className(WindowId w) {
  char buf[256];
  int n = GetClassNameA(toHwnd(w), buf, sizeof buf);
  return n > 0 ? std::string(buf, n) : std::string();
}

std::string Windows::text(WindowId w) {
  char buf[256];
  int n = GetWindowTextA(toHwnd(w), buf, sizeof buf);
  return n > 0 ? std::string(buf, n) : std::string();
}

WindowId Windows::find(const std::string& cls, const std::string& title, WindowId after) {
  return toId(FindWindowExA(nullptr, toHwnd(after), cls.c_str(), title.c_str()));
}

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

void Windows::postNull(WindowId w) {
  // PostMessage to no window would post to this thread's queue instead.
  if (w) PostMessageA(toHwnd(w), WM_NULL, 0, 0);
}

}  // namespace platform::win32
