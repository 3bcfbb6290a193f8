#include <gtest/gtest.h>
#include "app/CoolTrayIcon.h"
#include "FakePlatform.h"

namespace {

struct Tray : ::testing::Test {
  fake::FakePlatform f;
  ui::Form owner{f.toolkit, "owner"};
  ui::PopupMenu menu{f.toolkit, "menu"};
  int chosen = 0;
  std::unique_ptr<app::TCoolTrayIcon> tray;

  void SetUp() override {
    owner.setClientSize(100, 100);
    owner.create();
    menu.add("a", "&A", [this] { ++chosen; });
    tray = std::make_unique<app::TCoolTrayIcon>(owner, f.tray, f.windows, 3);
    tray->PopupMenu = &menu;
    tray->setHint("Tarnwick");
    f.toolkit.onPopup = [](ui::PopupMenu& m) { m.choose(*m.items()[0]); };
  }
};

}  // namespace

TEST_F(Tray, LoadedHidesTheProgramAndShowsTheIcon) {
  EXPECT_TRUE(f.tray.calls.empty()) << "nothing shows before the owner is loaded";
  tray->Loaded();
  EXPECT_FALSE(f.toolkit.appWindowVisible);
  EXPECT_EQ(f.tray.calls, (std::vector<std::string>{"add"}));
  EXPECT_EQ(f.tray.record.tip, "Tarnwick");
  tray.reset();
  EXPECT_FALSE(f.tray.present);
}

TEST_F(Tray, IconIndexIsClampedToTheImageListAndHintUpdates) {
  tray->Loaded();
  tray->setIconIndex(2);
  EXPECT_EQ(f.tray.record.icon, 2);
  tray->setIconIndex(5);
  EXPECT_EQ(f.tray.record.icon, 2);
  EXPECT_EQ(tray->IconIndex(), 5);
  tray->setIconIndex(0);
  EXPECT_EQ(f.tray.record.icon, 0);
  tray->setHint("Closed popups:  1,234");
  EXPECT_EQ(f.tray.record.tip, "Closed popups:  1,234");
  tray->ShowHint = false;
  tray->setHint("x");
  EXPECT_EQ(f.tray.record.tip, "") << "no tip while hints are off";
}

TEST_F(Tray, MouseButtonsOpenTheMenuAtTheCursor) {
  tray->Loaded();
  f.tray.click(platform::TrayMouse::RightDown);
  ASSERT_EQ(f.toolkit.menus.size(), 1u);
  EXPECT_EQ(f.toolkit.menus[0].x, 100);
  EXPECT_EQ(f.toolkit.menus[0].y, 200);
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(menu.popupComponent, tray.get());
  EXPECT_EQ(f.windows.requests.back(), "null:" + std::to_string(owner.handle())) << "WM_NULL after the menu";

  f.tray.click(platform::TrayMouse::LeftDown);
  f.tray.click(platform::TrayMouse::LeftDoubleClick);
  f.tray.click(platform::TrayMouse::RightUp);
  EXPECT_EQ(f.toolkit.menus.size(), 1u) << "left button only once enabled";

  tray->LeftPopup = true;
  f.tray.click(platform::TrayMouse::LeftDown);
  EXPECT_EQ(f.toolkit.menus.size(), 2u);
  menu.find("a")->isDefault = true;
  f.tray.click(platform::TrayMouse::LeftDoubleClick);
  EXPECT_EQ(chosen, 2) << "a double click does nothing while the left button opens the menu";
  tray->LeftPopup = false;
  f.tray.click(platform::TrayMouse::LeftDoubleClick);
  EXPECT_EQ(chosen, 3) << "otherwise it clicks the default item";
}

TEST_F(Tray, NoMenuWhenAutoPopupIsOffOrTheCursorIsUnknown) {
  tray->Loaded();
  menu.autoPopup = false;
  f.tray.click(platform::TrayMouse::RightDown);
  menu.autoPopup = true;
  f.tray.cursorReadable = false;
  f.tray.click(platform::TrayMouse::RightDown);
  EXPECT_TRUE(f.toolkit.menus.empty());
  EXPECT_EQ(f.toolkit.messagesProcessed, 0);
}

TEST_F(Tray, FocusedFormComesToTheFrontBeforeTheMenu) {
  tray->Loaded();
  ui::Form other(f.toolkit, "other");
  other.create();
  f.toolkit.focused = &other;
  f.tray.click(platform::TrayMouse::RightDown);
  ASSERT_GE(f.windows.requests.size(), 2u);
  EXPECT_EQ(f.windows.requests[0], "foreground:" + std::to_string(other.handle()));
  EXPECT_EQ(f.toolkit.messagesProcessed, 1);
}
