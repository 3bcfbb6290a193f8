// The notice window and its helper, the about window and its hyperlink
// labels, against the fake toolkit: what each shows, both ways of closing,
// the tray menu held shut while they are up, and the links' font and clicks.
#include <gtest/gtest.h>
#include <algorithm>
#include <stdexcept>
#include "app/uAbout.h"
#include "app/uMain.h"
#include "chrome/URLLabel.h"
#include "FakePlatform.h"
#include "popup/uOpozorilo.h"
#include "settings/Schema.h"

using platform::Hive;

namespace {

struct NoticeAbout : ::testing::Test {
  fake::FakePlatform f;
  std::unique_ptr<app::TfrmMain> main;

  void SetUp() override {
    main = std::make_unique<app::TfrmMain>(f.platform, f.toolkit);
    main->create();
  }
  // Right-clicks the tray icon; true when the tray menu opened.
  bool trayMenuOpens() {
    const std::size_t before = f.toolkit.menus.size();
    f.tray.click(platform::TrayMouse::RightDown);
    return f.toolkit.menus.size() > before;
  }
  ui::PopupMenu& trayMenu() { return main->PopupMenu1; }
};

template <class T>
T& shown(ui::Form& form) {
  T* t = dynamic_cast<T*>(&form);
  if (!t) throw std::logic_error("another window is up: " + form.name());
  return *t;
}

}  // namespace

TEST_F(NoticeAbout, NoticeShowsOneSymbolAndItsTextColourWhileTheTrayMenuStaysShut) {
  struct Case {
    popup::NoticeKind kind;
    bool information;
    ui::Color color;
  };
  for (const Case c : {Case{popup::NoticeKind::Information, true, ui::rgb(255, 255, 255)},
                       Case{popup::NoticeKind::Warning, false, ui::rgb(255, 255, 0)}}) {
    int seen = 0;
    f.toolkit.onModal = [&](ui::Form& form) {
      auto& n = shown<popup::TfrmOpozorilo>(form);
      ++seen;
      EXPECT_EQ(n.owner(), main.get());
      EXPECT_EQ(n.img_info.visible(), c.information);
      EXPECT_EQ(n.img_war.visible(), !c.information);
      EXPECT_EQ(n.lb_vsebina.font().color(), c.color);
      EXPECT_EQ(n.lb_vsebina.caption(), "Select something in Block List!");
      EXPECT_EQ(n.clientWidth(), 487);
      EXPECT_EQ(n.clientHeight(), 72);
      EXPECT_EQ(n.lb_vsebina.width(), 353);
      EXPECT_EQ(n.lb_vsebina.height(), 41);
      EXPECT_TRUE(n.lb_vsebina.wordWrap() && n.lb_vsebina.transparent() && !n.lb_vsebina.autoSize());
      EXPECT_FALSE(trayMenu().autoPopup);
      EXPECT_FALSE(trayMenuOpens()) << "no tray menu while a notice is up";
      ASSERT_TRUE(n.OnHelp);
      n.OnHelp();
      EXPECT_EQ(f.help.requests.back(), "topic:help.chm:MainWindow") << "F1 opens the owner's page";
    };
    popup::ShowNotice(*main, trayMenu(), c.kind, "Select something in Block List!");
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(trayMenu().autoPopup);
    EXPECT_TRUE(trayMenuOpens()) << "the tray menu opens again after the notice";
  }
}

TEST_F(NoticeAbout, NoticeClosesTheSameWayByItsHideButtonAndByClose) {
  // The hide button, the Close button, then the keys: Enter, Escape, Alt+C.
  for (int path = 0; path < 5; ++path) {
    f.toolkit.onModal = [&](ui::Form& form) {
      auto& n = shown<popup::TfrmOpozorilo>(form);
      EXPECT_EQ(n.btnMinimize.hint(), "Hide");
      EXPECT_EQ(n.dialog_close.caption(), "&Close");
      fake::FakeFormPeer* peer = f.toolkit.peerOf(n);
      const int ends = peer->modalEnds;
      // Keys that are not the button's do nothing.
      EXPECT_FALSE(n.keyPressed(ui::FormKey::Letter, 'x'));
      EXPECT_EQ(peer->modalEnds, ends);
      switch (path) {
        case 0: n.btnMinimize.OnClick(); break;
        case 1: n.dialog_close.OnClick(); break;
        case 2: EXPECT_TRUE(n.keyPressed(ui::FormKey::Enter)); break;
        case 3: EXPECT_TRUE(n.keyPressed(ui::FormKey::Escape)); break;
        default: EXPECT_TRUE(n.keyPressed(ui::FormKey::Letter, 'C')); break;
      }
      EXPECT_EQ(peer->modalEnds, ends + 1) << "path " << path << " closes the notice";
      EXPECT_TRUE(trayMenu().autoPopup) << "the menu is back as soon as the notice closes";
    };
    popup::ShowNotice(*main, trayMenu(), popup::NoticeKind::Information, "x");
    EXPECT_TRUE(trayMenu().autoPopup);
  }
}

