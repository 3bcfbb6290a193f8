// Shortcut texts and the hot-key manager against the fake hot keys: the text
// form of every named key both ways, the odd texts a stored setting may hold,
// and the manager's registrations, atoms and presses.
#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include "platform/fake/FakePlatform.h"
#include "popup/HotKeyManager.h"

using popup::FormatShortcut;
using popup::ParseShortcut;
using popup::THotKeyManager;

namespace {

constexpr std::uint32_t Shift = 0x2000, Ctrl = 0x4000, Alt = 0x8000, Win = 0x10000;
constexpr std::uint32_t CtrlA = 16449, ShiftCtrlA = 24641, ShiftCtrlP = 24656;

std::string lower(std::string s) {
  for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return s;
}

struct Named {
  std::uint32_t code;
  std::string name;
  std::uint32_t parsed;  // the code the name reads back as (a pad digit reads as the digit)
};

std::vector<Named> namedKeys() {
  std::vector<Named> keys = {
      {8, "BkSp", 8},      {9, "Tab", 9},       {13, "Enter", 13},   {27, "Esc", 27},     {32, "Space", 32},
      {33, "PgUp", 33},    {34, "PgDn", 34},    {35, "End", 35},     {36, "Home", 36},    {37, "Left", 37},
      {38, "Up", 38},      {39, "Right", 39},   {40, "Down", 40},    {45, "Ins", 45},     {46, "Del", 46},
      {112, "F1", 112},    {120, "F9", 120},    {123, "F12", 123},   {124, "F13", 124},   {135, "F24", 135},
      // keys the layout names (the fake's US names)
      {16, "Shift", 16},   {17, "Ctrl", 17},    {107, "Num +", 107}, {110, "Num Del", 110}, {186, ";", 186},
      {220, "\\", 220},    {222, "'", 222}};
  for (char c = '0'; c <= '9'; ++c) keys.push_back({std::uint32_t(c), std::string(1, c), std::uint32_t(c)});
  for (char c = 'A'; c <= 'Z'; ++c) keys.push_back({std::uint32_t(c), std::string(1, c), std::uint32_t(c)});
  for (std::uint32_t n = 0; n <= 9; ++n) keys.push_back({96 + n, std::to_string(n), '0' + n});
  for (std::uint32_t n = 1; n <= 24; ++n) keys.push_back({111 + n, "F" + std::to_string(n), 111 + n});
  return keys;
}

TEST(ShortcutText, EveryNamedKeyWithEveryModifierReadsBackAsWritten) {
  fake::FakeHotKeys keys;
  const std::vector<std::pair<std::uint32_t, std::string>> modifiers = {
      {0, ""}, {Shift, "Shift+"}, {Ctrl, "Ctrl+"}, {Alt, "Alt+"},
      {Shift | Ctrl, "Shift+Ctrl+"}, {Ctrl | Alt, "Ctrl+Alt+"}, {Shift | Ctrl | Alt, "Shift+Ctrl+Alt+"}};
  for (const Named& k : namedKeys()) {
    for (const auto& [bits, prefix] : modifiers) {
      SCOPED_TRACE(k.name + " with " + prefix);
      const std::string text = prefix + k.name;
      EXPECT_EQ(FormatShortcut(bits | k.code, keys), text);
      EXPECT_EQ(ParseShortcut(text, keys), bits | k.parsed);
      EXPECT_EQ(ParseShortcut(lower(text), keys), bits | k.parsed);
    }
  }
}

TEST(ShortcutText, OddTexts) {
  fake::FakeHotKeys keys;
  const std::vector<std::pair<std::string, std::uint32_t>> parsed = {
      {"Shift+Ctrl+A", ShiftCtrlA},
      {"ctrl+shift+a", ShiftCtrlA},
      {"CTRL+SHIFT+A", ShiftCtrlA},
      {"^A", CtrlA},
      {"^shift+P", ShiftCtrlP},
      {"Alt+Ctrl+Alt+Del", Ctrl | Alt | 46},  // a prefix given twice counts once
      {"Shift+Ctrl+Alt+num del", Shift | Ctrl | Alt | 110},
      {"Ctrl+Num +", Ctrl | 107},
      {"Ctrl+", 0},
      {"Shift+Ctrl+", 0},
      {"^", 0},
      {"", 0},
      {"Shift+Ctrl+Nope", 0},
      {"Ctrl+F25", 0},
      {"Ctrl+A+", 0},
      {" Ctrl+A", 0},
      {"Ctrl +A", 0},
      {"Ctrl+AB", 0},
      {"Win+A", 0},
      {std::string("Ctrl+A\0", 7), 0},
      {"Ctrl+\xC4", 0},
  };
  for (const auto& [text, value] : parsed) EXPECT_EQ(ParseShortcut(text, keys), value) << '"' << text << '"';

  const std::vector<std::pair<std::uint32_t, std::string>> formatted = {
      {0, ""},
      {Shift | Ctrl, ""},                   // modifiers without a key
      {Ctrl | 0xFF, ""},                    // a key the layout does not name
      {Win | Ctrl | 'A', "Ctrl+A"},         // the Win key has no text
      {ShiftCtrlA | 0x100, "Shift+Ctrl+A"}, // bits outside key and modifiers are not shown
      {16449, "Ctrl+A"},
      {16464, "Ctrl+P"},
  };
  for (const auto& [value, text] : formatted) EXPECT_EQ(FormatShortcut(value, keys), text) << value;
}

struct HotKeyManager : ::testing::Test {
  fake::FakePlatform f;
  fake::FakeHotKeys& keys = f.hotKeys;
  std::vector<std::pair<std::uint32_t, std::uint16_t>> pressed;

