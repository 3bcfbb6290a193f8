// Hot keys on RegisterHotKey with global atoms as ids; each hot-key window is
// a hidden message-only window that hears WM_HOTKEY. Key names come from the
// keyboard layout (GetKeyNameTextA).
#pragma once
#include <windows.h>
#include "platform/HotKeys.h"
#include "platform/win32/MessageWindow.h"

namespace platform::win32 {

class HotKeyWindow : public platform::HotKeyWindow {
 public:
  explicit HotKeyWindow(platform::HotKeys::PressHandler onPress);
  ~HotKeyWindow() override;

  // A refused registration leaves its reason in GetLastError
  // (ERROR_HOTKEY_ALREADY_REGISTERED for a taken combination).
  bool registerKey(std::uint32_t id, unsigned modifiers, unsigned vk) override;
  bool unregisterKey(std::uint32_t id) override;

  HWND hwnd() const { return window_.hwnd(); }

 private:
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp);

  platform::HotKeys::PressHandler onPress_;
  MessageWindow window_;
};

class HotKeys : public platform::HotKeys {
 public:
  std::uint16_t addAtom(const std::string& name) override;
  void deleteAtom(std::uint16_t atom) override;
  std::unique_ptr<platform::HotKeyWindow> createWindow(PressHandler onPress) override;
  std::string keyName(unsigned vk) override;
};

}  // namespace platform::win32
