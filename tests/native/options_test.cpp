// The options window against the fakes: the load and its click cascade,
// Apply with its refusals, Default, the hot keys it holds, and the password
// lock with the log-in window.
#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include "app/Program.h"
#include "settings/Schema.h"
#include "FakePlatform.h"
#include "popup/uOpozorilo.h"
#include "settings/uLogin.h"

using platform::Hive;

namespace {

constexpr const char* Main = "software\\Tarnwick";
constexpr const char* EraseKey = "software\\Tarnwick\\erase";
constexpr const char* CounterKey = "software\\Tarnwick\\counter";
constexpr const char* IEMain = "software\\microsoft\\internet explorer\\main";
constexpr const char* AutoComplete = "software\\microsoft\\windows\\currentversion\\explorer\\autocomplete";
constexpr const char* RunKey = "software\\microsoft\\windows\\currentversion\\run";
constexpr unsigned VkA = 'A', VkP = 'P';
constexpr unsigned ModCtrlShift = platform::ModControl | platform::ModShift;

struct Options : ::testing::Test {
  fake::FakePlatform f;
  std::unique_ptr<app::ProgramWindows> w;
  std::vector<std::string> notices;

  Options() {
    f.files.addFolder("C:\\Tarnwick");
    // Notices are read and closed by the scripted user.
    f.toolkit.onModal = [this](ui::Form& form) {
      if (auto* n = dynamic_cast<popup::TfrmOpozorilo*>(&form)) notices.push_back(n->lb_vsebina.caption());
    };
  }
  void set(const char* key, const char* name, const char* text) { f.registry.setString(Hive::CurrentUser, key, name, text); }
  std::string get(const char* key, const char* name, Hive hive = Hive::CurrentUser) {
    return f.registry.text(hive, key, name).value_or("<missing>");
  }
  std::vector<std::string> errors() {
    std::vector<std::string> out;
    for (auto& shown : f.dialogs.shown)
      if (shown.kind == "error") out.push_back(shown.text);
    return out;
  }
  std::map<std::string, std::string> dump(Hive hive, const char* key) {
    std::map<std::string, std::string> out;
    if (!f.registry.exists(hive, key)) return out;
    for (auto& [lower, v] : f.registry.key(hive, key).values) out[v.name] = v.data;
    return out;
  }
  void start() {
    w = std::make_unique<app::ProgramWindows>(f.platform, f.toolkit);
    w->create();
  }
  settings::TfrmOptions& o() { return w->frmOptions; }
  ui::PopupMenu& menu() { return w->frmMain.PopupMenu1; }
  std::vector<std::string> visibleMenu() {
    std::vector<std::string> out;
    for (auto& item : menu().items())
      if (item->visible && !item->isSeparator()) out.push_back(item->name());
    return out;
  }
};

}  // namespace

TEST_F(Options, NothingStoredGivesTheInitialStatesAndRegistersNoKey) {
  start();
  for (ui::CheckBox* c : {&o().cb_cache, &o().cb_find, &o().cb_popup, &o().cb_counter, &o().cb_sound, &o().cb_run,
                          &o().cb_startpage, &o().cb_closedpopup, &o().cb_mouse})
    EXPECT_FALSE(c->checked()) << c->name();
  EXPECT_TRUE(o().rb_limit_set.checked());
  EXPECT_EQ(o().se_limit.value(), 5);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&o().cb_counter, &o().btn_counter, &o().se_limit,
                                                             &o().rb_limit_max, &o().ed_sound, &o().btn_play,
                                                             &o().edit_startpage})
    EXPECT_FALSE(c->enabled()) << c->name();
  EXPECT_EQ(o().edit_startpage.text(), "about:blank");
  // A missing shortcut is no key, and no key is ever registered for it.
  EXPECT_EQ(o().ed_hotkey.hotKey(), 0);
  EXPECT_EQ(o().HotKeyIndex, 0);
  EXPECT_EQ(o().PanicHotKeyIndex, 0);
  EXPECT_TRUE(f.hotKeys.registrations().empty());
  EXPECT_FALSE(w->frmBlockList.Close_popup.enabled());
  EXPECT_FALSE(w->frmMain.StartPageTimer.enabled());
  EXPECT_FALSE(menu().find("PopupsClosed1")->visible);
  EXPECT_EQ(o().counter_popup.caption(), "0");
}

