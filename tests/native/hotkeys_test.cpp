// Shortcut texts and the hot-key manager against the fake hot keys: the text
// form of every named key both ways, the odd texts a stored setting may hold,
// and the manager's registrations, atoms and presses.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>
#include "FakePlatform.h"
#include "popup/HotKeyManager.h"

using popup::FormatShortcut;
using popup::ParseShortcut;
using popup::THotKeyManager;

namespace {

constexpr std::uint32_t Shift = 0x2000, Ctrl = 0x4000, Alt = 0x8000, Win = 0x10000;
constexpr std::uint32_t CtrlA = 16449, ShiftCtrlA = 24641, ShiftCtrlP = 24656;
using Values = std::vector<std::uint32_t>;

TEST(ShortcutText, EveryNamedKeyWithEveryModifierReadsBackAsWritten) {
  // The fixed names, then keys the layout names (the fake's US names).
  std::vector<std::pair<std::uint32_t, std::string>> named = {
      {8, "BkSp"}, {9, "Tab"}, {13, "Enter"}, {27, "Esc"}, {32, "Space"}, {33, "PgUp"}, {34, "PgDn"},
      {35, "End"}, {36, "Home"}, {37, "Left"}, {38, "Up"}, {39, "Right"}, {40, "Down"}, {45, "Ins"},
      {46, "Del"}, {16, "Shift"}, {17, "Ctrl"}, {107, "Num +"}, {110, "Num Del"}, {186, ";"}, {220, "\\"},
      {222, "'"}};
  for (char c = '0'; c <= 'Z'; c = (c == '9' ? 'A' : c + 1)) named.push_back({std::uint32_t(c), {c}});
  for (std::uint32_t n = 0; n <= 9; ++n) named.push_back({96 + n, std::to_string(n)});  // the pad's digits
  for (std::uint32_t n = 1; n <= 24; ++n) named.push_back({111 + n, "F" + std::to_string(n)});
  const std::pair<std::uint32_t, std::string> modifiers[] = {
      {0, ""}, {Shift, "Shift+"}, {Ctrl, "Ctrl+"}, {Alt, "Alt+"}, {Shift | Ctrl, "Shift+Ctrl+"},
      {Ctrl | Alt, "Ctrl+Alt+"}, {Shift | Ctrl | Alt, "Shift+Ctrl+Alt+"}};

  fake::FakeHotKeys keys;
  for (const auto& [code, name] : named)
    for (const auto& [bits, prefix] : modifiers) {
      // A pad digit reads back as the digit.
      const std::uint32_t parsed = bits | (code >= 96 && code <= 105 ? code - 48 : code);
      std::string text = prefix + name;
      EXPECT_EQ(FormatShortcut(bits | code, keys), text);
      EXPECT_EQ(ParseShortcut(text, keys), parsed) << text;
      for (char& c : text) c = (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
      EXPECT_EQ(ParseShortcut(text, keys), parsed) << text;
    }
}

TEST(ShortcutText, OddTexts) {
  fake::FakeHotKeys keys;
  const std::pair<std::string, std::uint32_t> parsed[] = {
      {"ctrl+shift+a", ShiftCtrlA}, {"CTRL+SHIFT+A", ShiftCtrlA}, {"^A", CtrlA}, {"^shift+P", ShiftCtrlP},
      {"Alt+Ctrl+Alt+Del", Ctrl | Alt | 46},  // a prefix given twice counts once
      {"Shift+Ctrl+Alt+num del", Shift | Ctrl | Alt | 110}, {"Ctrl+Num +", Ctrl | 107},
      // nothing that is not a whole shortcut
      {"Ctrl+", 0}, {"Shift+Ctrl+", 0}, {"^", 0}, {"", 0}, {"Shift+Ctrl+Nope", 0}, {"Ctrl+F25", 0},
      {"Ctrl+A+", 0}, {" Ctrl+A", 0}, {"Ctrl +A", 0}, {"Ctrl+AB", 0}, {"Win+A", 0},
      {std::string("Ctrl+A\0", 7), 0}, {"Ctrl+\xC4", 0}};
  for (const auto& [text, value] : parsed) EXPECT_EQ(ParseShortcut(text, keys), value) << '"' << text << '"';

  // Nothing for modifiers without a key or a key the layout does not name; no
  // text for the Win key nor for bits outside key and modifiers.
  const std::pair<std::uint32_t, std::string> formatted[] = {
      {0, ""}, {Shift | Ctrl, ""}, {Ctrl | 0xFF, ""}, {Win | Ctrl | 'A', "Ctrl+A"},
      {ShiftCtrlA | 0x100, "Shift+Ctrl+A"}};
  for (const auto& [value, text] : formatted) EXPECT_EQ(FormatShortcut(value, keys), text) << value;
}

struct HotKeyManager : ::testing::Test {
  fake::FakePlatform f;
  fake::FakeHotKeys& keys = f.hotKeys;
  // The values registered, read from the names of their ids' atoms, in
  // order; the atoms held must be exactly those, one count each.
  Values held() const {
    Values values;
    std::map<std::string, int> atoms;
    for (const auto& r : keys.registrations()) {
      const std::string name = keys.atomName(std::uint16_t(r.id));
      ++atoms[name];
      values.push_back(name.rfind("HotKeyManagerHotKey", 0) == 0 ? std::stoul(name.substr(19)) : 0);
    }
    EXPECT_EQ(keys.atoms(), atoms) << "atoms out of step with the registrations";
    std::sort(values.begin(), values.end());
    return values;
  }
};

TEST_F(HotKeyManager, RegisterReplaceAndUnregisterKeepRegistrationsAndAtomsInStep) {
  for (bool* refuse : {&keys.refuseAtoms, &keys.refuseWindows}) {  // the atom table full, or no window
    *refuse = true;
    THotKeyManager m(keys, f.toolkit);
    EXPECT_EQ(m.RegisterKey(CtrlA), 0);
    EXPECT_EQ(held(), Values{});
    *refuse = false;
  }
  {
    THotKeyManager hotKey(keys, f.toolkit), panic(keys, f.toolkit);
    EXPECT_EQ(keys.liveWindows(), 2);
    // Nothing stored, or modifiers without a key: nothing registered.
    EXPECT_EQ(hotKey.RegisterKey(0) | hotKey.RegisterKey(Shift | Ctrl), 0);
    EXPECT_EQ(held(), Values{});

    const std::uint16_t a = hotKey.RegisterKey(ShiftCtrlA);
    ASSERT_EQ(held(), Values{ShiftCtrlA});
    // A taken combination, here or on the other manager: 0, the atom keeps its one owner.
    EXPECT_EQ(panic.RegisterKey(ShiftCtrlA) | hotKey.RegisterKey(ShiftCtrlA), 0);
    EXPECT_EQ(held(), Values{ShiftCtrlA});

    const std::uint16_t p = panic.RegisterKey(ShiftCtrlP);
    ASSERT_NE(p, 0);
    // An index this manager does not hold changes nothing.
    EXPECT_EQ(hotKey.ReplaceKey(p, CtrlA) | hotKey.ReplaceKey(0, CtrlA), 0);
    EXPECT_FALSE(hotKey.UnregisterKeyByIndex(p));
    EXPECT_EQ(held(), (Values{ShiftCtrlA, ShiftCtrlP}));

    const std::uint16_t a2 = hotKey.ReplaceKey(a, CtrlA);
    ASSERT_NE(a2, 0);
    EXPECT_EQ(held(), (Values{CtrlA, ShiftCtrlP}));
    // Replaced by a taken combination: the old key is gone all the same.
    EXPECT_EQ(hotKey.ReplaceKey(a2, ShiftCtrlP), 0);
    EXPECT_EQ(held(), Values{ShiftCtrlP});

    // By value: compared on the low 16 bits of the value given.
    EXPECT_NE(hotKey.RegisterKey(CtrlA), 0);
    EXPECT_FALSE(hotKey.UnregisterKey(ShiftCtrlA));
    EXPECT_TRUE(hotKey.UnregisterKey(Win | CtrlA));
    EXPECT_FALSE(hotKey.UnregisterKey(CtrlA));
    const std::uint16_t w = hotKey.RegisterKey(Win | CtrlA);
    ASSERT_NE(w, 0);
    EXPECT_FALSE(hotKey.UnregisterKey(Win | CtrlA));
    EXPECT_TRUE(hotKey.UnregisterKeyByIndex(w));

    EXPECT_NE(hotKey.RegisterKey(Alt | 'X'), 0);
    EXPECT_NE(hotKey.RegisterKey(Alt | 'Y'), 0);
    hotKey.UnregisterAllKeys();
    EXPECT_EQ(held(), Values{ShiftCtrlP});  // the other manager's
    EXPECT_NE(hotKey.RegisterKey(Alt | 'X'), 0);
  }
  // Destroyed: every key unregistered, every atom released, windows gone.
  EXPECT_EQ(held(), Values{});
  EXPECT_EQ(keys.liveWindows(), 0);
}

TEST_F(HotKeyManager, APressRaisesTheEventOfTheManagerHoldingIt) {
  THotKeyManager hotKey(keys, f.toolkit), panic(keys, f.toolkit);
  std::vector<std::pair<std::uint32_t, std::uint16_t>> pressed;
  hotKey.OnHotKeyPressed = [&](std::uint32_t value, std::uint16_t i) { pressed.emplace_back(value, i); };
  Values panicked;
  panic.OnHotKeyPressed = [&](std::uint32_t value, std::uint16_t) { panicked.push_back(value); };
  const std::uint16_t a = hotKey.RegisterKey(ShiftCtrlA), p = panic.RegisterKey(Ctrl | Alt | 123),
                      w = hotKey.RegisterKey(Win | Shift | 'W'),
                      b = hotKey.RegisterKey(Ctrl | 0x100 | 'B');  // with a bit the system does not report
  ASSERT_TRUE(a && p && w && b);

  EXPECT_TRUE(keys.press(platform::ModShift | platform::ModControl, 'A'));
  EXPECT_TRUE(keys.press(platform::ModControl | platform::ModAlt, 123));
  EXPECT_FALSE(keys.press(platform::ModControl, 'A'));
  EXPECT_TRUE(keys.press(platform::ModWin | platform::ModShift, 'W'));  // Win comes back as its own bit
  EXPECT_TRUE(keys.press(platform::ModControl, 'B'));                   // heard, but it never matches
  EXPECT_EQ(pressed, (decltype(pressed){{ShiftCtrlA, a}, {Win | Shift | 'W', w}}));
  EXPECT_EQ(panicked, Values{Ctrl | Alt | 123});

  // An exception in the handler is shown in the error box and the next press
  // still arrives; without a handler a press is heard and dropped.
  pressed.clear();
  f.toolkit.setTitle("Tarnwick v3.4.1");
  const auto listening = hotKey.OnHotKeyPressed;
  hotKey.OnHotKeyPressed = [](std::uint32_t, std::uint16_t) { throw std::runtime_error("Cannot open file"); };
  keys.press(platform::ModShift | platform::ModControl, 'A');
  hotKey.OnHotKeyPressed = listening;
  keys.press(platform::ModShift | platform::ModControl, 'A');
  hotKey.OnHotKeyPressed = nullptr;
  EXPECT_TRUE(keys.press(platform::ModShift | platform::ModControl, 'A'));
  EXPECT_EQ(pressed, (decltype(pressed){{ShiftCtrlA, a}}));
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].kind + ": " + f.dialogs.shown[0].caption + ": " + f.dialogs.shown[0].text,
            "error: Tarnwick v3.4.1: Cannot open file");
}

}  // namespace
