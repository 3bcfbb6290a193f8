// The hot-key manager on the real RegisterHotKey: a combination another
// registration holds is refused with ERROR_HOTKEY_ALREADY_REGISTERED and
// leaves no atom behind, an unknown index replaces nothing, and a combination
// pressed on the keyboard arrives as WM_HOTKEY and raises OnHotKeyPressed
// with the value rebuilt from the message.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "RecordingDialogs.h"
#include "platform/win32/HotKeysWin32.h"
#include "popup/HotKeyManager.h"
#include "ui/win32/Win32Toolkit.h"

namespace w32 = platform::win32;
using popup::THotKeyManager;

namespace {

constexpr std::uint32_t Shift = 0x2000, Ctrl = 0x4000, Alt = 0x8000;
// Combinations nothing else on the test desktop uses.
constexpr std::uint32_t ShiftCtrlAltF9 = Shift | Ctrl | Alt | VK_F9;
constexpr std::uint32_t ShiftCtrlAltF10 = Shift | Ctrl | Alt | VK_F10;
constexpr UINT AllThree = MOD_SHIFT | MOD_CONTROL | MOD_ALT;

std::string atomName(std::uint32_t value) { return "HotKeyManagerHotKey" + std::to_string(value); }

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

INPUT key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

// Shift, Ctrl and Alt held while `vk` goes down and up, as typed.
void pressWithAllThree(WORD vk) {
  INPUT in[] = {key(VK_SHIFT, false), key(VK_CONTROL, false), key(VK_MENU, false), key(vk, false),
                key(vk, true),        key(VK_MENU, true),     key(VK_CONTROL, true), key(VK_SHIFT, true)};
  ASSERT_EQ(SendInput(ARRAYSIZE(in), in, sizeof(INPUT)), ARRAYSIZE(in));
}

class HotKeys : public ::testing::Test {
 protected:
  RecordingDialogs dialogs_;
  ui::win32::Win32Toolkit tk_{dialogs_};
  w32::HotKeys keys_;
};

TEST_F(HotKeys, ATakenCombinationIsRefusedAndLeavesNoAtom) {
  // Another registration (a thread hot key of this test) holds the combination.
  constexpr int OtherId = 0x0BAD;
  ASSERT_TRUE(RegisterHotKey(nullptr, OtherId, AllThree, VK_F9));

  auto window = keys_.createWindow(nullptr);
  ASSERT_NE(window, nullptr);
  SetLastError(0);
  EXPECT_FALSE(window->registerKey(0x1234, AllThree, VK_F9));
  EXPECT_EQ(GetLastError(), DWORD{ERROR_HOTKEY_ALREADY_REGISTERED});
  EXPECT_EQ(GetLastError(), DWORD{1409});

  {
    THotKeyManager manager(keys_, tk_);
    EXPECT_EQ(manager.RegisterKey(ShiftCtrlAltF9), 0);
    EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF9).c_str()), 0);

    // Freed by the other holder, the combination is the manager's, under the
    // atom of its name; a second manager is refused and takes no atom away.
    ASSERT_TRUE(UnregisterHotKey(nullptr, OtherId));
    const std::uint16_t index = manager.RegisterKey(ShiftCtrlAltF9);
    ASSERT_NE(index, 0);
    EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF9).c_str()), index);
    THotKeyManager second(keys_, tk_);
    EXPECT_EQ(second.RegisterKey(ShiftCtrlAltF9), 0);
    EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF9).c_str()), index);
    SetLastError(0);
    EXPECT_FALSE(RegisterHotKey(nullptr, OtherId, AllThree, VK_F9));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_HOTKEY_ALREADY_REGISTERED});

    // An index the manager does not hold replaces nothing.
    EXPECT_EQ(manager.ReplaceKey(static_cast<std::uint16_t>(index + 1), ShiftCtrlAltF10), 0);
    EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF10).c_str()), 0);
    EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF9).c_str()), index);
    EXPECT_FALSE(RegisterHotKey(nullptr, OtherId, AllThree, VK_F9));

    // A known index: the old combination is free, the new one held.
    const std::uint16_t replaced = manager.ReplaceKey(index, ShiftCtrlAltF10);
    ASSERT_NE(replaced, 0);
    EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF9).c_str()), 0);
    EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF10).c_str()), replaced);
    EXPECT_TRUE(RegisterHotKey(nullptr, OtherId, AllThree, VK_F9));
    EXPECT_TRUE(UnregisterHotKey(nullptr, OtherId));
  }
  // Gone with the manager: its atom and its combination.
  EXPECT_EQ(GlobalFindAtomA(atomName(ShiftCtrlAltF10).c_str()), 0);
  EXPECT_TRUE(RegisterHotKey(nullptr, OtherId, AllThree, VK_F10));
  EXPECT_TRUE(UnregisterHotKey(nullptr, OtherId));
}

TEST_F(HotKeys, AKeyPressedOnTheKeyboardRaisesOnHotKeyPressed) {
  THotKeyManager manager(keys_, tk_);
  THotKeyManager other(keys_, tk_);
  std::vector<std::pair<std::uint32_t, std::uint16_t>> pressed, otherPressed;
  manager.OnHotKeyPressed = [&](std::uint32_t value, std::uint16_t index) { pressed.emplace_back(value, index); };
  other.OnHotKeyPressed = [&](std::uint32_t value, std::uint16_t index) { otherPressed.emplace_back(value, index); };
  const std::uint16_t index = manager.RegisterKey(ShiftCtrlAltF10);
  ASSERT_NE(index, 0);
  ASSERT_NE(other.RegisterKey(ShiftCtrlAltF9), 0);

  pressWithAllThree(VK_F10);
  ASSERT_TRUE(pumpUntil([&] { return !pressed.empty(); }, 5000)) << "no WM_HOTKEY arrived";
  pumpUntil([] { return false; }, 200);
  EXPECT_EQ(pressed, (std::vector<std::pair<std::uint32_t, std::uint16_t>>{{ShiftCtrlAltF10, index}}));
  EXPECT_TRUE(otherPressed.empty());

  // Unregistered, the combination no longer arrives.
  ASSERT_TRUE(manager.UnregisterKeyByIndex(index));
  pressWithAllThree(VK_F10);
  pumpUntil([] { return false; }, 500);
  EXPECT_EQ(pressed.size(), 1u);
  EXPECT_TRUE(dialogs_.errors.empty());
}

}  // namespace
