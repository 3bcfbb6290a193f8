// The popup blocker at work against the fakes: the closing loop and the
// open-window limit as the options window switches and tunes them, and the
// block list window's buttons with their notices.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include "app/Program.h"
#include "FakePlatform.h"
#include "popup/uOpozorilo.h"

using platform::Hive;
using Requests = std::vector<std::string>;

namespace {

constexpr const char* CounterKey = "software\\Tarnwick\\counter";
const std::string Suffix = " - Microsoft Internet Explorer";

struct Blocker : ::testing::Test {
  fake::FakePlatform f;
  std::unique_ptr<app::ProgramWindows> w;
  std::vector<std::string> notices;

  explicit Blocker(const std::string& list = "") {
    f.files.addFolder("C:\\Tarnwick");
    f.files.addFile("C:\\Tarnwick\\tarnwick_block.txt", list);
    f.toolkit.onModal = [this](ui::Form& form) {
      if (auto* n = dynamic_cast<popup::TfrmOpozorilo*>(&form)) notices.push_back(n->lb_vsebina.caption());
    };
    w = std::make_unique<app::ProgramWindows>(f.platform, f.toolkit);
    w->create();
  }
  settings::TfrmOptions& o() { return w->frmOptions; }
  popup::TfrmBlockList& b() { return w->frmBlockList; }
  std::string counter(const char* name) {
    return f.registry.text(Hive::CurrentUser, CounterKey, name).value_or("<missing>");
  }
  // One second: one closing-loop tick and two limit ticks, the browser
  // handling what it was asked after each half.
  Requests second() {
    f.windows.requests.clear();
    for (int half = 0; half < 2; ++half) {
      f.time.advance(500);
      f.windows.deliverCloses();
    }
    return f.windows.requests;
  }
};

struct ClosingLoop : Blocker {
  ClosingLoop() : Blocker("Ads\r\nNews\r\nnews\r\n") {}
};

}  // namespace

TEST_F(ClosingLoop, ClosesOnePerEntryPerTickAnnouncesAndCountsOnlyWhileCounting) {
  f.locale.separator = ",";
  f.registry.setString(Hive::CurrentUser, CounterKey, "Counter", "1234566");
  f.windows.add({1, "IEFrame", "Ads" + Suffix, 7});
  f.windows.add({2, "Notepad", "News" + Suffix, 8});
  f.windows.add({3, "IEFrame", "ADS" + Suffix, 7, false});
  f.windows.add({4, "IEFrame", "News" + Suffix, 7});
  f.windows.add({5, "IEFrame", "Ads", 7});
  f.windows.get(4)->refusesClose = true;
  EXPECT_EQ(second(), Requests{}) << "off until switched on";

  o().cb_popup.setChecked(true);
  o().cb_counter.setChecked(true);
  o().cb_sound.setChecked(true);
  o().ed_sound.setText("C:\\ding.wav");
  o().rb_limit_max.choose();
  const std::uint64_t slept = f.time.slept;
  f.tray.icons.clear();
  // Ads finds the topmost of its two windows; News and news both find the
  // IE window that bears the title, which refuses and is asked again.
  EXPECT_EQ(second(), (Requests{"close:1", "close:4", "close:4"}));
  EXPECT_EQ(f.sound.played, (std::vector<std::string>(3, "C:\\ding.wav")));
  EXPECT_EQ(f.time.slept - slept, 3 * 500u) << "the tray flashes for every close";
  EXPECT_EQ(f.tray.icons, (std::vector<int>{2, 0, 2, 0, 2, 0}));
  EXPECT_EQ(counter("Counter"), "1234569");
  EXPECT_EQ(b().lb_counter.caption(), "Closed popups:  1,234,569");
  EXPECT_EQ(o().counter_popup.caption(), "1,234,569");

  // The hidden one now; counting and the sound switched off before Apply.
  o().cb_counter.setChecked(false);
  o().ed_sound.setText("");
  EXPECT_EQ(second(), (Requests{"close:3", "close:4", "close:4"}));
  EXPECT_EQ(f.sound.played.size(), 3u);
  EXPECT_EQ(counter("Counter"), "1234569");

  o().cb_popup.setChecked(false);
  EXPECT_EQ(second(), Requests{});
}

