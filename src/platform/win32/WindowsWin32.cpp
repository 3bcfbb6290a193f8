#include "platform/win32/WindowsWin32.h"
#include <algorithm>

namespace platform::win32 {

// The top-level windows of the thread's desktop in Z order, from one request
// for the whole list: under Wine, EnumWindows asks once more for each
// window of another program whether it still exists, which made a browser
// test among a hundred windows a hundred requests. A window that ends after
// the list was taken is reported like one that ends right after the call.
std::vector<WindowId> Windows::topLevel() {
  std::vector<WindowId> ids;
  EnumDesktopWindows(nullptr,
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
std::optional<std::string> Windows::answeredText(WindowId w, std::size_t buffer) {
  if (buffer == 0) return std::string();
  std::string buf(buffer, '\0');
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(toHwnd(w), WM_GETTEXT, buffer, reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                           TextTimeoutMs, &n))
    return std::nullopt;
  return std::string(buf.data(), std::min<std::size_t>(n, buffer - 1));
}

namespace {

// The system's own copy of a window's text, whole, as FindWindow compares it.
std::wstring internalText(HWND h) {
  std::wstring text(256, L'\0');
  for (;;) {
    const int n = InternalGetWindowText(h, text.data(), static_cast<int>(text.size()));
    if (n < static_cast<int>(text.size()) - 1) return text.substr(0, n > 0 ? n : 0);
    text.resize(text.size() * 4);
  }
}

// FindWindow ignores case as the system's lower-case mapping does.
std::string keyOf(std::wstring text) {
  if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

}  // namespace

std::vector<Windows::KeyedWindow> Windows::keyedWindows(const std::string& cls) {
  struct Walk {
    const std::string& cls;
    std::vector<KeyedWindow> found;
  } walk{cls, {}};
  EnumDesktopWindows(nullptr,
      [](HWND h, LPARAM p) -> BOOL {
        auto& walk = *reinterpret_cast<Walk*>(p);
        char name[257] = "";
        const int n = GetClassNameA(h, name, sizeof name);
        if (n > 0 && lstrcmpiA(name, walk.cls.c_str()) == 0) walk.found.push_back({keyOf(internalText(h)), toId(h)});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.found;
}

std::string Windows::windowKey(WindowId w) { return keyOf(internalText(toHwnd(w))); }

std::string Windows::titleKey(const std::string& title) {
  const int n = MultiByteToWideChar(CP_ACP, 0, title.data(), static_cast<int>(title.size()), nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, title.data(), static_cast<int>(title.size()), wide.data(), n);
  return keyOf(std::move(wide));
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

bool Windows::postClose(WindowId w) { return w && PostMessageA(toHwnd(w), WM_CLOSE, 0, 0); }

void Windows::postNull(WindowId w) {
  // PostMessage to no window would post to this thread's queue instead.
  if (w) PostMessageA(toHwnd(w), WM_NULL, 0, 0);
}

}  // namespace platform::win32
