// Popup menus opened by the toolkit and driven from the keyboard while they
// are open: a second thread waits for the menu window and posts keys to it,
// as a person typing would.
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include "platform/Dialogs.h"
#include "RecordingDialogs.h"
#include "ui/Menu.h"
#include "ui/win32/Theme.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

// A key as the menu sees it.
struct Key {
  enum Kind { Char, Down } kind;
  unsigned code;
};
Key ch(char c) { return {Key::Char, static_cast<unsigned char>(c)}; }
Key vk(unsigned code) { return {Key::Down, code}; }

HWND findVisibleMenuWindow() {
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, "#32768", nullptr)))
    if (IsWindowVisible(w)) return w;
  return nullptr;
}

int visibleMenuWindows() {
  int n = 0;
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, "#32768", nullptr)))
    if (IsWindowVisible(w)) ++n;
  return n;
}

bool waitFor(const std::function<bool()>& condition, int ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    Sleep(10);
  }
  return condition();
}

// Types the keys into the menu once it is open. If the menu is still open
// afterwards it is closed with Escape, and `closedByKeys` tells so.
class Typist {
 public:
  explicit Typist(std::vector<Key> keys, std::function<void(HWND)> whileOpen = nullptr)
      : keys_(std::move(keys)), whileOpen_(std::move(whileOpen)), thread_([this] { run(); }) {}
  ~Typist() { finish(); }
  void finish() {
    if (thread_.joinable()) thread_.join();
  }

  bool menuAppeared() const { return appeared_; }
  bool closedByKeys() const { return closedByKeys_; }

 private:
  void run() {
    appeared_ = waitFor([] { return findVisibleMenuWindow() != nullptr; });
    if (!appeared_) return;
    Sleep(100);  // let it paint
    if (whileOpen_) whileOpen_(findVisibleMenuWindow());
    for (const Key& k : keys_) {
      HWND menu = findVisibleMenuWindow();
      if (!menu) break;
      if (k.kind == Key::Char) {
        PostMessageA(menu, WM_CHAR, k.code, 1);
      } else {
        const LPARAM lp = 1 | (static_cast<LPARAM>(MapVirtualKeyA(k.code, 0)) << 16);
        PostMessageA(menu, WM_KEYDOWN, k.code, lp);
        PostMessageA(menu, WM_KEYUP, k.code, lp | (1u << 30) | (1u << 31));
      }
      Sleep(60);
    }
    closedByKeys_ = waitFor([] { return visibleMenuWindows() == 0; }, 1500);
    for (int i = 0; i < 5 && visibleMenuWindows() > 0; ++i) {
      if (HWND menu = findVisibleMenuWindow()) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
      Sleep(100);
    }
  }

  std::vector<Key> keys_;
  std::function<void(HWND)> whileOpen_;
  std::atomic<bool> appeared_{false};
  std::atomic<bool> closedByKeys_{false};
  std::thread thread_;
};

class MenuTest : public testing::Test {
 protected:
  void TearDown() override {
    tk.reset();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Opens the menu while the keys are typed; returns once it has closed and
  // the chosen command has run.
  void open(ui::PopupMenu& menu, std::vector<Key> keys, bool expectClosedByKeys = true,
            std::function<void(HWND)> whileOpen = nullptr) {
    Typist typist(std::move(keys), std::move(whileOpen));
    tk->popup(menu, 120, 120);
    typist.finish();
    EXPECT_TRUE(typist.menuAppeared());
    if (expectClosedByKeys) {
      EXPECT_TRUE(typist.closedByKeys()) << "the keys did not close the menu";
    }
  }

  std::function<void()> record(const std::string& what) {
    return [this, what] { chosen.push_back(what); };
  }

  RecordingDialogs dialogs;
  std::unique_ptr<ui::win32::Win32Toolkit> tk = std::make_unique<ui::win32::Win32Toolkit>(dialogs);
  std::vector<std::string> chosen;
};

TEST_F(MenuTest, AmpersandLetterChoosesItsItemWhateverTheCase) {
  ui::PopupMenu menu(*tk, "menu");
  menu.add("Erase", "&Erase", record("erase"));
  menu.add("Options", "&Options", record("options"));
  menu.add("Exit", "E&xit", record("exit"));

  open(menu, {ch('x')});
  EXPECT_EQ(chosen, std::vector<std::string>({"exit"}));

  chosen.clear();
  open(menu, {ch('O')});
  EXPECT_EQ(chosen, std::vector<std::string>({"options"}));
}

TEST_F(MenuTest, ArrowDownAndEnterChooseItemsInOrderSkippingSeparators) {
  ui::PopupMenu menu(*tk, "menu");
  menu.add("A", "&Alpha", record("alpha"));
  menu.add("N1", "-");
  menu.add("B", "&Beta", record("beta"));
  menu.add("C", "&Gamma", record("gamma"));

  open(menu, {vk(VK_DOWN), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"alpha"}));

