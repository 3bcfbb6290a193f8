#include "platform/win32/HotKeysWin32.h"

namespace platform::win32 {

HotKeyWindow::HotKeyWindow(platform::HotKeys::PressHandler onPress)
    : onPress_(std::move(onPress)),
      window_(MessageWindow::Kind::MessageOnly, [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
        return onMessage(msg, wp, lp);
      }) {}

HotKeyWindow::~HotKeyWindow() = default;

bool HotKeyWindow::registerKey(std::uint32_t id, unsigned modifiers, unsigned vk) {
  return RegisterHotKey(window_.hwnd(), static_cast<int>(id), modifiers, vk) != FALSE;
}

bool HotKeyWindow::unregisterKey(std::uint32_t id) {
  return UnregisterHotKey(window_.hwnd(), static_cast<int>(id)) != FALSE;
}

bool HotKeyWindow::onMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_HOTKEY && onPress_) {
    platform::HotKeyPress press;
    press.id = static_cast<std::uint32_t>(wp);
    press.modifiers = LOWORD(lp);
    press.vk = HIWORD(lp);
    auto handler = onPress_;  // the handler may destroy this window
    handler(press);
  }
  return false;  // WM_HOTKEY too goes on to the default window procedure
}

std::uint16_t HotKeys::addAtom(const std::string& name) { return GlobalAddAtomA(name.c_str()); }

void HotKeys::deleteAtom(std::uint16_t atom) { GlobalDeleteAtom(atom); }

std::unique_ptr<platform::HotKeyWindow> HotKeys::createWindow(PressHandler onPress) {
  auto window = std::make_unique<HotKeyWindow>(std::move(onPress));
  if (!window->hwnd()) return nullptr;
  return window;
}

std::string HotKeys::keyName(unsigned vk) {
  const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  if (scan == 0) return "";  // no such key on this layout
  char name[64] = {};
  const int n = GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof name);
  return n > 0 ? std::string(name, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace platform::win32
