// THotKeyManager: a set of system-wide hot keys held on a hidden window of
// the manager's own, each named by a global atom whose number is the index
// handed back; a press of one of them raises OnHotKeyPressed. ParseShortcut
// and FormatShortcut convert shortcut values to and from the text kept in
// the settings ("Shift+Ctrl+A").
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/HotKeys.h"
#include "ui/Edit.h"
#include "ui/Toolkit.h"

namespace popup {

// Shortcut value: key code in bits 0-7, plus these modifier bits: those of
// the hot-key field, and the Windows key.
inline constexpr std::uint32_t scShift = ui::shortcut::Shift;
inline constexpr std::uint32_t scCtrl = ui::shortcut::Ctrl;
inline constexpr std::uint32_t scAlt = ui::shortcut::Alt;
inline constexpr std::uint32_t scWin = 0x10000;

class THotKeyManager {
 public:
  THotKeyManager(platform::HotKeys& hotKeys, ui::Toolkit& toolkit);  // creates its hidden window
  ~THotKeyManager();                                                  // UnregisterAllKeys, window destroyed
  THotKeyManager(const THotKeyManager&) = delete;
  THotKeyManager& operator=(const THotKeyManager&) = delete;

  // The index (the key's atom) or 0 when nothing was registered: a value
  // without a key code, a taken combination, no atom or no window.
  std::uint16_t RegisterKey(std::uint32_t value);
  // Unregisters the key of that index and registers the value instead; 0 and
  // no change when no key has that index. The old key is gone even when the
  // new one cannot be registered.
  std::uint16_t ReplaceKey(std::uint16_t index, std::uint32_t value);
  // The first key whose value equals the low 16 bits of the given one.
  bool UnregisterKey(std::uint32_t value);
  bool UnregisterKeyByIndex(std::uint16_t index);
  void UnregisterAllKeys();

  // Raised on the GUI thread through toolkit.dispatch (an exception in the
  // handler shows the error box).
  std::function<void(std::uint32_t HotKey, std::uint16_t Index)> OnHotKeyPressed;

 private:
  struct Entry {
    std::uint32_t value;
    std::uint16_t index;
  };

  bool dispose(std::size_t i);
  void onPress(const platform::HotKeyPress& press);

  platform::HotKeys& hotKeys_;
  ui::Toolkit& toolkit_;
  std::vector<Entry> entries_;  // in registration order
  std::unique_ptr<platform::HotKeyWindow> window_;
};

// "Shift+Ctrl+A" -> 0x6041. Prefixes in any order and letter case ("^" is
// Ctrl too); 0 for an empty text, prefixes alone or an unknown key name.
std::uint32_t ParseShortcut(const std::string& text, platform::HotKeys& keys);
// 0x6041 -> "Shift+Ctrl+A"; empty when the key has no name.
std::string FormatShortcut(std::uint32_t value, platform::HotKeys& keys);

}  // namespace popup