  chosen.clear();
  open(menu, {vk(VK_DOWN), vk(VK_DOWN), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"beta"})) << "the separator is skipped";

  chosen.clear();
  open(menu, {vk(VK_DOWN), vk(VK_DOWN), vk(VK_DOWN), vk(VK_UP), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"beta"}));
}

TEST_F(MenuTest, HiddenItemsAreNotInTheMenuAndTheMenuIsBuiltAfreshEachTime) {
  ui::PopupMenu menu(*tk, "menu");
  ui::MenuItem& login = menu.add("Login", "Log &in...", record("login"));
  login.visible = false;
  menu.add("Logout", "Log o&ut...", record("logout"));

  int items = -1;
  open(menu, {ch('i'), vk(VK_DOWN), vk(VK_RETURN)}, true, [&items](HWND w) {
    items = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageA(w, MN_GETHMENU, 0, 0)));
  });
  EXPECT_EQ(items, 1);
  EXPECT_EQ(chosen, std::vector<std::string>({"logout"})) << "the letter of a hidden item does nothing";

  login.visible = true;
  login.setCaption("Log &in now");
  chosen.clear();
  open(menu, {ch('i')}, true, [&items](HWND w) {
    items = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageA(w, MN_GETHMENU, 0, 0)));
  });
  EXPECT_EQ(items, 2);
  EXPECT_EQ(chosen, std::vector<std::string>({"login"}));
}

TEST_F(MenuTest, DisabledItemsAreNeverChosen) {
  ui::PopupMenu menu(*tk, "menu");
  ui::MenuItem& closed = menu.add("PopupsClosed1", "&Closed Popups: 0", record("closed"));
  closed.enabled = false;
  menu.add("Erase", "&Erase", record("erase"));

  // Its letter, then Enter on it: nothing runs (whether the menu stays open
  // is the system's affair).
  open(menu, {ch('c'), vk(VK_DOWN), vk(VK_RETURN)}, false);
  EXPECT_TRUE(chosen.empty());

  // The next item is still reachable past it.
  open(menu, {vk(VK_DOWN), vk(VK_DOWN), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"erase"}));
}

TEST_F(MenuTest, SubmenuIsReachableByLetterAndByArrows) {
  ui::PopupMenu menu(*tk, "menu");
  menu.add("Eraseall1", "&Erase", record("erase all"));
  ui::MenuItem& sub = menu.add("Erase1", "E&rase...");
  sub.add("Cookies1", "&Cookies", record("cookies"));
  sub.add("Recent1", "&Recent Documents", record("recent"));
  sub.add("Temp1", "&Temp Folder", record("temp"));

  open(menu, {ch('r'), ch('t')});
  EXPECT_EQ(chosen, std::vector<std::string>({"temp"}));

  chosen.clear();
  open(menu, {vk(VK_DOWN), vk(VK_DOWN), vk(VK_RIGHT), vk(VK_DOWN), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"recent"}));
}