TEST_F(Options, StoredSettingsLoadAndSwitchWhatTheyStandFor) {
  for (const char* e : {"IE Cache", "Cookies", "Find History"}) set(EraseKey, e, "1");
  set(EraseKey, "Temp Folder", "yes");  // only "1" is on
  for (const char* v : {"Popup Blocker", "Popup Counter", "Closed Popups", "Left Mouse", "Popup Sound", "Run",
                        "Erase", "Auto Forms", "Last Typed"})
    set(Main, v, "1");
  set(Main, "Popup Limit", "1");
  set(Main, "Limit Edit", "99");
  set(Main, "Sound Path", "C:\\ding.wav");
  set(Main, "Start Page", "1");
  set(IEMain, "Start Page", "http://home.example/");
  set(Main, "Edit start", "http://old.example/");
  set(Main, "Hot Key", "ctrl+shift+a");
  set(Main, "Panic Hot Key", "Alt+Ctrl+F12");
  set(Main, "Password", "Secret");
  set(CounterKey, "Counter", "1234567");
  set(CounterKey, "Counter Max", "x");
  start();

  EXPECT_TRUE(o().cb_cache.checked() && o().cb_cookies.checked() && o().cb_find.checked());
  EXPECT_FALSE(o().cb_temp.checked());
  EXPECT_TRUE(o().rb_limit_max.checked());
  EXPECT_FALSE(o().rb_limit_set.checked());
  EXPECT_FALSE(o().se_limit.enabled()) << "the maximum choice leaves the spin edit off";
  EXPECT_TRUE(o().cb_counter.enabled() && o().btn_counter.enabled());
  EXPECT_TRUE(w->frmBlockList.Close_popup.enabled() && w->frmBlockList.MaxWindows.enabled());
  EXPECT_EQ(o().ed_sound.text(), "C:\\ding.wav");
  EXPECT_TRUE(o().btn_play.enabled() && o().btn_open.enabled());
  EXPECT_TRUE(w->frmMain.Tray.LeftPopup);
  // The guarded page is the browser's at start, stored at once.
  EXPECT_EQ(o().edit_startpage.text(), "http://home.example/");
  EXPECT_EQ(get(Main, "Edit start"), "http://home.example/");
  EXPECT_TRUE(w->frmMain.StartPageTimer.enabled());
  EXPECT_EQ(o().edpas.text(), "Secret");
  EXPECT_EQ(o().ed_hotkey.hotKey(), 0x6041);
  EXPECT_EQ(o().ed_panic.hotKey(), 0xC000 | 123);
  EXPECT_NE(o().HotKeyIndex, 0);
  EXPECT_NE(o().PanicHotKeyIndex, 0);
  // The tray item shows the stored text as it stands until the first refresh.
  EXPECT_TRUE(menu().find("PopupsClosed1")->visible);
  EXPECT_EQ(menu().find("PopupsClosed1")->caption(), "Closed Popups: 1234567");
  EXPECT_EQ(o().counter_popup.caption(), "1,234,567");
  EXPECT_EQ(o().Counter_Max.caption(), "0");

  // A manual limit loads its number, clamped.
  set(Main, "Popup Limit", "0");
  w.reset();
  EXPECT_FALSE(f.hotKeys.press(ModCtrlShift, VkA)) << "the keys go with the window";
  start();
  EXPECT_TRUE(o().rb_limit_set.checked());
  EXPECT_EQ(o().se_limit.value(), 15);
  EXPECT_TRUE(o().se_limit.enabled());
}