// Both timers with nothing to close: where they tick together they share
// one enumeration, a window is asked its class once in its life, and only
// IE windows are asked anything more.
TEST_F(ClosingLoop, ASecondWithNothingToCloseAsksEachWindowTheFewestQuestions) {
  for (int i = 0; i < 50; ++i) b().blockList.AddBlockEntry("Entry " + std::to_string(i));
  for (int i = 0; i < 100; ++i)
    f.windows.add({100u + i, i % 2 ? "IEFrame" : "Other", "Page " + std::to_string(i), 7, false});
  f.windows.get(101)->hung = true;
  o().cb_popup.setChecked(true);
  f.windows.enumerations = 0;
  f.windows.asked.clear();
  EXPECT_EQ(second(), Requests{});
  EXPECT_EQ(f.windows.enumerations, 2) << "one for the limit alone, one for both timers";
  EXPECT_EQ(f.windows.asked["class"], 100);
  EXPECT_EQ(f.windows.asked["visible"], 2 * 50) << "the IE windows, at each of the limit's ticks";
  EXPECT_EQ(f.windows.asked["key"], 50) << "the closing loop reads the IE windows' titles once";
  EXPECT_EQ(f.windows.asked["text"], 0) << "no window is asked for its title";
  EXPECT_EQ(second(), Requests{});
  EXPECT_EQ(f.windows.enumerations, 4);
  EXPECT_EQ(f.windows.asked["class"], 100) << "a window's class is asked once";
  f.windows.add({300, "IEFrame", "Entry 7" + Suffix, 7, false});
  EXPECT_EQ(second(), (Requests{"close:300"})) << "a new window is seen at the next tick";
  EXPECT_EQ(f.windows.asked["class"], 101);
}

