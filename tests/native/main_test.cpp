#include <gtest/gtest.h>
#include <algorithm>
#include <stdexcept>
#include "app/Program.h"
#include "app/uMain.h"
#include "FakePlatform.h"
#include "settings/LockState.h"

using platform::Hive;

namespace {

constexpr const char* MainPath = "software\\Tarnwick";

// Captions of the visible tray-menu items, in order.
std::vector<std::string> visibleItems(ui::PopupMenu& menu) {
  std::vector<std::string> out;
  for (auto& item : menu.items())
    if (item->visible) out.push_back(item->caption());
  return out;
}

struct MainWindow : ::testing::Test {
  fake::FakePlatform f;
  std::unique_ptr<app::TfrmMain> form;

  void start() {
    form = std::make_unique<app::TfrmMain>(f.platform, f.toolkit);
    form->create();
  }
  ui::MenuItem& item(const char* name) { return *form->PopupMenu1.find(name); }
};

}  // namespace

TEST(Program, FirstInstanceCreatesTheThreeWindowsInOrderThenRuns) {
  fake::FakePlatform f;
  bool ran = false;
  f.toolkit.onRun = [&] {
    ran = true;
    EXPECT_EQ(f.toolkit.realised, (std::vector<std::string>{"frmMain", "frmBlockList", "frmOptions"}));
    EXPECT_TRUE(f.tray.present);
    EXPECT_FALSE(f.toolkit.appWindowVisible) << "no taskbar button at start";
  };
  EXPECT_EQ(app::RunProgram(f.platform, f.toolkit), 0);
  EXPECT_TRUE(ran);
  ASSERT_FALSE(f.instance.claims.empty());
  EXPECT_EQ(f.instance.claims[0], "PREVINST:tarnwick");
  EXPECT_EQ(f.toolkit.title(), "Tarnwick v3.4.1");
  EXPECT_FALSE(f.tray.present) << "the icon goes with the program";
}

// An unreadable "Password" is one box and no password, and start-up reaches
// the tray icon and the end of the options window's load; "Erase" turned
// into a number while the program runs is one box, not one every second.
TEST(Program, WrongTypedValuesGiveOneBoxEachAndStrandNothing) {
  fake::FakePlatform f;
  f.registry.setRaw(Hive::CurrentUser, MainPath, "Password", platform::RegDword, std::string("\x07\0\0\0", 4));
  f.registry.setString(Hive::CurrentUser, "software\\Tarnwick\\counter", "Counter", "12");
  auto errors = [&f] {
    int n = 0;
    for (auto& shown : f.dialogs.shown) n += shown.kind == "error";
    return n;
  };
  bool ran = false;
  f.toolkit.onRun = [&] {
    ran = true;
    EXPECT_EQ(errors(), 1);
    EXPECT_TRUE(f.tray.present);
    EXPECT_EQ(f.tray.record.tip, "Tarnwick");
    EXPECT_EQ(f.dialogs.shown[0].text, "Invalid data type for 'Password'");
    f.registry.setRaw(Hive::CurrentUser, MainPath, "Erase", platform::RegDword, std::string("\x01\0\0\0", 4));
    f.time.advance(10000);
    EXPECT_EQ(errors(), 2) << "one box for \"Erase\" in ten seconds";
  };
  app::RunProgram(f.platform, f.toolkit);
  EXPECT_TRUE(ran);
}

TEST(Program, SecondInstanceCreatesNoWindowAndActivatesTheRunningOne) {
  fake::FakePlatform f;
  f.instance.taken.insert("PREVINST:tarnwick");
  // Own application window in front, the running copy's behind it.
  f.windows.add({fake::FakeToolkit::AppWindowId, "TarnwickApp", "Tarnwick v3.4.1", 1});
  f.windows.add({77, "TarnwickApp", "Tarnwick v3.4.1", 2, false, true, false, 78});
  f.windows.add({78, "Popup", "dialog", 2, true, true});
  f.toolkit.onRun = [] { FAIL() << "a second copy must not run a message loop"; };
  EXPECT_EQ(app::RunProgram(f.platform, f.toolkit), 0);
  EXPECT_TRUE(f.toolkit.realised.empty());
  EXPECT_EQ(f.windows.requests, (std::vector<std::string>{"foreground:77", "top:78"}));
}