// A value that cannot be read is one box with its name, read as missing,
// and every setting after it still loads: the last in the load, the
// password, and the hot keys before it.
TEST(OptionsLoad, AnUnreadableValueIsOneBoxAndTheRestStillLoads) {
  const struct {
    const char* key;
    const char* name;
    std::uint32_t type;
  } unreadable[] = {
      {EraseKey, "Find History", platform::RegDword},   {Main, "Popup Limit", platform::RegBinary},
      {Main, "Popup Blocker", platform::RegMultiSz},    {Main, "Hot Key", platform::RegDword},
      {IEMain, "Start Page", platform::RegBinary},
  };
  const std::tuple<const char*, const char*, const char*> stored[] = {
      {Main, "Popup Blocker", "1"},    {Main, "Start Page", "1"},     {Main, "Closed Popups", "1"},
      {Main, "Popup Limit", "0"},      {Main, "Limit Edit", "9"},     {Main, "Hot Key", "Shift+Ctrl+A"},
      {Main, "Panic Hot Key", "Shift+Ctrl+P"}, {Main, "Password", "secret"}, {EraseKey, "Find History", "1"},
      {IEMain, "Start Page", "http://home.example/"}};
  for (const auto& u : unreadable) {
    SCOPED_TRACE(u.name);
    fake::FakePlatform f;
    f.files.addFolder("C:\\Tarnwick");
    for (auto [key, name, text] : stored) f.registry.setString(Hive::CurrentUser, key, name, text);
    f.registry.setRaw(Hive::CurrentUser, u.key, u.name, u.type, std::string("\x01\0\0\0", 4));
    app::ProgramWindows w(f.platform, f.toolkit);
    w.create();
    settings::TfrmOptions& o = w.frmOptions;
    std::vector<std::string> errors;
    for (auto& shown : f.dialogs.shown)
      if (shown.kind == "error") errors.push_back(shown.text);
    EXPECT_EQ(errors, std::vector<std::string>{"Invalid data type for '" + std::string(u.name) + "'"});
    const std::string name = u.name;
    EXPECT_EQ(o.cb_find.checked(), name != "Find History");
    EXPECT_EQ(o.se_limit.value(), name == "Popup Limit" ? 5 : 9);
    EXPECT_EQ(o.cb_popup.checked(), name != "Popup Blocker");
    EXPECT_EQ(o.edit_startpage.text(), name == "Start Page" ? "" : "http://home.example/");
    EXPECT_EQ(o.HotKeyIndex != 0, name != "Hot Key") << "an unreadable key is no key";
    EXPECT_NE(o.PanicHotKeyIndex, 0);
    EXPECT_EQ(o.edpas.text(), "secret");
    EXPECT_TRUE(o.cb_closedpopup.checked());
  }
}