  void listen(THotKeyManager& m) {
    m.OnHotKeyPressed = [this](std::uint32_t value, std::uint16_t index) { pressed.emplace_back(value, index); };
  }
  int atomCount(std::uint32_t value) {
    auto it = keys.atoms().find("HotKeyManagerHotKey" + std::to_string(value));
    return it == keys.atoms().end() ? 0 : it->second;
  }
};

TEST_F(HotKeyManager, RegisterReplaceAndUnregisterKeepRegistrationsAndAtomsInStep) {
  {
    THotKeyManager hotKey(keys, f.toolkit);
    THotKeyManager panic(keys, f.toolkit);
    EXPECT_EQ(keys.liveWindows(), 2);

    // Nothing stored: nothing registered, not even a key without modifiers.
    EXPECT_EQ(hotKey.RegisterKey(0), 0);
    EXPECT_EQ(hotKey.RegisterKey(Shift | Ctrl), 0);
    EXPECT_TRUE(keys.registrations().empty());
    EXPECT_TRUE(keys.atoms().empty());

    const std::uint16_t a = hotKey.RegisterKey(ShiftCtrlA);
    ASSERT_NE(a, 0);
    EXPECT_EQ(keys.atomName(a), "HotKeyManagerHotKey24641");
    ASSERT_EQ(keys.registrations().size(), 1u);
    EXPECT_EQ(keys.registrations()[0].id, a);
    EXPECT_EQ(keys.registrations()[0].modifiers, platform::ModShift | platform::ModControl);
    EXPECT_EQ(keys.registrations()[0].vk, unsigned('A'));

    // The same combination a second time, here or on the other manager,
    // fails and leaves the atom with its one owner.
    EXPECT_EQ(panic.RegisterKey(ShiftCtrlA), 0);
    EXPECT_EQ(hotKey.RegisterKey(ShiftCtrlA), 0);
    EXPECT_EQ(atomCount(ShiftCtrlA), 1);
    EXPECT_EQ(keys.registrations().size(), 1u);

    const std::uint16_t p = panic.RegisterKey(ShiftCtrlP);
    ASSERT_NE(p, 0);
    EXPECT_NE(p, a);

    // An index this manager does not hold changes nothing.
    EXPECT_EQ(hotKey.ReplaceKey(p, CtrlA), 0);
    EXPECT_EQ(hotKey.ReplaceKey(0, CtrlA), 0);
    EXPECT_FALSE(hotKey.UnregisterKeyByIndex(p));
    EXPECT_EQ(keys.registrations().size(), 2u);
    EXPECT_EQ(atomCount(CtrlA), 0);

    const std::uint16_t a2 = hotKey.ReplaceKey(a, CtrlA);
    ASSERT_NE(a2, 0);
    EXPECT_EQ(atomCount(ShiftCtrlA), 0);
    EXPECT_EQ(keys.atomName(a2), "HotKeyManagerHotKey16449");
    EXPECT_FALSE(keys.press(platform::ModShift | platform::ModControl, 'A'));  // the old combination is free

    // Replaced by a taken combination: the old key is gone all the same.
    EXPECT_EQ(hotKey.ReplaceKey(a2, ShiftCtrlP), 0);
    EXPECT_EQ(atomCount(CtrlA), 0);
    EXPECT_EQ(atomCount(ShiftCtrlP), 1);
    EXPECT_EQ(keys.registrations().size(), 1u);

    // By value: compared on the low 16 bits of the value given.
    EXPECT_NE(hotKey.RegisterKey(CtrlA), 0);
    EXPECT_FALSE(hotKey.UnregisterKey(ShiftCtrlA));
    EXPECT_TRUE(hotKey.UnregisterKey(Win | CtrlA));
    EXPECT_FALSE(hotKey.UnregisterKey(CtrlA));
    EXPECT_EQ(atomCount(CtrlA), 0);
    const std::uint16_t w = hotKey.RegisterKey(Win | CtrlA);
    ASSERT_NE(w, 0);
    EXPECT_FALSE(hotKey.UnregisterKey(Win | CtrlA));
    EXPECT_TRUE(hotKey.UnregisterKeyByIndex(w));

    EXPECT_NE(hotKey.RegisterKey(Alt | 'X'), 0);
    EXPECT_NE(hotKey.RegisterKey(Alt | 'Y'), 0);
    hotKey.UnregisterAllKeys();
    EXPECT_EQ(keys.registrations().size(), 1u);  // the other manager's
    EXPECT_EQ(atomCount(Alt | 'X') + atomCount(Alt | 'Y'), 0);
    EXPECT_NE(hotKey.RegisterKey(Alt | 'X'), 0);
  }
  // Destroyed: every key unregistered, every atom released, windows gone.
  EXPECT_TRUE(keys.registrations().empty());
  EXPECT_TRUE(keys.atoms().empty());
  EXPECT_EQ(keys.liveWindows(), 0);
}

TEST_F(HotKeyManager, RefusedAtomOrWindowRegistersNothing) {
  keys.refuseAtoms = true;
  THotKeyManager m(keys, f.toolkit);
  EXPECT_EQ(m.RegisterKey(CtrlA), 0);
  EXPECT_TRUE(keys.registrations().empty());
  keys.refuseAtoms = false;
  keys.refuseWindows = true;
  THotKeyManager windowless(keys, f.toolkit);
  EXPECT_EQ(windowless.RegisterKey(CtrlA), 0);
  EXPECT_TRUE(keys.atoms().empty());
}

TEST_F(HotKeyManager, APressRaisesTheEventOfTheManagerHoldingIt) {
  THotKeyManager hotKey(keys, f.toolkit);
  THotKeyManager panic(keys, f.toolkit);
  listen(hotKey);
  std::vector<std::uint32_t> panicked;
  panic.OnHotKeyPressed = [&](std::uint32_t value, std::uint16_t) { panicked.push_back(value); };

  EXPECT_FALSE(keys.press(platform::ModShift | platform::ModControl, 'A'));  // nothing registered yet
  const std::uint16_t a = hotKey.RegisterKey(ShiftCtrlA);
  const std::uint16_t p = panic.RegisterKey(Ctrl | Alt | 123);
  ASSERT_NE(a, 0);
  ASSERT_NE(p, 0);

  EXPECT_TRUE(keys.press(platform::ModShift | platform::ModControl, 'A'));
  EXPECT_TRUE(keys.press(platform::ModControl | platform::ModAlt, 123));
  EXPECT_FALSE(keys.press(platform::ModControl, 'A'));
  EXPECT_EQ(pressed, (std::vector<std::pair<std::uint32_t, std::uint16_t>>{{ShiftCtrlA, a}}));
  EXPECT_EQ(panicked, (std::vector<std::uint32_t>{Ctrl | Alt | 123}));

  // The Win modifier comes back as its own bit.
  pressed.clear();
  const std::uint16_t w = hotKey.RegisterKey(Win | Shift | 'W');
  ASSERT_NE(w, 0);
  EXPECT_TRUE(keys.press(platform::ModWin | platform::ModShift, 'W'));
  EXPECT_EQ(pressed, (std::vector<std::pair<std::uint32_t, std::uint16_t>>{{Win | Shift | 'W', w}}));

  // A key registered with bits the system does not report never matches.
  pressed.clear();
  ASSERT_NE(hotKey.RegisterKey(Ctrl | 0x100 | 'B'), 0);
  EXPECT_TRUE(keys.press(platform::ModControl, 'B'));
  EXPECT_TRUE(pressed.empty());

  // An exception in the handler is shown in the error box; the next press
  // still arrives.
  f.toolkit.setTitle("Tarnwick v3.4.1");
  hotKey.OnHotKeyPressed = [&](std::uint32_t, std::uint16_t) -> void { throw std::runtime_error("Cannot open file x"); };
  EXPECT_TRUE(keys.press(platform::ModShift | platform::ModControl, 'A'));
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].kind, "error");
  EXPECT_EQ(f.dialogs.shown[0].text, "Cannot open file x");
  EXPECT_EQ(f.dialogs.shown[0].caption, "Tarnwick v3.4.1");
  listen(hotKey);
  EXPECT_TRUE(keys.press(platform::ModShift | platform::ModControl, 'A'));
  EXPECT_EQ(pressed.size(), 1u);

  // Without a handler a press is heard and dropped.
  hotKey.OnHotKeyPressed = nullptr;
  EXPECT_TRUE(keys.press(platform::ModShift | platform::ModControl, 'A'));
  EXPECT_EQ(pressed.size(), 1u);
}

}  // namespace