TEST_F(NoticeAbout, NoticeWhoseShowingFailsIsReleasedAndLeavesTheTrayMenuWorking) {
  f.toolkit.onModal = [&](ui::Form&) {
    EXPECT_FALSE(trayMenu().autoPopup);
    throw std::runtime_error("no window");
  };
  EXPECT_THROW(popup::ShowNotice(*main, trayMenu(), popup::NoticeKind::Warning, "x"), std::runtime_error);
  EXPECT_TRUE(trayMenu().autoPopup);
  f.toolkit.onModal = nullptr;
  EXPECT_TRUE(trayMenuOpens());
}

TEST_F(NoticeAbout, AboutFromTheTrayMenuShowsTheStoredVersionAndItsLayout) {
  f.registry.setString(Hive::CurrentUser, settings::keys::Main, "Version", "9.8.7");
  int seen = 0;
  f.toolkit.onModal = [&](ui::Form& form) {
    auto& a = shown<app::TfrmAbout>(form);
    ++seen;
    EXPECT_EQ(a.owner(), main.get());
    EXPECT_EQ(a.caption(), "About");
    EXPECT_EQ(a.borderStyle(), ui::BorderStyle::None);
    EXPECT_EQ(a.position(), ui::FormPosition::ScreenCenter);
    EXPECT_EQ(a.clientWidth(), 370);
    EXPECT_EQ(a.clientHeight(), 264);
    EXPECT_EQ(a.color(), ui::clActiveBorder);
    EXPECT_EQ(a.Label4.caption(), "9.8.7");
    EXPECT_EQ(a.Label4.left(), 32);
    EXPECT_EQ(a.Label4.top(), 104);
    EXPECT_EQ(a.Bevel1.style(), ui::Bevel::Raised);
    EXPECT_EQ(a.Bevel1.width(), 353);
    EXPECT_EQ(a.Bevel1.height(), 209);
    EXPECT_EQ(a.Bevel4.shape(), ui::BevelShape::TopLine);
    EXPECT_EQ(a.Bevel5.shape(), ui::BevelShape::TopLine);
    EXPECT_EQ(a.Image1.picture(), ui::Picture::ProgramIcon);
    EXPECT_EQ(a.Label1.font().height(), -23);
    EXPECT_EQ(a.URLLabel1.URL, app::homePageUrl());
    EXPECT_EQ(a.URLLabel1.URL, std::string("http://") + TARNWICK_VENDOR_HOST + "/tarnwick");
    EXPECT_EQ(a.URLLabel1.caption(), a.URLLabel1.URL);
    EXPECT_EQ(a.URLLabel2.caption(), TARNWICK_SUPPORT_EMAIL);
    EXPECT_EQ(a.URLLabel2.URL, std::string("mailto:") + TARNWICK_SUPPORT_EMAIL);
    for (chrome::TURLLabel* link : {&a.URLLabel1, &a.URLLabel2}) {
      EXPECT_EQ(link->font().color(), ui::clBlack);
      EXPECT_EQ(link->font().style(), 0u);
      EXPECT_EQ(link->font().size(), 8);
      EXPECT_EQ(link->MouseOverFont.color(), ui::clBlue);
      EXPECT_EQ(link->MouseOverFont.style(), ui::fontstyle::Underline);
      EXPECT_EQ(link->cursor, ui::Cursor::HandPoint);
    }
    EXPECT_FALSE(trayMenu().autoPopup);
    EXPECT_FALSE(trayMenuOpens());
  };
  main->PopupMenu1.choose(*main->PopupMenu1.find("About1"));
  EXPECT_EQ(seen, 1);
  EXPECT_TRUE(trayMenu().autoPopup);

  // The Help pane's "About" opens a new one, which reads the value again.
  f.registry.key(Hive::CurrentUser, settings::keys::Main).values.erase("version");
  f.toolkit.onModal = [&](ui::Form& form) {
    ++seen;
    EXPECT_EQ(shown<app::TfrmAbout>(form).Label4.caption(), "") << "no version stored, none shown";
  };
  auto& items = main->help.items();
  const auto about = std::find_if(items.begin(), items.end(), [](auto& i) { return i.caption == "About"; });
  ASSERT_NE(about, items.end());
  main->help.clickItem(static_cast<std::size_t>(about - items.begin()));
  EXPECT_EQ(seen, 2);
}

TEST_F(NoticeAbout, AboutClosesTheSameWayByCloseAndByItsHideButton) {
  for (int path = 0; path < 2; ++path) {
    f.toolkit.onModal = [&](ui::Form& form) {
      auto& a = shown<app::TfrmAbout>(form);
      EXPECT_EQ(a.btnClose.caption(), "&Close");
      EXPECT_EQ(a.btnMinimize.hint(), "Hide");
      fake::FakeFormPeer* peer = f.toolkit.peerOf(a);
      const int ends = peer->modalEnds;
      if (path == 0)
        a.btnClose.OnClick();
      else
        a.btnMinimize.OnClick();
      EXPECT_EQ(peer->modalEnds, ends + 1);
      EXPECT_TRUE(trayMenu().autoPopup);
    };
    main->About2Click();
    EXPECT_TRUE(trayMenuOpens());
  }
}