// A copy runs only when no running copy has its file name, in any letter
// case, nor its folder. The running copy is tarnwick.exe in C:\Tarnwick.
TEST(Program, SecondCopyRefusedBySameNameInAnyCaseOrSameFolder) {
  const struct {
    const char* title;  // as the application window has it at start
    const char* folder;
    bool runs;
  } cases[] = {
      {"tarnwick", "C:\\Tarnwick\\", false},
      {"Tarnwick", "D:\\Elsewhere\\", false},  // TARNWICK.EXE
      {"Other", "C:\\Tarnwick\\", false},      // other.exe beside it
      {"Other", "c:\\TARNWICK\\", false},      // the folder written otherwise
      {"Other", "D:\\Elsewhere\\", true},
      {"Tarnwick2", "D:\\Elsewhere\\", true},
  };
  fake::FakePlatform running;
  const std::vector<std::string> held = app::InstanceMutexNames(running.toolkit, "C:\\Tarnwick\\");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.title) + " in " + c.folder);
    fake::FakePlatform f;
    f.instance.taken.insert(held.begin(), held.end());
    f.files.program = c.folder;
    f.toolkit.setTitle(c.title);
    bool ran = false;
    f.toolkit.onRun = [&] { ran = true; };
    app::RunProgram(f.platform, f.toolkit);
    EXPECT_EQ(ran, c.runs);
  }
}

TEST(Program, ActivationRules) {
  auto activate = [](auto setup) {
    fake::FakePlatform f;
    f.windows.add({fake::FakeToolkit::AppWindowId, "TarnwickApp", "Tarnwick v3.4.1", 1});
    setup(f);
    f.toolkit.setTitle("Tarnwick v3.4.1");
    app::ActivateRunningInstance(f.windows, f.toolkit);
    return f.windows.requests;
  };
  // A minimised running copy is restored, nothing else.
  EXPECT_EQ(activate([](fake::FakePlatform& f) { f.windows.add({9, "TarnwickApp", "TARNWICK V3.4.1", 2, true, true, true}); }),
            (std::vector<std::string>{"restore:9"}));
  // A hidden or disabled last popup is not the target.
  EXPECT_EQ(activate([](fake::FakePlatform& f) {
              f.windows.add({9, "TarnwickApp", "Tarnwick v3.4.1", 2, true, true, false, 10});
              f.windows.add({10, "X", "x", 2, false, true});
            }),
            (std::vector<std::string>{"foreground:9", "top:9"}));
  // No running copy found after our own window: nothing happens.
  EXPECT_TRUE(activate([](fake::FakePlatform&) {}).empty());
  // The first match belongs to another process: stop without activating.
  EXPECT_TRUE(activate([](fake::FakePlatform& f) {
                f.windows.windows.insert(f.windows.windows.begin(), {9, "TarnwickApp", "Tarnwick v3.4.1", 2});
              }).empty());
}