TEST_F(Options, ApplyStoresEveryStepAndRefusesTheTwoContradictions) {
  start();
  const auto mainBefore = dump(Hive::CurrentUser, Main);

  // Auto-erase with only the temp folder selected: refused, nothing stored.
  o().cb_erase.setChecked(true);
  o().cb_temp.setChecked(true);
  o().btnApplyClick();
  // Whole address bar and last typed URL together: refused as well, after
  // the hot keys have been registered anew.
  o().cb_address.setChecked(true);
  o().cb_last.setChecked(true);
  o().ed_panic.setHotKey(0x4000 | 'M');
  o().btnApplyClick();
  EXPECT_TRUE(f.hotKeys.press(platform::ModControl, 'M'));
  EXPECT_EQ(notices, (std::vector<std::string>{
                         "You have to select one of the options in Erase tab in order to use this option!",
                         "Please choose only one option, either to clear whole IE Address Bar or to clear only last "
                         "typed urls!"}));
  EXPECT_EQ(dump(Hive::CurrentUser, Main), mainBefore);
  EXPECT_FALSE(f.registry.exists(Hive::CurrentUser, EraseKey));

  o().cb_last.setChecked(false);
  o().cb_popup.setChecked(true);
  o().rb_limit_max.setChecked(true);
  o().cb_sound.setChecked(true);
  o().ed_sound.setText("C:\\a.wav");
  o().cb_run.setChecked(true);
  o().cb_web.setChecked(true);
  o().ed_hotkey.setHotKey(0x6041);
  o().ed_panic.setHotKey('K');  // the field adds Ctrl
  o().edpas.setText("pw");
  o().btnApplyClick();

  const std::map<std::string, std::string> expectedMain = {
      {"Popup Blocker", "1"}, {"Popup Counter", "0"}, {"Closed Popups", "0"}, {"Hot Key Pressed", "0"},
      {"Left Mouse", "0"},    {"Popup Limit", "1"},   {"Limit Edit", "15"},   {"Popup Sound", "1"},
      {"Sound Path", "C:\\a.wav"}, {"Last Typed", "0"}, {"Hot Key", "Shift+Ctrl+A"}, {"Panic Hot Key", "Ctrl+K"},
      {"Password", "pw"},     {"Run", "1"},           {"Erase", "1"},         {"Start Page", "0"},
      {"Edit start", ""},     {"Auto Web", "1"},      {"Auto Forms", "0"},    {"Disable user name and pass", "0"},
      {"Version", "3.4.1"},   {"Pass Temp", ""}};
  auto mainAfter = dump(Hive::CurrentUser, Main);
  std::map<std::string, std::string> texts;
  for (auto& [k, v] : mainAfter) texts[k] = v.substr(0, v.size() - 1);
  EXPECT_EQ(texts, expectedMain);
  EXPECT_EQ(get(EraseKey, "Temp Folder"), "1");
  EXPECT_EQ(get(EraseKey, "IE Address Bar"), "1");
  EXPECT_EQ(get(EraseKey, "Run History"), "0");
  EXPECT_EQ(get(AutoComplete, "AutoSuggest"), "no");
  EXPECT_EQ(get(IEMain, "Use FormSuggest"), "yes");
  EXPECT_EQ(get(RunKey, "Tarnwick"), "C:\\Tarnwick\\tarnwick.exe");
  EXPECT_TRUE(w->frmMain.Timer1.enabled());
  EXPECT_EQ(visibleMenu(), (std::vector<std::string>{"Login1"})) << "a password locks the menu at once";
  // The keys follow the fields at once.
  EXPECT_TRUE(f.hotKeys.press(platform::ModControl, 'K'));
  EXPECT_FALSE(f.hotKeys.press(platform::ModControl, VkP));

  // Clearing start-with-Windows and the sound: the entry goes, the path stays.
  o().cb_run.setChecked(false);
  o().cb_sound.setChecked(false);
  o().cb_erase.setChecked(false);
  o().edpas.setText("");
  o().btnApplyClick();
  EXPECT_EQ(get(RunKey, "Tarnwick"), "<missing>");
  EXPECT_EQ(get(Main, "Sound Path"), "C:\\a.wav");
  EXPECT_FALSE(w->frmMain.Timer1.enabled() || w->frmMain.Timer2.enabled());
  const auto shown = visibleMenu();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "Login1") + std::count(shown.begin(), shown.end(), "Logout1"), 0)
      << "no password: neither log-in item";
}

TEST_F(Options, DefaultAsksThenStoresTheDefaultsAndMovesTheKeysItRegistered) {
  set(Main, "Hot Key", "Ctrl+Q");
  set(IEMain, "Start Page", "http://ie.example/");
  start();
  o().ed_hotkey.setHotKey(0x4000 | 'W');  // changed, never applied
  o().btnRestoreClick();                  // answered No
  EXPECT_FALSE(f.registry.exists(Hive::CurrentUser, EraseKey));

  f.dialogs.answers.push_back(true);
  o().btnRestoreClick();
  EXPECT_EQ(f.dialogs.shown.back().text, "Are you sure you want to restore default settings?");
  for (const char* e : {"IE Cache", "Cookies", "IE History", "IE Address Bar", "Recent Documents", "Temp Folder",
                        "Recycle Bin"})
    EXPECT_EQ(get(EraseKey, e), "1") << e;
  // The Find history box agrees with what is stored.
  EXPECT_EQ(get(EraseKey, "Find History"), "0");
  EXPECT_FALSE(o().cb_find.checked());
  EXPECT_EQ(get(Main, "Hot Key"), "Shift+Ctrl+A");
  EXPECT_EQ(get(Main, "Panic Hot Key"), "Shift+Ctrl+P");
  EXPECT_EQ(get(Main, "Edit start"), "http://ie.example/");
  EXPECT_EQ(get(AutoComplete, "AutoSuggest"), "yes");
  EXPECT_EQ(get(RunKey, "Tarnwick"), "C:\\Tarnwick\\tarnwick.exe");
  EXPECT_TRUE(o().cb_popup.checked() && w->frmBlockList.Close_popup.enabled());
  EXPECT_TRUE(menu().find("PopupsClosed1")->visible);
  // The registered Ctrl+Q is gone although the field showed Ctrl+W.
  EXPECT_FALSE(f.hotKeys.press(platform::ModControl, 'Q'));
  EXPECT_TRUE(f.hotKeys.press(ModCtrlShift, VkA));
  EXPECT_TRUE(f.hotKeys.press(ModCtrlShift, VkP));
}