// What the ticks keep of a window between them (its class) never hides a
// change of what they ask again: a title or visibility that changed, a
// handle the system gave to another window once the first had gone, and
// whatever changed while the blocker was off.
TEST_F(ClosingLoop, WhatChangesBetweenTicksIsSeenAtTheNext) {
  auto& win = f.windows;
  const auto remove = [&](platform::WindowId id) {
    std::erase_if(win.windows, [id](const fake::FakeWindow& x) { return x.id == id; });
  };
  o().cb_popup.setChecked(true);
  o().rb_limit_set.choose();
  o().se_limit.setValue(1);
  const struct {
    const char* what;
    std::function<void()> change;
    Requests expected;
  } steps[] = {
      {"an IE window and another program's window with a listed title",
       [&] {
         win.add({10, "IEFrame", "Fine" + Suffix, 7, false});
         win.add({11, "Notepad", "Ads" + Suffix, 8});
         win.add({12, "IEFrame", "Page" + Suffix, 7, false});
       },
       {}},
      {"the IE window's title changes to a listed one", [&] { win.get(10)->title = "Ads" + Suffix; },
       {"close:10"}},
      {"the other window goes, an IE window goes", [&] {
         remove(11);
         remove(12);
       }, {}},
      {"their handles come back, the other way round",
       [&] {
         win.add({11, "IEFrame", "Ads" + Suffix, 7, false});
         win.add({12, "Notepad", "Ads" + Suffix, 8});
       },
       {"close:11"}},
      {"two hidden IE windows under a limit of one", [&] {
         win.add({20, "IEFrame", "Page" + Suffix, 7, false});
         win.add({21, "IEFrame", "Page" + Suffix, 7, false});
       }, {}},
      {"both are shown", [&] { win.get(20)->visible = win.get(21)->visible = true; }, {"close:20"}},
      {"while the blocker is off, a handle passes to another program's window",
       [&] {
         o().cb_popup.setChecked(false);
         f.time.advance(60 * 1000);
         remove(21);
         win.add({21, "Notepad", "Ads" + Suffix, 8});
         o().cb_popup.setChecked(true);
       },
       {}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.change();
    EXPECT_EQ(second(), step.expected);
  }
}

TEST_F(Blocker, TheLimitClosesTheTopmostCountedWindowByItsHandle) {
  const std::string longTitle(200, 'L');
  f.windows.add({1, "IEFrame", "Hidden", 7, false});
  f.windows.add({2, "IEFrame", "Owned", 7});
  f.windows.get(2)->owner = 99;
  f.windows.add({3, "IEFrame", "Tool", 7});
  f.windows.get(3)->exStyle = platform::ExStyleToolWindow;
  f.windows.add({4, "IEFrame", longTitle, 7});
  f.windows.add({5, "IEFrame", "Hung", 7});
  f.windows.get(5)->hung = true;
  for (platform::WindowId id = 6; id <= 9; ++id) f.windows.add({id, "IEFrame", "Page", 7});
  o().cb_popup.setChecked(true);
  o().se_limit.setValue(2);

  // Six visible: the 200-character title is closed by its handle; the hung
  // window is passed over while it does not answer, so the next in line
  // goes; once it answers it is counted and closed like the others.
  EXPECT_EQ(second(), (Requests{"close:4", "close:6"}));
  f.windows.get(5)->hung = false;
  EXPECT_EQ(second(), (Requests{"close:5", "close:7"}));
  EXPECT_EQ(second(), Requests{});
  EXPECT_EQ(counter("Counter Max"), "4");
  EXPECT_EQ(o().Counter_Max.caption(), "4");
  EXPECT_EQ(counter("Counter"), "<missing>") << "the limit raises only its own count";

  for (platform::WindowId id = 20; id < 36; ++id) f.windows.add({id, "IEFrame", "Many", 7});
  o().rb_limit_max.choose();
  EXPECT_EQ(second(), (Requests{"close:8", "close:9"}));
  EXPECT_EQ(second(), (Requests{"close:20"})) << "fifteen stay";
  EXPECT_EQ(second(), Requests{});
}

TEST_F(Blocker, BlockListWindowButtonsAndTheirNotices) {
  const std::string longTitle = std::string(60, 'T');
  f.windows.add({1, "IEFrame", longTitle + Suffix, 7});
  f.windows.add({2, "IEFrame", "Mail" + Suffix, 7});
  b().btn_refreshClick();
  ASSERT_EQ(b().lbURLs.items(), (std::vector<std::string>{longTitle, "Mail"}));
  EXPECT_FALSE(b().Timer1.enabled()) << "the labels of a hidden window wait";
  b().show();
  EXPECT_EQ(b().lb_count_ie.caption(), "Number of opened IE windows:  2") << "up to date as the window comes up";
  EXPECT_TRUE(b().Timer1.enabled());

  b().btn_addClick();
  b().btn_removeClick();
  b().lbURLs.setItemIndex(0);
  b().lbURLs.OnDblClick();
  b().lbURLs.OnDblClick();
  EXPECT_EQ(notices, (std::vector<std::string>{"Please select IE window you wish to block.",
                                               "Select something in Block List!",
                                               "\"" + longTitle.substr(0, 50) + "\"  already exists in Block List!"}));
  EXPECT_EQ(f.files.readFile("C:\\Tarnwick\\tarnwick_block.txt"), longTitle + "\r\n");
  EXPECT_EQ(counter("Counter Block"), "1");
  f.time.advance(300);
  EXPECT_EQ(b().lb_count_block.caption(), "Number of blocked IE windows:  1");

  f.dialogs.answers = {false, true};
  b().btnClearAllClick();
  EXPECT_EQ(b().lbBlock.count(), 1) << "answered No";
  b().btnClearAllClick();
  EXPECT_EQ(b().lbBlock.count(), 0);
  EXPECT_EQ(f.files.readFile("C:\\Tarnwick\\tarnwick_block.txt"), "");

  b().btnHelpClick();
  EXPECT_EQ(f.help.requests, (std::vector<std::string>{"topic:help.chm:BlockList"}));
  b().btn_closeClick();
  EXPECT_FALSE(b().Timer1.enabled());
}
