#include "popup/HotKeyManager.h"

namespace popup {

namespace {

constexpr std::uint32_t KeyMask = 0xFF;
const char AtomPrefix[] = "HotKeyManagerHotKey";

unsigned registrationModifiers(std::uint32_t value) {
  unsigned m = 0;
  if (value & scAlt) m |= platform::ModAlt;
  if (value & scCtrl) m |= platform::ModControl;
  if (value & scShift) m |= platform::ModShift;
  if (value & scWin) m |= platform::ModWin;
  return m;
}

std::uint32_t shortcutModifiers(unsigned modifiers) {
  std::uint32_t v = 0;
  if (modifiers & platform::ModShift) v |= scShift;
  if (modifiers & platform::ModControl) v |= scCtrl;
  if (modifiers & platform::ModAlt) v |= scAlt;
  if (modifiers & platform::ModWin) v |= scWin;
  return v;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Letter case ignored for the ASCII letters only, as the names are compared.
bool sameText(const std::string& a, std::size_t from, const std::string& b) {
  if (a.size() - from != b.size()) return false;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (upper(a[from + i]) != upper(b[i])) return false;
  }
  return true;
}

bool startsWith(const std::string& text, std::size_t from, const char* prefix) {
  std::size_t i = 0;
  for (; prefix[i]; ++i) {
    if (from + i >= text.size() || upper(text[from + i]) != upper(prefix[i])) return false;
  }
  return true;
}

std::string keyName(std::uint32_t code, platform::HotKeys& keys) {
  switch (code) {
    case 8: return "BkSp";
    case 9: return "Tab";
    case 13: return "Enter";
    case 27: return "Esc";
    case 32: return "Space";
    case 33: return "PgUp";
    case 34: return "PgDn";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 45: return "Ins";
    case 46: return "Del";
    default: break;
  }
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, static_cast<char>(code));
  if (code >= 96 && code <= 105) return std::string(1, static_cast<char>('0' + code - 96));
  if (code >= 112 && code <= 135) return "F" + std::to_string(code - 111);
  return keys.keyName(code);
}

}  // namespace

THotKeyManager::THotKeyManager(platform::HotKeys& hotKeys, ui::Toolkit& toolkit)
    : hotKeys_(hotKeys), toolkit_(toolkit) {
  window_ = hotKeys_.createWindow([this](const platform::HotKeyPress& press) { onPress(press); });
}

THotKeyManager::~THotKeyManager() {
  UnregisterAllKeys();
  window_.reset();
}

std::uint16_t THotKeyManager::RegisterKey(std::uint32_t value) {
  const std::uint32_t key = value & KeyMask;
  // Without a key code the system would take the combination as some key
  // pressed with no modifiers at all: a missing setting must register nothing.
  if (key == 0 || !window_) return 0;
  const std::uint16_t atom = hotKeys_.addAtom(AtomPrefix + std::to_string(value));
  if (atom == 0) return 0;
  if (!window_->registerKey(atom, registrationModifiers(value), key)) {
    hotKeys_.deleteAtom(atom);
    return 0;
  }
  entries_.push_back({value, atom});
  return atom;
}

std::uint16_t THotKeyManager::ReplaceKey(std::uint16_t index, std::uint32_t value) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].index == index) {
      dispose(i);
      return RegisterKey(value);
    }
  }
  return 0;
}

bool THotKeyManager::UnregisterKey(std::uint32_t value) {
  const std::uint32_t wanted = value & 0xFFFF;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].value == wanted) return dispose(i);
  }
  return false;
}

bool THotKeyManager::UnregisterKeyByIndex(std::uint16_t index) {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].index == index) return dispose(i);
  }
  return false;
}

void THotKeyManager::UnregisterAllKeys() {
  while (!entries_.empty()) dispose(entries_.size() - 1);
}

bool THotKeyManager::dispose(std::size_t i) {
  const std::uint16_t index = entries_[i].index;
  const bool ok = window_ && window_->unregisterKey(index);
  hotKeys_.deleteAtom(index);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
  return ok;
}

void THotKeyManager::onPress(const platform::HotKeyPress& press) {
  if (!OnHotKeyPressed) return;
  const std::uint32_t value = shortcutModifiers(press.modifiers) | (press.vk & 0xFFFF);
  bool known = false;
  for (const Entry& e : entries_) known = known || e.value == value;
  if (!known) return;
  const auto index = static_cast<std::uint16_t>(press.id & 0xFFFF);
  auto handler = OnHotKeyPressed;  // the handler may replace itself
  toolkit_.dispatch([&] { handler(value, index); });
}

std::uint32_t ParseShortcut(const std::string& text, platform::HotKeys& keys) {
  std::uint32_t modifiers = 0;
  std::size_t at = 0;
  for (;;) {
    if (startsWith(text, at, "Shift+")) {
      modifiers |= scShift;
      at += 6;
    } else if (startsWith(text, at, "Ctrl+")) {
      modifiers |= scCtrl;
      at += 5;
    } else if (startsWith(text, at, "^")) {
      modifiers |= scCtrl;
      at += 1;
    } else if (startsWith(text, at, "Alt+")) {
      modifiers |= scAlt;
      at += 4;
    } else {
      break;
    }
  }
  if (at >= text.size()) return 0;
  for (std::uint32_t code = 8; code <= KeyMask; ++code) {
    if (sameText(text, at, keyName(code, keys))) return modifiers | code;
  }
  return 0;
}

std::string FormatShortcut(std::uint32_t value, platform::HotKeys& keys) {
  const std::string name = keyName(value & KeyMask, keys);
  if (name.empty()) return "";
  std::string text;
  if (value & scShift) text += "Shift+";
  if (value & scCtrl) text += "Ctrl+";
  if (value & scAlt) text += "Alt+";
  return text + name;
}

}  // namespace popup