// Without administrator rights nothing under the local machine can be
// changed; an older install's entry there stays, and nobody is told.
TEST_F(Options, StartWithWindowsIsTheUsersEntryWhateverTheMachinesKeyAllows) {
  const std::string older = "C:\\Program Files\\Tarnwick\\tarnwick.exe";
  f.registry.setString(Hive::LocalMachine, RunKey, "Tarnwick", older);
  f.registry.readOnlyHives = {Hive::LocalMachine};
  start();
  auto apply = [&](bool run) {
    o().cb_run.setChecked(run);
    f.toolkit.dispatch([&] { o().btnApplyClick(); });
  };
  apply(true);
  EXPECT_EQ(get(RunKey, "Tarnwick"), "C:\\Tarnwick\\tarnwick.exe");
  EXPECT_EQ(get(Main, "Run"), "1");
  apply(false);
  EXPECT_EQ(get(RunKey, "Tarnwick"), "<missing>");
  EXPECT_EQ(get(Main, "Run"), "0");
  f.dialogs.answers.push_back(true);
  f.toolkit.dispatch([&] { o().btnRestoreClick(); });
  EXPECT_EQ(get(RunKey, "Tarnwick"), "C:\\Tarnwick\\tarnwick.exe");
  EXPECT_EQ(get(RunKey, "Tarnwick", Hive::LocalMachine), older);
  EXPECT_EQ(errors(), std::vector<std::string>{});
  EXPECT_TRUE(notices.empty());

  // Where the machine's key may be changed, its old entry goes, either way.
  f.registry.readOnlyHives.clear();
  apply(true);
  EXPECT_EQ(get(RunKey, "Tarnwick", Hive::LocalMachine), "<missing>");
  f.registry.setString(Hive::LocalMachine, RunKey, "Tarnwick", older);
  apply(false);
  EXPECT_EQ(get(RunKey, "Tarnwick", Hive::LocalMachine), "<missing>");
}

// A copy put where the user may not write keeps working from memory; the
// first file refused is reported, and only that one.
TEST_F(Options, AFolderThatCannotBeWrittenIsReportedOnceAndApplyGoesOn) {
  set(Main, "Hot Key", "Shift+Ctrl+A");
  f.files.node("C:\\Tarnwick")->writeProtected = true;
  f.registry.setString(Hive::CurrentUser, "software\\microsoft\\internet explorer\\typedURLs", "url1", "http://a/");
  start();
  f.windows.add({11, "IEFrame", "Deals - Microsoft Internet Explorer", 7});
  f.windows.add({12, "IEFrame", "News - Microsoft Internet Explorer", 7});
  f.windows.foregroundWindow = 11;
  ASSERT_TRUE(f.hotKeys.press(ModCtrlShift, VkA));
  f.windows.foregroundWindow = 12;
  f.hotKeys.press(ModCtrlShift, VkA);
  EXPECT_EQ(w->frmBlockList.lbBlock.items(), (std::vector<std::string>{"Deals", "News"}));

  o().cb_last.setChecked(true);
  o().cb_run.setChecked(true);
  f.toolkit.dispatch([&] { o().btnApplyClick(); });
  EXPECT_EQ(get(Main, "Last Typed"), "1");
  EXPECT_EQ(get(RunKey, "Tarnwick"), "C:\\Tarnwick\\tarnwick.exe");
  EXPECT_EQ(errors(), std::vector<std::string>{"Cannot create file C:\\Tarnwick\\tarnwick_block.txt"});
  EXPECT_TRUE(f.files.below("C:\\Tarnwick").empty()) << "no temporary file is left";
}

