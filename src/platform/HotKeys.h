// System-wide hot keys: global atoms that name them, a hidden window of the
// caller's own that holds the registrations and hears the presses, and the
// keyboard layout's names for keys.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// Modifier flags of a registration and of a pressed combination.
inline constexpr unsigned ModAlt = 1;
inline constexpr unsigned ModControl = 2;
inline constexpr unsigned ModShift = 4;
inline constexpr unsigned ModWin = 8;

// One press of a registered combination, as the window that holds it hears it.
struct HotKeyPress {
  std::uint32_t id = 0;    // the id the combination was registered under
  unsigned modifiers = 0;  // Mod* flags
  unsigned vk = 0;         // virtual-key code
};

// A hidden window that holds hot-key registrations. Presses reach its handler
// on the thread that created it, through that thread's message loop.
// Destroying it frees whatever is still registered on it.
class HotKeyWindow {
 public:
  virtual ~HotKeyWindow() = default;
  // Fails at once when the combination is taken, by this program or another.
  virtual bool registerKey(std::uint32_t id, unsigned modifiers, unsigned vk) = 0;
  virtual bool unregisterKey(std::uint32_t id) = 0;
};

class HotKeys {
 public:
  using PressHandler = std::function<void(const HotKeyPress&)>;

  virtual ~HotKeys() = default;
  // Global atom table: the atom for a name (the same one for a name already
  // added, which then needs one more delete), 0 when the table refuses.
  virtual std::uint16_t addAtom(const std::string& name) = 0;
  virtual void deleteAtom(std::uint16_t atom) = 0;
  // Null when no window could be made.
  virtual std::unique_ptr<HotKeyWindow> createWindow(PressHandler onPress) = 0;
  // The keyboard layout's name for a virtual-key code; empty when the layout
  // has no key for it.
  virtual std::string keyName(unsigned vk) = 0;
};

}  // namespace platform
