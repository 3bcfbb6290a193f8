// The automatic erase and the browser guard against the fakes: the timers'
// states, the start-page guard, the typed-URL snapshot's lines, the restore
// and the watcher thread, which runs for real against the fake registry.
#include <gtest/gtest.h>
#include <chrono>
#include <thread>
#include "app/Program.h"
#include "guard/RegWatches.h"
#include "guard/TypedUrls.h"
#include "FakePlatform.h"

using platform::Hive;

namespace {

constexpr const char* Main = "software\\Tarnwick";
constexpr const char* EraseKey = "software\\Tarnwick\\erase";
constexpr const char* RunMru = "software\\microsoft\\windows\\currentversion\\explorer\\runmru";
constexpr const char* IEMain = "software\\microsoft\\internet explorer\\main";
constexpr const char* TypedUrls = "software\\microsoft\\internet explorer\\typedURLs";

struct Guard : ::testing::Test {
  fake::FakePlatform f;
  std::unique_ptr<app::ProgramWindows> w;

  Guard() { f.files.addFolder("C:\\Tarnwick"); }
  void set(const char* key, const char* name, const char* text) { f.registry.setString(Hive::CurrentUser, key, name, text); }
  void start() {
    w = std::make_unique<app::ProgramWindows>(f.platform, f.toolkit);
    w->create();
  }
  app::TfrmMain& m() { return w->frmMain; }
  // Run history is one of the categories: its list is emptied by each erase.
  bool erased() { return f.registry.valueCount(Hive::CurrentUser, RunMru) == 0; }
  void typed(const char* name, const char* url) { set(TypedUrls, name, url); }
};

// Waits, serving the watcher's reports, until `done` or two seconds pass.
template <class Done>
bool serve(fake::FakeGuiThread& gui, Done done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    if (!gui.pump()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

}  // namespace

TEST_F(Guard, AutoEraseFollowsTheTimerStatesAndTheBrowser) {
  set(Main, "Erase", "1");
  set(EraseKey, "Run History", "1");
  set(RunMru, "a", "cmd");
  start();
  EXPECT_TRUE(m().Timer1.enabled());
  EXPECT_FALSE(m().Timer2.enabled()) << "the start state";

  // A browser whose only window is hidden still counts.
  f.processes.processes.push_back({40, "C:\\Program Files\\Internet Explorer\\iexplore.exe"});
  f.windows.add({4001, "IEFrame", "Start", 40, false});
  f.time.advance(2000);
  EXPECT_TRUE(m().Timer2.enabled());
  EXPECT_FALSE(erased());
  f.windows.windows.clear();
  f.time.advance(1000);
  EXPECT_TRUE(erased());

  // "yes" is not "1": the next tick of Timer1 stops the erasing.
  set(Main, "Erase", "yes");
  f.time.advance(1000);
  EXPECT_FALSE(m().Timer2.enabled());
  EXPECT_TRUE(m().Timer1.enabled());

  // Ticked in the options window and applied, then unticked: both stop at once.
  w->frmOptions.cb_cache.setChecked(true);
  w->frmOptions.cb_erase.setChecked(true);
  w->frmOptions.btnApplyClick();
  f.time.advance(1000);
  EXPECT_TRUE(m().Timer2.enabled());
  w->frmOptions.cb_erase.setChecked(false);
  w->frmOptions.btnApplyClick();
  EXPECT_FALSE(m().Timer1.enabled() || m().Timer2.enabled());
}

TEST_F(Guard, StartPageIsPutBackExactlyAndTheBrowserKeyNeverMade) {
  set(Main, "Start Page", "1");
  start();  // the guarded page is the browser's at start: none yet
  m().StartPageTimer.setEnabled(true);
  set(Main, "Edit start", "about:blank");
  f.time.advance(3000);
  EXPECT_FALSE(f.registry.exists(Hive::CurrentUser, IEMain)) << "the browser's key is never made";

  set(IEMain, "Start Page", "About:Blank");
  f.time.advance(1000);
  EXPECT_EQ(f.registry.text(Hive::CurrentUser, IEMain, "Start Page"), "about:blank") << "letter case counts";
  set(Main, "Start Page", "0");
  set(IEMain, "Start Page", "http://elsewhere.test/");
  f.time.advance(2000);
  EXPECT_EQ(f.registry.text(Hive::CurrentUser, IEMain, "Start Page"), "http://elsewhere.test/");
}

TEST(TypedUrlSnapshot, LinesEscapesAndWhatCannotStandOnOneLine) {
  const std::string header = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\software\\microsoft\\internet explorer\\typedURLs]";
  EXPECT_EQ(guard::SnapshotText({}), header + "\r\n");
  std::size_t leftOut = 9;
  EXPECT_EQ(guard::SnapshotText({{"url1", "C:\\temp\\a.htm"},
                                 {"url2", "http://x.test/?q=\"a\""},
                                 {"url3", "http://x.test/\r\n[HKEY_CURRENT_USER\\Software\\Evil]"},
                                 {std::string("url\0x", 5), "http://y.test/"},
                                 {"url5", std::string("http://z.test/\0tail", 19)},
                                 {"url6", "http://w.test/\n"}},
                                &leftOut),
            header + "\r\n\"url1\"=\"C:\\\\temp\\\\a.htm\"\r\n\"url2\"=\"http://x.test/?q=\\\"a\\\"\"\r\n");
  EXPECT_EQ(leftOut, 4u);
}

TEST_F(Guard, SnapshotAndRestoreLeaveTheImportsOwnChangesAlone) {
  start();
  f.registry.deleteTree(Hive::CurrentUser, TypedUrls);
  m().TypedUrls.TakeSnapshot();
  EXPECT_EQ(f.dialogs.shown.back().text, "Error number #1322");
  EXPECT_FALSE(f.files.readFile("C:\\Tarnwick\\TypedURLs.reg"));

  typed("url1", "http://a.test/");
  m().TypedUrls.TakeSnapshot();
  const std::string snapshot = *f.files.readFile("C:\\Tarnwick\\TypedURLs.reg");
  typed("url2", "http://typed.test/");
  m().TypedUrls.Restore();
  EXPECT_TRUE(f.shell.started.empty()) << "\"Last Typed\" is not on";

  set(Main, "Last Typed", "1");
  f.shell.programsRun = true;
  m().TypedUrls.Restore();
  EXPECT_FALSE(f.registry.exists(Hive::CurrentUser, TypedUrls));
  ASSERT_EQ(f.shell.started, (std::vector<std::string>{"open regedit.exe /s \"C:\\Tarnwick\\TypedURLs.reg\""}));
  // While the import runs, its own changes are reported: nothing more happens.
  typed("url1", "http://a.test/");
  m().TypedUrls.Restore();
  EXPECT_EQ(f.shell.started.size(), 1u);
  // Imported, the list is the snapshot again: a late report changes nothing.
  f.shell.programsRun = false;
  m().TypedUrls.Restore();
  EXPECT_EQ(f.shell.started.size(), 1u);
  EXPECT_EQ(snapshot, *f.files.readFile("C:\\Tarnwick\\TypedURLs.reg"));

  // An address the code page cannot hold (Greek) is left out of a snapshot,
  // never written with "?"; the list then differs from it, so it is restored.
  ASSERT_TRUE(f.registry.open(Hive::CurrentUser, TypedUrls)->setPath("url2", "http://\xCE\xB5\xCE\xBB.test/"));
  m().TypedUrls.TakeSnapshot();
  EXPECT_EQ(*f.files.readFile("C:\\Tarnwick\\TypedURLs.reg"), snapshot);
  m().TypedUrls.Restore();
  EXPECT_EQ(f.shell.started.size(), 2u);
}

// The snapshot gone (moved, deleted) or unreadable: a report changes
// nothing, the list the guard keeps is not deleted without it. What a killed
// save of it left is gone at start.
TEST_F(Guard, WithoutAReadableSnapshotTheListStays) {
  f.files.addFile("C:\\Tarnwick\\TypedURLs.reg.tmp", "REGEDIT4\r\n\"url1\"=\"ht");
  start();
  EXPECT_FALSE(f.files.exists("C:\\Tarnwick\\TypedURLs.reg.tmp"));
  set(Main, "Last Typed", "1");
  typed("url1", "http://a.test/");
  f.shell.programsRun = true;
  m().TypedUrls.Restore();
  f.files.addFile("C:\\Tarnwick\\TypedURLs.reg", "REGEDIT4").locked = true;
  m().TypedUrls.Restore();
  EXPECT_TRUE(f.shell.started.empty());
  EXPECT_EQ(f.registry.text(Hive::CurrentUser, TypedUrls, "url1"), "http://a.test/");
}

TEST(RegWatches, FollowsTheKeyThroughDeletionAndEndsWithoutAReport) {
  fake::FakeRegistry registry;
  fake::FakeGuiThread gui;
  registry.key(Hive::CurrentUser, "software\\microsoft\\internet explorer");
  registry.setString(Hive::CurrentUser, TypedUrls, "url1", "http://a.test/");
  int reports = 0;
  guard::TRegWatches watcher(registry, gui, Hive::CurrentUser, TypedUrls, [&] { ++reports; });
  watcher.Start();
  auto reportsReach = [&](int n) { return serve(gui, [&] { return reports >= n; }); };
  auto armed = [&] { return serve(gui, [&] { return registry.armedWatches() > 0; }); };

  ASSERT_TRUE(armed());
  registry.setString(Hive::CurrentUser, TypedUrls, "url2", "http://b.test/");
  ASSERT_TRUE(reportsReach(1)) << "a value set";
  ASSERT_TRUE(armed());
  registry.setString(Hive::CurrentUser, std::string(TypedUrls) + "\\sub", "x", "y");
  ASSERT_TRUE(reportsReach(2)) << "a sub-key made";
  ASSERT_TRUE(armed());
  registry.deleteTree(Hive::CurrentUser, TypedUrls);
  ASSERT_TRUE(reportsReach(3)) << "the key deleted";
  ASSERT_TRUE(armed()) << "the key above it watched";
  // Made again: its return and every later change are reported.
  registry.setString(Hive::CurrentUser, TypedUrls, "url1", "http://c.test/");
  ASSERT_TRUE(reportsReach(4)) << "the key back";
  ASSERT_TRUE(armed());
  registry.setString(Hive::CurrentUser, TypedUrls, "url2", "http://d.test/");
  ASSERT_TRUE(reportsReach(5)) << "a change of the new key";

  // A change whose report is on its way when the program ends is not run.
  ASSERT_TRUE(armed());
  registry.setString(Hive::CurrentUser, TypedUrls, "url3", "http://e.test/");
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const int before = reports;
  watcher.Terminate();
  EXPECT_EQ(reports, before);
  EXPECT_FALSE(watcher.running());
  EXPECT_EQ(registry.liveWatches(), 0u);
}