TEST_F(Options, HotKeysAddTheActiveBrowserWindowAndCloseEveryOne) {
  set(Main, "Hot Key", "Shift+Ctrl+A");
  set(Main, "Panic Hot Key", "Shift+Ctrl+P");
  start();
  f.windows.add({11, "IEFrame", "Deals - Microsoft Internet Explorer", 7});
  f.windows.add({12, "IEFrame", "News - Microsoft Internet Explorer", 7});
  f.windows.add({13, "IEFrame", "Mail - Microsoft Internet Explorer", 7, false});
  f.windows.foregroundWindow = 11;

  ASSERT_TRUE(f.hotKeys.press(ModCtrlShift, VkA));
  EXPECT_EQ(w->frmBlockList.lbBlock.items(), (std::vector<std::string>{"Deals"}));
  EXPECT_EQ(f.files.readFile("C:\\Tarnwick\\tarnwick_block.txt"), "Deals\r\n");
  EXPECT_EQ(get(CounterKey, "Counter PopHot"), "1");
  EXPECT_EQ(get(CounterKey, "Counter Block"), "1");
  EXPECT_EQ(o().counter_pophot.caption(), "1");
  // Listed already: nothing moves.
  f.hotKeys.press(ModCtrlShift, VkA);
  EXPECT_EQ(get(CounterKey, "Counter PopHot"), "1");
  EXPECT_EQ(w->frmBlockList.lbBlock.count(), 1);
}

