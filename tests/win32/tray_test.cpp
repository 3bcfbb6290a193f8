// The notification-area record, the tray icon images, and TCoolTrayIcon on
// the real NotifyArea with its hidden window. Nothing here needs a system
// tray to exist: what the shell was handed is checked, not what it shows.
#include <gtest/gtest.h>
#include <windows.h>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "app/CoolTrayIcon.h"
#include "RecordingDialogs.h"
#include "platform/win32/NotifyAreaWin32.h"
#include "platform/win32/TrayRecordWin32.h"
#include "platform/win32/WindowsWin32.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Toolkit.h"

namespace w32 = platform::win32;

namespace {

// Distinct icons the test keeps; the shared system icons need no cleanup.
std::array<HICON, 3> systemIcons() {
  return {LoadIconA(nullptr, IDI_APPLICATION), LoadIconA(nullptr, IDI_WARNING),
          LoadIconA(nullptr, IDI_ERROR)};
}

TEST(TrayRecord, IsTheV1RecordWithTheTipCutTo63Characters) {
  const auto icons = systemIcons();
  w32::TrayIcons set(icons);
  HWND window = reinterpret_cast<HWND>(0x1234);

  NOTIFYICONDATAA nid = w32::makeTrayRecord(window, platform::TrayRecord{0, "Tarnwick"}, set);
  EXPECT_EQ(nid.cbSize, static_cast<DWORD>(offsetof(NOTIFYICONDATAA, szTip) + 64));
  if (sizeof(void*) == 8) {
    EXPECT_EQ(nid.cbSize, 104u) << "the 64-bit layout";
  }
  EXPECT_EQ(nid.hWnd, window);
  EXPECT_EQ(nid.uID, 1u);
  EXPECT_EQ(nid.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(nid.uFlags, 7u);
  EXPECT_EQ(nid.uCallbackMessage, 0x800u);
  EXPECT_EQ(nid.hIcon, icons[0]);
  EXPECT_STREQ(nid.szTip, "Tarnwick");

  const std::string hint64(64, 'h');
  nid = w32::makeTrayRecord(window, platform::TrayRecord{1, hint64 + "tail"}, set);
  EXPECT_EQ(nid.hIcon, icons[1]);
  EXPECT_EQ(std::strlen(nid.szTip), 63u);
  EXPECT_EQ(nid.szTip[63], '\0');
  EXPECT_EQ(std::string(nid.szTip), hint64.substr(0, 63));

  nid = w32::makeTrayRecord(window, platform::TrayRecord{2, std::string(63, 'x')}, set);
  EXPECT_EQ(std::string(nid.szTip), std::string(63, 'x')) << "63 characters fit whole";
  EXPECT_EQ(nid.hIcon, icons[2]);

  nid = w32::makeTrayRecord(window, platform::TrayRecord{5, ""}, set);
  EXPECT_EQ(nid.hIcon, icons[2]) << "past the list: its last icon";
  EXPECT_STREQ(nid.szTip, "");
}

COLORREF centrePixel(HICON icon) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{0, 0, 16, 16};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  COLORREF c = GetPixel(dc, 8, 8);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return c;
}

TEST(TrayIcons, AProgramWithoutTheIconResourcesGetsThreeDistinctIcons) {
  // This test program carries no icon resources.
  w32::TrayIcons icons = w32::TrayIcons::load(GetModuleHandleA(nullptr));
  std::vector<COLORREF> centres;
  for (int i = 0; i < 3; ++i) {
    HICON icon = icons.icon(i);
    ASSERT_NE(icon, nullptr) << i;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16) << i;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    centres.push_back(centrePixel(icon));
  }
  EXPECT_NE(centres[0], centres[1]);
  EXPECT_NE(centres[1], centres[2]);
  EXPECT_NE(centres[0], centres[2]);
  EXPECT_EQ(icons.icon(7), icons.icon(2));
  EXPECT_EQ(icons.icon(-1), icons.icon(0));
}

// Just enough of a window system for the tray icon's owner form: menus are
// recorded instead of opened.
class TestToolkit : public ui::Toolkit {
 public:
  explicit TestToolkit(platform::Dialogs& d) : ui::Toolkit(d) {}
  struct Popup {
    ui::PopupMenu* menu;
    int x, y;
  };
  void realise(ui::Form&) override {}
  void popup(ui::PopupMenu& menu, int x, int y) override { popups.push_back({&menu, x, y}); }
  void setTitle(const std::string& t) override { title_ = t; }
  std::string title() override { return title_; }
  platform::WindowId appWindow() override { return 0; }
  void hideAppWindow() override { ++hides; }
  void restoreAppWindow() override {}
  void run() override {}
  void terminate() override {}
  void processMessages() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  ui::Form* focusedForm() override { return nullptr; }