TEST_F(MenuTest, SharedLetterMovesToTheNextItemWithItAndEnterChoosesIt) {
  ui::PopupMenu menu(*tk, "menu");
  ui::MenuItem& sub = menu.add("Erase1", "E&rase...");
  sub.add("Cookies1", "&Cookies", record("cookies"));
  sub.add("TempIEFiles1", "IE Cac&he", record("cache"));
  sub.add("IEHistory1", "I&E History", record("history"));
  sub.add("RunHistory2", "Run &History", record("run"));

  // One "h" selects the first item with it, a second the next; neither runs.
  open(menu, {ch('r'), ch('h'), ch('h'), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"run"}));

  chosen.clear();
  open(menu, {ch('r'), ch('h'), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"cache"}));

  // Past the last one it wraps round to the first.
  chosen.clear();
  open(menu, {ch('r'), ch('h'), ch('h'), ch('h'), vk(VK_RETURN)});
  EXPECT_EQ(chosen, std::vector<std::string>({"cache"}));
}

TEST_F(MenuTest, ChosenCommandRunsAfterTheMenuHasClosedAndItsErrorsGoToTheErrorBox) {
  tk->setTitle("Tarnwick v3.4.1");
  ui::PopupMenu menu(*tk, "menu");
  int openMenusDuringCommand = -1;
  menu.add("Fail", "&Fail", [&] {
    openMenusDuringCommand = visibleMenuWindows();
    throw std::runtime_error("Cannot open file x");
  });
  open(menu, {ch('f')});
  EXPECT_EQ(openMenusDuringCommand, 0);
  EXPECT_EQ(dialogs.errors, std::vector<std::string>({"Tarnwick v3.4.1: Cannot open file x"}));
}

TEST_F(MenuTest, MenuIsFlatWithAThinFrameAndAGutter) {
  ui::PopupMenu menu(*tk, "menu");
  menu.add("A", "&Alpha", record("alpha"));
  menu.add("B", "&Beta", record("beta"));
  COLORREF corner = 0, inside = 0, gutterTop = 0;
  UINT type = 0;
  open(menu, {vk(VK_ESCAPE)}, true, [&](HWND w) {
    HDC dc = GetWindowDC(w);
    corner = GetPixel(dc, 0, 0);
    inside = GetPixel(dc, 1, 1);
    gutterTop = GetPixel(dc, 5, 2);
    ReleaseDC(w, dc);
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(reinterpret_cast<HMENU>(SendMessageA(w, MN_GETHMENU, 0, 0)), 0, TRUE, &mii);
    type = mii.fType;
  });
  EXPECT_TRUE(chosen.empty());
  EXPECT_TRUE(type & MFT_OWNERDRAW);
  EXPECT_EQ(corner, ui::win32::theme::MenuFrame);
  EXPECT_EQ(inside, ui::win32::theme::MenuGutter) << "no raised edge inside the frame";
  EXPECT_EQ(gutterTop, ui::win32::theme::MenuGutter);
}

}  // namespace

// The menu's window is activated with this moment as the thread's message
// time, also after a long idle spell: the window system dates the keyboard
// focus change it makes for the activation by that time, and a change dated
// before another program's last one would leave the keys with that program.
namespace {
thread_local LONG activatedAt = 0;
thread_local HWND activatedHost = nullptr;
LRESULT CALLBACK noteActivation(int code, WPARAM wp, LPARAM lp) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && m->hwnd == activatedHost && m->message == WM_ACTIVATE && LOWORD(m->wParam) != WA_INACTIVE)
    activatedAt = GetMessageTime();
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST_F(MenuTest, MenuIsActivatedWithTheMessageTimeOfItsOpening) {
  ui::PopupMenu menu(*tk, "PopupMenu1");
  menu.add("Exit2", "E&xit", record("exit"));
  activatedHost = tk->menuHost();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, noteActivation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Sleep(400);  // idle: no message taken from the queue
  const LONG opened = static_cast<LONG>(GetTickCount());
  open(menu, {vk(VK_ESCAPE)});
  UnhookWindowsHookEx(hook);
  ASSERT_NE(activatedAt, 0) << "the menu's window was activated";
  EXPECT_GE(activatedAt - opened, -20) << "dated " << opened - activatedAt << " ms before the menu opened";
}