TEST_F(Options, BossPanicAsksEveryBrowserWindowOnceByItsHandle) {
  set(Main, "Panic Hot Key", "Shift+Ctrl+P");
  start();
  const struct {
    const char* what;
    std::vector<fake::FakeWindow> windows;
    std::vector<std::string> requests;
    const char* counter;
    platform::WindowId silent = 0;  // does not answer
  } cases[] = {
      {"two of one title and a hidden one",
       {{11, "IEFrame", "Deals - Microsoft Internet Explorer", 7},
        {12, "IEFrame", "Deals - Microsoft Internet Explorer", 7},
        {13, "IEFrame", "Mail - Microsoft Internet Explorer", 7, false}},
       {"close:11", "close:12", "close:13"},
       "3"},
      {"a silent one is asked, a window of another class with a browser's title is not",
       {{21, "Notepad", "Deals - Microsoft Internet Explorer", 8}, {22, "IEFrame", "", 7}, {23, "ieframe", "x", 7}},
       {"close:22", "close:23"},
       "5",
       22},
      {"none", {{31, "Notepad", "Notes", 8}}, {}, "5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    f.windows.windows = c.windows;
    if (c.silent) f.windows.get(c.silent)->hung = true;
    f.windows.requests.clear();
    ASSERT_TRUE(f.hotKeys.press(ModCtrlShift, VkP));
    EXPECT_EQ(f.windows.requests, c.requests);
    EXPECT_EQ(get(CounterKey, "Counter Panic"), c.counter);
    EXPECT_EQ(o().counter_panic.caption(), c.counter);
  }
}

TEST_F(Options, LockStatesAtStartLogInAndLogOut) {
  set(Main, "Password", "Secret");
  start();
  EXPECT_EQ(visibleMenu(), (std::vector<std::string>{"Login1"}));
  EXPECT_TRUE(w->frmMain.help.visible()) << "only the menu is locked at start";

  auto logIn = [&](const std::string& typed) {
    std::string status;
    std::uint64_t waited = 0;
    f.toolkit.onModal = [&](ui::Form& form) {
      auto& login = dynamic_cast<settings::TfrmLogin&>(form);
      EXPECT_FALSE(menu().autoPopup) << "no tray menu while logging in";
      login.edPass.setText(typed);
      const std::uint64_t before = f.time.nowMs();
      login.btnLogClick();
      waited = f.time.nowMs() - before;
      status = login.lbStatus.caption();
    };
    menu().choose(*menu().find("Login1"));
    EXPECT_TRUE(menu().autoPopup);
    return std::make_pair(status, waited);
  };
  EXPECT_EQ(logIn("secret"), std::make_pair(std::string("Loged out..."), std::uint64_t{1000}))
      << "letter case counts; a refusal holds for a second";
  EXPECT_EQ(visibleMenu(), (std::vector<std::string>{"Login1"}));

  const std::vector<std::string> loggedIn = {"Eraseall1", "Erase1", "ShowBlockList1", "Configurate1", "Show1",
                                             "CheckLatestVersion1", "Help1", "About1", "Exit2", "Logout1"};
  logIn("Secret");
  EXPECT_EQ(visibleMenu(), loggedIn);
  EXPECT_EQ(get(Main, "Pass Temp"), "Secret");

  menu().choose(*menu().find("Logout1"));
  EXPECT_EQ(visibleMenu(), (std::vector<std::string>{"Login1"}));
  EXPECT_FALSE(w->frmMain.help.visible());
  EXPECT_EQ(get(Main, "Pass Temp"), "");
  logIn("Secret");
  EXPECT_EQ(visibleMenu(), loggedIn);
  EXPECT_TRUE(w->frmMain.help.visible()) << "a log-in brings the Help pane back";

  // An Apply while logged in locks again.
  f.toolkit.onModal = nullptr;
  o().btnApplyClick();
  EXPECT_EQ(visibleMenu(), (std::vector<std::string>{"Login1"}));
}

// A process killed at any write of Apply leaves no stored combination that
// Apply itself refuses: auto-erase on without one of the four categories it
// needs, or the whole address bar together with the last typed address.
TEST(OptionsApply, CutOffAtAnyWriteLeavesNoCombinationItRefuses) {
  struct State {
    bool erase, last, address, cache, history;
  };
  const struct {
    State before, after;
  } changes[] = {
      {{true, false, false, true, false}, {true, false, false, false, true}},   // cache swapped for history
      {{true, false, true, false, false}, {false, true, false, false, false}},  // address bar for last typed
      {{false, true, false, false, true}, {true, false, true, false, false}},   // and back, auto-erase on
  };
  for (const auto& change : changes) {
    for (int cut = 0;; ++cut) {
      SCOPED_TRACE(cut);
      fake::FakePlatform f;
      f.files.addFolder("C:\\Tarnwick");
      auto flag = [](bool on) { return on ? "1" : "0"; };
      auto store = [&](const char* key, const char* name, bool on) {
        f.registry.setString(Hive::CurrentUser, key, name, flag(on));
      };
      store(Main, settings::values::Erase, change.before.erase);
      store(Main, settings::values::LastTyped, change.before.last);
      store(EraseKey, settings::erase::IEAddressBar, change.before.address);
      store(EraseKey, settings::erase::IECache, change.before.cache);
      store(EraseKey, settings::erase::IEHistory, change.before.history);
      app::ProgramWindows w(f.platform, f.toolkit);
      w.create();
      settings::TfrmOptions& o = w.frmOptions;
      o.cb_erase.setChecked(change.after.erase);
      o.cb_last.setChecked(change.after.last);
      o.cb_address.setChecked(change.after.address);
      o.cb_cache.setChecked(change.after.cache);
      o.cb_history.setChecked(change.after.history);
      f.registry.writesLeft = cut;
      f.toolkit.dispatch([&] { o.btnApplyClick(); });
      auto on = [&](const char* key, const char* name) { return f.registry.text(Hive::CurrentUser, key, name) == "1"; };
      const bool erase = on(Main, settings::values::Erase), last = on(Main, settings::values::LastTyped);
      const bool address = on(EraseKey, settings::erase::IEAddressBar);
      const bool needed = address || on(EraseKey, settings::erase::IECache) ||
                          on(EraseKey, settings::erase::IEHistory) || on(EraseKey, settings::erase::Cookies);
      EXPECT_TRUE(!erase || needed) << "auto-erase on without a category it needs";
      EXPECT_FALSE(address && last) << "the address bar and the last typed address together";
      if (f.registry.writesLeft > 0) {  // Apply ran to its end: the new state is stored
        EXPECT_EQ(erase, change.after.erase);
        EXPECT_EQ(last, change.after.last);
        break;
      }
    }
  }
}