TEST_F(MainWindow, CreationWritesVersionAndPreparesTheTypedUrlKey) {
  start();
  EXPECT_EQ(f.registry.text(Hive::CurrentUser, MainPath, "Version"), "3.4.1");
  EXPECT_TRUE(f.registry.exists(Hive::CurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedURLs"));
  EXPECT_EQ(form->TempFolderPath, f.files.temp);
  EXPECT_NE(form->UrlHistory, nullptr);
  EXPECT_EQ(f.urlCache.callsOf("loadLibrary").size(), 1u);  // the cache library tested once
  EXPECT_FALSE(form->visible());
  // The caption is gone and the window shorter by its height.
  EXPECT_EQ(f.toolkit.peerOf(*form)->style() & ui::windowstyle::Caption, ui::windowstyle::Border);
  EXPECT_EQ(form->height(), 163 + 2);
  EXPECT_EQ(f.tray.record.tip, "Tarnwick");
  EXPECT_EQ(f.tray.record.icon, 0);
}

TEST_F(MainWindow, StartsUnlockedWithoutPasswordAndResetsPassTemp) {
  f.registry.setString(Hive::CurrentUser, MainPath, "Pass Temp", "old");
  start();
  EXPECT_EQ(f.registry.text(Hive::CurrentUser, MainPath, "Pass Temp"), "");
  EXPECT_EQ(visibleItems(form->PopupMenu1),
            (std::vector<std::string>{"&Erase", "E&rase...", "-", "Show Block &List", "&Options", "&Show", "-",
                                      "&Check Latest Version...", "-", "&Help", "&About", "-", "E&xit", "-"}));
}

TEST_F(MainWindow, StartsLockedWithPasswordAndKeepsPassTemp) {
  f.registry.setString(Hive::CurrentUser, MainPath, "Password", "Secret");
  f.registry.setString(Hive::CurrentUser, MainPath, "Pass Temp", "Secret");
  start();
  EXPECT_EQ(f.registry.text(Hive::CurrentUser, MainPath, "Pass Temp"), "Secret");
  EXPECT_EQ(visibleItems(form->PopupMenu1), (std::vector<std::string>{"-", "-", "-", "-", "Log &in..."}));
  EXPECT_TRUE(form->help.visible()) << "only the tray menu is locked at start";

  settings::ApplyLockState(form->PopupMenu1, settings::LockState::LoggedIn);
  EXPECT_TRUE(item("Logout1").visible);
  EXPECT_FALSE(item("Login1").visible);
  EXPECT_TRUE(item("Exit2").visible);
}

TEST_F(MainWindow, GoesOnWithoutUrlHistory) {
  f.urlHistory.available = false;
  start();
  EXPECT_EQ(form->UrlHistory, nullptr);
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_TRUE(f.tray.present);
}

TEST_F(MainWindow, PaneAccordion) {
  start();
  form->Tools1.clickHeader();
  EXPECT_FALSE(form->Tools1.collapsed());
  EXPECT_EQ(form->height(), 397);
  EXPECT_EQ(form->Tools1.height(), 35 + 397 - 168);

  // Opening Help while Tools is open folds Tools and takes Help's height.
  form->help.clickHeader();
  EXPECT_TRUE(form->Tools1.collapsed());
  EXPECT_FALSE(form->help.collapsed());
  EXPECT_EQ(form->height(), 296);

  // Folding the open pane returns to 168.
  form->help.clickHeader();
  EXPECT_TRUE(form->help.collapsed());
  EXPECT_EQ(form->height(), 168);

  // An item's command runs before its pane folds.
  form->help.clickHeader();
  int heightDuringCommand = 0;
  f.help.requests.clear();
  auto& helpItem = form->help.items()[0];
  auto original = helpItem.OnClick;
  helpItem.OnClick = [&] {
    heightDuringCommand = form->height();
    original();
  };
  form->help.clickItem(0);
  EXPECT_EQ(heightDuringCommand, 296);
  EXPECT_EQ(f.help.requests, (std::vector<std::string>{"contents:help.chm"}));
  EXPECT_TRUE(form->help.collapsed());
  EXPECT_EQ(form->height(), 168);

  // The panes stack below each other and follow each other's height.
  form->File1.clickHeader();
  EXPECT_EQ(form->Tools1.top(), form->File1.top() + form->File1.height());
  EXPECT_EQ(form->File1.width(), 195);
}

// The keyboard's walk along a pane: the header, then the enabled items of
// the open pane (the label "Erase manual:" and the separators are passed
// over); Enter on the header opens it, on an item runs it and folds the
// pane; Escape hides the window as Alt+F4 does.
TEST_F(MainWindow, KeyboardWalksThePanesAndEscapeHides) {
  start();
  ui::TaskPaneGroup& tools = form->Tools1;
  EXPECT_FALSE(tools.moveKey(true)) << "a folded pane is only its header";
  tools.pressKey();
  EXPECT_EQ(form->height(), 397);
  const std::vector<int> forward{0, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  for (int expected : forward) {
    ASSERT_TRUE(tools.moveKey(true));
    EXPECT_EQ(tools.keyTarget(), expected) << tools.items()[static_cast<std::size_t>(expected)].caption;
  }
  EXPECT_FALSE(tools.moveKey(true)) << "the keyboard leaves the pane after its last item";
  while (tools.keyTarget() != 2) ASSERT_TRUE(tools.moveKey(false));
  bool cookies = false;
  tools.items()[2].OnClick = [&] { cookies = form->height() == 397; };
  tools.pressKey();
  EXPECT_TRUE(cookies) << "the item's command runs before the pane folds";
  EXPECT_TRUE(tools.collapsed());
  EXPECT_EQ(tools.keyTarget(), ui::TaskPaneGroup::KeyHeader);
  EXPECT_EQ(form->height(), 168);

  // Coming back from the pane below lands on its last item.
  form->help.clickHeader();
  form->help.enterKey(false);
  EXPECT_EQ(form->help.keyTarget(), 5) << "About";

  form->show();
  EXPECT_TRUE(form->keyPressed(ui::FormKey::Escape));
  EXPECT_FALSE(form->visible());
  EXPECT_TRUE(form->PopupMenu1.autoPopup);
  EXPECT_FALSE(f.toolkit.terminated);
}

TEST_F(MainWindow, ShowHideCloseAndExit) {
  start();
  form->PopupMenu1.choose(item("Show1"));
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(form->PopupMenu1.autoPopup) << "no tray menu while the window is visible";
  EXPECT_TRUE(f.toolkit.appWindowVisible) << "showing brings back the taskbar button";
  EXPECT_EQ(f.windows.requests, (std::vector<std::string>{"foreground:1000", "foreground:" + std::to_string(form->handle())}));

  form->btnMinimize.OnClick();
  EXPECT_FALSE(form->visible());
  EXPECT_TRUE(form->PopupMenu1.autoPopup);
  EXPECT_FALSE(f.toolkit.appWindowVisible) << "back in the tray, without a taskbar button";

  form->show();
  form->close();  // Alt+F4
  EXPECT_FALSE(form->visible());
  EXPECT_TRUE(form->PopupMenu1.autoPopup);
  EXPECT_EQ(f.help.requests, (std::vector<std::string>{"closeAll"}));
  EXPECT_FALSE(f.toolkit.terminated);

  form->PopupMenu1.choose(item("Exit2"));
  EXPECT_TRUE(f.toolkit.terminated);
}

TEST_F(MainWindow, HelpAndHomePageCommands) {
  start();
  form->PopupMenu1.choose(item("Help1"));
  form->dxToolButton1.OnClick();
  form->Panel1.OnClick = nullptr;
  form->help.clickHeader();
  form->help.clickItem(2);  // Visit Home Page
  EXPECT_EQ(f.help.requests,
            (std::vector<std::string>{"topic:help.chm:Introduction", "topic:help.chm:MainWindow"}));
  ASSERT_EQ(f.shell.calls.size(), 1u);
  EXPECT_EQ(f.shell.calls[0].verb, "open");
  EXPECT_EQ(f.shell.calls[0].file, std::string("http://") + TARNWICK_VENDOR_HOST + "/tarnwick");
  EXPECT_EQ(f.shell.calls[0].owner, form->handle());

  // F1: each window's own page, and the tray menu's.
  f.help.requests.clear();
  f.toolkit.onModal = [](ui::Form& shown) {
    ASSERT_TRUE(shown.OnHelp);
    shown.OnHelp();
    shown.close();
  };
  form->OnHelp();
  form->PopupMenu1.help();
  form->About2Click();
  form->helpItems3Click();
  form->Login1Click();
  EXPECT_EQ(f.help.requests, (std::vector<std::string>{"topic:help.chm:MainWindow", "topic:help.chm:TrayMenu",
                                                       "topic:help.chm:About", "topic:help.chm:Update",
                                                       "topic:help.chm:Login"}));
}

TEST_F(MainWindow, HandlerExceptionGoesToTheErrorBox) {
  start();
  f.toolkit.setTitle("Tarnwick v3.4.1");
  form->Tools1.items()[0].OnClick = [] { throw std::runtime_error("Cannot open file x"); };
  form->Tools1.clickHeader();
  form->Tools1.clickItem(0);
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].kind, "error");
  EXPECT_EQ(f.dialogs.shown[0].text, "Cannot open file x");
  EXPECT_EQ(f.dialogs.shown[0].caption, "Tarnwick v3.4.1");
  EXPECT_TRUE(form->Tools1.collapsed()) << "the pane's own handler still runs";
}