  std::vector<Popup> popups;
  int hides = 0;

 private:
  std::string title_ = "Tarnwick v3.4.1";
};

class CoolTrayIconTest : public ::testing::Test {
 protected:
  CoolTrayIconTest() : icons_(systemIcons()), area_(w32::TrayIcons(icons_)) {}

  // What the notification area's window gets from the shell for a mouse event.
  LRESULT mouse(UINT message) { return SendMessageA(area_.hwnd(), 0x800, 1, message); }

  std::array<HICON, 3> icons_;
  RecordingDialogs dialogs_;
  TestToolkit toolkit_{dialogs_};
  ui::Form owner_{toolkit_, "frmMain"};
  ui::PopupMenu menu_{toolkit_, "PopupMenu1"};
  w32::Windows windows_;
  w32::NotifyArea area_;
};

TEST_F(CoolTrayIconTest, ShowsSwapsAndRemovesTheIcon) {
  auto tray = std::make_unique<app::TCoolTrayIcon>(owner_, area_, windows_, 3);
  tray->PopupMenu = &menu_;
  tray->setHint("Tarnwick");
  EXPECT_EQ(area_.lastRecord().cbSize, 0u) << "nothing goes to the shell before the owner is loaded";

  tray->Loaded();
  EXPECT_EQ(toolkit_.hides, 1) << "started minimised: the application window is hidden";
  EXPECT_EQ(area_.lastRecord().hWnd, area_.hwnd());
  EXPECT_EQ(area_.lastRecord().hIcon, icons_[0]);
  EXPECT_STREQ(area_.lastRecord().szTip, "Tarnwick");
  ::testing::Test::RecordProperty("ShellAcceptedAdd", area_.lastAccepted() ? "yes" : "no");

  tray->setIconIndex(5);
  EXPECT_EQ(area_.lastRecord().hIcon, icons_[2]) << "index 5 of three icons shows icon 2";
  tray->setIconIndex(1);
  EXPECT_EQ(area_.lastRecord().hIcon, icons_[1]);
  tray->setIconIndex(0);
  EXPECT_EQ(area_.lastRecord().hIcon, icons_[0]);

  tray->setHint("Closed popups:  " + std::string(70, '9'));
  EXPECT_EQ(std::strlen(area_.lastRecord().szTip), 63u);
  tray->ShowHint = false;
  tray->setHint("Tarnwick");
  EXPECT_STREQ(area_.lastRecord().szTip, "") << "no tip while hints are off";

  tray.reset();
  // The icon's window outlives the component; its mouse messages now go nowhere.
  EXPECT_EQ(mouse(WM_RBUTTONDOWN), 0);
  EXPECT_TRUE(toolkit_.popups.empty());
}

TEST_F(CoolTrayIconTest, MouseMessagesOfTheIconWindowOpenTheMenu) {
  app::TCoolTrayIcon tray(owner_, area_, windows_, 3);
  tray.PopupMenu = &menu_;
  tray.Loaded();

  mouse(WM_RBUTTONDOWN);
  ASSERT_EQ(toolkit_.popups.size(), 1u);
  POINT cursor;
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(toolkit_.popups[0].menu, &menu_);
  EXPECT_EQ(toolkit_.popups[0].x, cursor.x);
  EXPECT_EQ(toolkit_.popups[0].y, cursor.y);
  EXPECT_EQ(menu_.popupComponent, &tray);

  mouse(WM_LBUTTONDOWN);
  mouse(WM_RBUTTONUP);
  mouse(WM_MOUSEMOVE);
  mouse(WM_LBUTTONDBLCLK);
  mouse(WM_MBUTTONDOWN);
  EXPECT_EQ(toolkit_.popups.size(), 1u) << "only the right button opens the menu by default";

  tray.LeftPopup = true;
  mouse(WM_LBUTTONDOWN);
  EXPECT_EQ(toolkit_.popups.size(), 2u);

  menu_.autoPopup = false;  // while the main window is visible
  mouse(WM_RBUTTONDOWN);
  EXPECT_EQ(toolkit_.popups.size(), 2u);
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(CoolTrayIconTest, TheIconWindowLetsTheSessionEnd) {
  EXPECT_EQ(SendMessageA(area_.hwnd(), WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_EQ(SendMessageA(area_.hwnd(), WM_USER + 1, 0, 0), 0) << "other messages get the default answer";
  // A top-level window, hidden, so it sees session broadcasts but never shows.
  EXPECT_EQ(GetParent(area_.hwnd()), nullptr);
  EXPECT_FALSE(IsWindowVisible(area_.hwnd()));
}

}  // namespace