TEST_F(NoticeAbout, LinkShowsTheMouseOverFontAndGivesBackExactlyItsOwn) {
  app::TfrmAbout about(f.platform, f.toolkit, *main, trayMenu());
  about.create();
  chrome::TURLLabel& link = about.URLLabel1;
  std::vector<std::string> events;
  link.OnMouseEnter = [&] { events.push_back("enter " + std::to_string(link.font().color())); };
  link.OnMouseLeave = [&] { events.push_back("leave " + std::to_string(link.font().color())); };

  // An 8-point font, and one whose pixel height does not convert to whole
  // points and back.
  for (int height : {-11, -14}) {
    ui::Font own = link.font();
    own.setHeight(height);
    link.setFont(own);
    link.mouseEnter();
    EXPECT_EQ(link.font().color(), ui::clBlue);
    EXPECT_EQ(link.font().style(), ui::fontstyle::Underline);
    EXPECT_EQ(link.font().size(), 8) << "the mouse-over font's size decides";
    EXPECT_EQ(link.font(), link.MouseOverFont);
    EXPECT_EQ(link.savedFont(), own);
    link.mouseLeave();
    EXPECT_EQ(link.font(), own) << "height " << height;
  }
  EXPECT_EQ(link.font().color(), ui::clBlack);
  EXPECT_EQ(link.font().style(), 0u);
  // The label's own events run first, on the font it had until then.
  const std::string black = std::to_string(ui::clBlack);
  EXPECT_EQ(events, (std::vector<std::string>{"enter " + black, "leave " + std::to_string(ui::clBlue),
                                              "enter " + black, "leave " + std::to_string(ui::clBlue)}));
}

TEST_F(NoticeAbout, AnyMouseButtonOrTheKeyboardOnALinkOpensItsUrlWithTheFormsHandle) {
  app::TfrmAbout about(f.platform, f.toolkit, *main, trayMenu());
  about.create();
  int downs = 0;
  about.URLLabel2.OnMouseDown = [&](ui::MouseButton, int, int) { ++downs; };
  about.URLLabel1.mouseDown(ui::MouseButton::Left, 3, 4);
  about.URLLabel1.mouseDown(ui::MouseButton::Right, 3, 4);
  about.URLLabel2.mouseDown(ui::MouseButton::Middle, 0, 0);
  EXPECT_TRUE(about.URLLabel2.tabStop && about.URLLabel1.tabStop);
  EXPECT_EQ(about.ActiveControl, &about.btnClose) << "Enter closes the window as it comes up";
  about.URLLabel2.activate();  // Enter or Space on it
  ASSERT_EQ(f.shell.calls.size(), 4u);
  for (auto& call : f.shell.calls) {
    EXPECT_EQ(call.owner, about.handle());
    EXPECT_EQ(call.verb, "open");
  }
  EXPECT_NE(about.handle(), main->handle());
  EXPECT_EQ(f.shell.calls[0].file, app::homePageUrl());
  EXPECT_EQ(f.shell.calls[1].file, app::homePageUrl());
  EXPECT_EQ(f.shell.calls[2].file, "mailto:" + app::supportEmail());
  EXPECT_EQ(f.shell.calls[3].file, "mailto:" + app::supportEmail());
  EXPECT_EQ(downs, 1) << "the label's own handler runs too";
}

TEST(URLLabel, StartsAsABlackPlainLinkToTheBuiltInAddress) {
  fake::FakePlatform f;
  ui::Form form(f.toolkit, "frm");
  ui::Font big;
  big.setName("Arial");
  big.setHeight(-20);
  chrome::TURLLabel link(&form, "link", f.shell);
  EXPECT_EQ(link.URL, chrome::TURLLabel::DefaultURL());
  EXPECT_EQ(link.caption(), link.URL);
  EXPECT_EQ(link.font().color(), ui::clBlack);
  EXPECT_EQ(link.font().style(), 0u);
  EXPECT_EQ(link.MouseOverFont.color(), ui::clBlue);
  EXPECT_EQ(link.MouseOverFont.style(), ui::fontstyle::Underline);
  EXPECT_EQ(link.MouseOverFont.name(), link.font().name());
  EXPECT_EQ(link.MouseOverFont.height(), link.font().height());
  // Points and pixels at 96 pixels per inch: 8 pt is 11 pixels; a size the
  // font already has leaves its height alone.
  big.setSize(big.size());
  EXPECT_EQ(big.height(), -20);
  big.setSize(8);
  EXPECT_EQ(big.height(), -11);
  EXPECT_EQ(big.size(), 8);
}
