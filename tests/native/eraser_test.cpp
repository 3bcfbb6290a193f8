#include <gtest/gtest.h>
#include <functional>
#include <algorithm>
#include "app/uMain.h"
#include "eraser/EraseEngine.h"
#include "FakePlatform.h"
#include "settings/Schema.h"

using platform::Hive;

namespace {

constexpr const char* EraseKey = "software\\Tarnwick\\erase";
constexpr const char* ShellFolderKey = "software\\microsoft\\windows\\currentversion\\explorer\\shell folders";
constexpr const char* Temp = "C:\\users\\user\\Temp\\";

// One log across services, so the order of the categories shows.
using Log = std::vector<std::string>;

class LoggingRegistry : public platform::Registry {
 public:
  LoggingRegistry(platform::Registry& inner, Log& log) : inner_(inner), log_(log) {}
  std::unique_ptr<platform::RegistryKey> open(Hive h, const std::string& p) override { return inner_.open(h, p); }
  std::unique_ptr<platform::RegistryKey> create(Hive h, const std::string& p) override { return inner_.create(h, p); }
  bool deleteTree(Hive h, const std::string& p) override {
    log_.push_back("reset:" + p.substr(p.find_last_of('\\') + 1));
    return inner_.deleteTree(h, p);
  }
  std::unique_ptr<platform::KeyWatch> watch(Hive h, const std::string& p) override { return inner_.watch(h, p); }

 private:
  platform::Registry& inner_;
  Log& log_;
};

class LoggingShell : public fake::FakeShell {
 public:
  explicit LoggingShell(Log& log) : log_(log) {}
  void deleteFiles(const std::string& path) override {
    log_.push_back("shell:" + path);
    FakeShell::deleteFiles(path);
  }
  platform::RecycleBinResult emptyRecycleBin(platform::WindowId owner) override {
    log_.push_back("recycle");
    return FakeShell::emptyRecycleBin(owner);
  }

 private:
  Log& log_;
};

// Logs each folder the tree erase opens at its top.
class LoggingFiles : public fake::FakeFiles {
 public:
  explicit LoggingFiles(Log& log) : log_(log) {}
  std::vector<platform::FileEntry> find(const std::string& pattern) override {
    if (pattern.rfind("C:\\cache\\", 0) == 0 && !logged("tree:cache")) log_.push_back("tree:cache");
    if (pattern.rfind(Temp, 0) == 0 && !logged("tree:temp")) log_.push_back("tree:temp");
    return FakeFiles::find(pattern);
  }

 private:
  bool logged(const std::string& what) { return std::find(log_.begin(), log_.end(), what) != log_.end(); }
  Log& log_;
};

// An empty cache that logs the pattern of every search it is asked for.
class LoggingCache : public platform::UrlCache {
 public:
  explicit LoggingCache(Log& log) : log_(log) {}
  bool loadLibrary() override { return true; }
  bool hasFunction(const std::string&) override { return true; }
  platform::CacheSearch findFirstEx(const std::optional<std::string>& pattern, std::uint32_t, std::uint32_t,
                                    std::uint64_t, platform::CacheEntryInfo*, std::uint32_t&) override {
    if (!probing_) log_.push_back("cache:" + (pattern ? "\"" + *pattern + "\"" : std::string("null")));
    probing_ = !probing_;  // the size probe and the real call come in pairs
    error_ = 259;
    return 0;
  }
  bool findNextEx(platform::CacheSearch, platform::CacheEntryInfo*, std::uint32_t&) override { return false; }
  platform::CacheSearch findFirst(const std::optional<std::string>&, platform::CacheEntryInfo*,
                                  std::uint32_t&) override {
    return 0;
  }
  bool findNext(platform::CacheSearch, platform::CacheEntryInfo*, std::uint32_t&) override { return false; }
  bool close(platform::CacheSearch) override { return true; }
  bool deleteEntry(const std::string&) override { return false; }
  std::uint32_t lastError() override { return error_; }

 private:
  Log& log_;
  bool probing_ = false;
  std::uint32_t error_ = 0;
};

class LoggingHistory : public platform::UrlHistory {
 public:
  explicit LoggingHistory(Log& log) : log_(log) {}
  bool clearHistory() override {
    log_.push_back("history");
    return false;  // as under Wine: not implemented; the erase goes on
  }

 private:
  Log& log_;
};

struct Eraser : ::testing::Test {
  Log log;
  fake::FakePlatform f;
  LoggingRegistry registry{f.registry, log};
  LoggingShell shell{log};
  LoggingFiles files{log};
  LoggingCache cache{log};
  platform::Platform p{registry, f.windows, f.time,    f.time,       f.dialogs, f.tray,  f.instance,
                       shell,    f.help,    f.gui,     f.urlHistory, files,     f.processes, cache,
                       f.hotKeys, f.sound,   f.locale,     f.internet, f.codeSigning};
  settings::TmRegistry reg5{p.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::ShellFolders, false};
  std::string tempFolder = Temp;
  std::unique_ptr<platform::UrlHistory> history = std::make_unique<LoggingHistory>(log);
  eraser::TIECache ieCache{cache};
  eraser::EraseEngine engine{p, f.toolkit, ieCache, reg5, tempFolder, history};

  Eraser() {
    f.toolkit.setTitle("Tarnwick v3.4.1");
    f.registry.setString(Hive::CurrentUser, ShellFolderKey, "Cookies", "C:\\cookies");
    f.registry.setString(Hive::CurrentUser, ShellFolderKey, "Cache", "C:\\cache");
    f.registry.setString(Hive::CurrentUser, ShellFolderKey, "Recent", "C:\\recent");
    files.addFile("C:\\cache\\page.htm");
    files.addFile("C:\\cookies\\user@site.txt");
    files.addFile("C:\\recent\\letter.lnk");
    files.addFile(std::string(Temp) + "a.tmp");
  }
  void select(const char* flag, const char* value = "1") { f.registry.setString(Hive::CurrentUser, EraseKey, flag, value); }
  void selectAll() {
    for (auto& c : eraser::EraseOrder) select(c.flag);
  }
  void browserRuns(bool hiddenOnly = false) {
    f.processes.processes.push_back({40, "C:\\Program Files\\Internet Explorer\\iexplore.exe"});
    f.windows.add({4001, "IEFrame", "Start", 40, !hiddenOnly});
  }
  std::vector<std::string> messages() {
    std::vector<std::string> out;
    for (auto& s : f.dialogs.shown) out.push_back(s.kind + ":" + s.text);
    return out;
  }
};

const Log EverythingInOrder = {
    "history",        "cache:\"Visited:\"",     "shell:C:\\cookies\\*.txt", "cache:\"Cookie:\"",
    "reset:TypedURLs", "cache:\"\"",            "tree:cache",               "shell:C:\\recent\\*.*",
    "tree:temp",      "recycle",                "reset:RunMRU",             "reset:Doc Find Spec MRU"};

}  // namespace

TEST_F(Eraser, EraseRunsEverySelectedCategoryInItsFixedOrder) {
  selectAll();
  engine.btnEraseClick();
  EXPECT_EQ(log, EverythingInOrder);
  EXPECT_TRUE(f.dialogs.shown.empty()) << "an erase shows nothing";
  EXPECT_FALSE(files.exists("C:\\cache\\page.htm"));
  EXPECT_FALSE(files.exists(std::string(Temp) + "a.tmp"));
  EXPECT_TRUE(files.exists("C:\\cache")) << "the folders themselves stay";
  EXPECT_TRUE(files.exists(Temp));
  EXPECT_EQ(shell.recycleBinOwners, std::vector<platform::WindowId>{fake::FakeToolkit::AppWindowId});
  for (const char* key : {eraser::historyKeys::TypedUrls, eraser::historyKeys::RunMru, eraser::historyKeys::FindMru})
    EXPECT_TRUE(f.registry.exists(Hive::CurrentUser, key)) << key << " is created again, empty";

  // Again, with every place empty (the shell took its files): neither the
  // shell's file operation nor the registry is asked, and the trees the
  // last pass left empty are not looked into.
  files.deleteFile("C:\\cookies\\user@site.txt");
  files.deleteFile("C:\\recent\\letter.lnk");
  log.clear();
  const int writes = f.registry.writes;
  engine.EraseSelected();
  const Log emptyPass = {"history", "cache:\"Visited:\"", "cache:\"Cookie:\"", "cache:\"\"", "recycle"};
  EXPECT_EQ(log, emptyPass);
  EXPECT_EQ(f.registry.writes, writes);
  log.clear();
  engine.EraseSelected();
  EXPECT_EQ(log, emptyPass);

  // What arrives in an empty place is erased by the next pass. A tree left
  // holding only a file another program holds is passed over while nothing
  // in its folders changes; what arrives beside that file, at any depth, is
  // erased by the next pass.
  files.addFile(std::string(Temp) + "sub\\new.tmp");
  files.addFile("C:\\cookies\\late@site.txt");
  files.addFile("C:\\cache\\deep\\held.htm").locked = true;
  log.clear();
  engine.EraseSelected();
  EXPECT_EQ(log, (Log{"history", "cache:\"Visited:\"", "shell:C:\\cookies\\*.txt", "cache:\"Cookie:\"", "cache:\"\"",
                      "tree:cache", "tree:temp", "recycle"}));
  EXPECT_FALSE(files.exists(std::string(Temp) + "sub"));
  files.deleteFile("C:\\cookies\\late@site.txt");
  log.clear();
  engine.EraseSelected();
  EXPECT_EQ(log, emptyPass);
  files.addFile("C:\\cache\\deep\\late.htm");
  log.clear();
  engine.EraseSelected();
  EXPECT_EQ(log, (Log{"history", "cache:\"Visited:\"", "cache:\"Cookie:\"", "cache:\"\"", "tree:cache", "recycle"}));
  EXPECT_FALSE(files.exists("C:\\cache\\deep\\late.htm"));
  EXPECT_TRUE(files.exists("C:\\cache\\deep\\held.htm"));
  // Let go of, the file is deleted once the while is over: a watch holds
  // its folder, so after it each place is looked into anew.
  files.node("C:\\cache\\deep\\held.htm")->locked = false;
  log.clear();
  engine.EraseSelected();
  EXPECT_EQ(log, emptyPass);
  f.time.advance(eraser::EmptyPlaceWatchMs);
  log.clear();
  engine.EraseSelected();
  EXPECT_EQ(log, (Log{"history", "cache:\"Visited:\"", "cache:\"Cookie:\"", "cache:\"\"", "tree:cache", "tree:temp",
                      "recycle"}));
  EXPECT_FALSE(files.exists("C:\\cache\\deep"));
  log.clear();
  engine.EraseSelected();
  EXPECT_EQ(log, emptyPass);

  // A folder removed and put in place anew is looked into again.
  files.removeFolder(Temp);
  files.addFolder(Temp);
  files.addFile(std::string(Temp) + "b.tmp");
  engine.EraseSelected();
  EXPECT_FALSE(files.exists(std::string(Temp) + "b.tmp"));
}

// Where folders cannot be watched, every pass looks into every place, and
// an empty one is still not handed to the shell.
TEST_F(Eraser, WithoutFolderWatchesEveryPassLooksIntoEveryPlace) {
  files.watchable = false;
  files.deleteFile("C:\\cookies\\user@site.txt");
  files.deleteFile("C:\\recent\\letter.lnk");
  select("Cookies");
  select("Temp Folder");
  for (int pass = 0; pass < 2; ++pass) {
    log.clear();
    engine.EraseSelected();
    EXPECT_EQ(log, (Log{"cache:\"Cookie:\"", "tree:temp"})) << pass;
  }
}

TEST_F(Eraser, OnlyExactlyOneSelectsACategory) {
  select("IE History", "yes");
  select("Cookies", "1 ");
  select("IE Address Bar", "");
  select("IE Cache", "11");
  select("Temp Folder", "1");
  select("Run History", " 1");
  engine.btnEraseClick();
  EXPECT_EQ(log, (Log{"tree:temp"}));
}

// Each pass erases what is selected at that moment, however the selection
// changed since the pass before: a value set, another one added, the key gone.
TEST_F(Eraser, EachPassFollowsTheSelectionOfItsMoment) {
  const Log history{"history", "cache:\"Visited:\""};
  const std::vector<std::pair<std::function<void()>, Log>> steps = {
      {[&] { select("Recycle Bin"); }, {"recycle"}},
      {[&] { select("IE History"); }, {history[0], history[1], "recycle"}},
      {[&] { select("Recycle Bin", "0"); }, history},
      {[] {}, history},
      {[&] { f.registry.deleteTree(Hive::CurrentUser, EraseKey); }, {}},
      {[&] { select("Recycle Bin"); }, {"recycle"}},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    steps[i].first();
    log.clear();
    engine.EraseSelected();
    EXPECT_EQ(log, steps[i].second) << "pass " << i;
  }
}

TEST_F(Eraser, NothingSelectedDoesNothingAndShowsNothing) {
  engine.btnEraseClick();
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_EQ(f.windows.enumerations, 1) << "the browser test still runs first";
}

TEST_F(Eraser, RegistryListsAreEmptiedAndCreatedAgain) {
  f.registry.setString(Hive::CurrentUser, eraser::historyKeys::TypedUrls, "url1", "http://a.example/");
  f.registry.setString(Hive::CurrentUser, std::string(eraser::historyKeys::RunMru) + "\\sub", "a", "notepad");
  f.registry.setString(Hive::CurrentUser, eraser::historyKeys::RunMru, "MRUList", "a");
  f.registry.setString(Hive::CurrentUser, eraser::historyKeys::FindMru, "a", "*.doc");
  engine.Erase(eraser::Category::IEAddressBar);
  engine.Erase(eraser::Category::RunHistory);
  EXPECT_TRUE(f.registry.exists(Hive::CurrentUser, eraser::historyKeys::TypedUrls));
  EXPECT_EQ(f.registry.valueCount(Hive::CurrentUser, eraser::historyKeys::TypedUrls), 0u);
  EXPECT_EQ(f.registry.valueCount(Hive::CurrentUser, eraser::historyKeys::RunMru), 0u);
  EXPECT_FALSE(f.registry.exists(Hive::CurrentUser, std::string(eraser::historyKeys::RunMru) + "\\sub"));
  EXPECT_EQ(f.registry.valueCount(Hive::CurrentUser, eraser::historyKeys::FindMru), 1u) << "not asked for";
  // A list that never existed is simply created.
  engine.Erase(eraser::Category::FindHistory);
  f.registry.deleteTree(Hive::CurrentUser, eraser::historyKeys::FindMru);
  engine.Erase(eraser::Category::FindHistory);
  EXPECT_TRUE(f.registry.exists(Hive::CurrentUser, eraser::historyKeys::FindMru));
}

TEST_F(Eraser, RefusesWhileTheBrowserRunsExceptForTheRecycleBin) {
  selectAll();
  browserRuns(/*hiddenOnly=*/true);
  engine.btnEraseClick();
  EXPECT_EQ(messages(), (std::vector<std::string>{"message:Please close all Internet Explorer windows!"}));
  EXPECT_EQ(f.dialogs.shown[0].caption, "Tarnwick v3.4.1");
  EXPECT_TRUE(log.empty()) << "nothing is erased";

  f.dialogs.shown.clear();
  for (auto& c : eraser::EraseOrder) {
    engine.Erase(c.category);
    EXPECT_EQ(f.dialogs.shown.size(), c.refusesWhileBrowserRuns ? 1u : 0u) << c.flag;
    f.dialogs.shown.clear();
  }
  EXPECT_EQ(log, (Log{"recycle"}));
}

TEST_F(Eraser, ABrowserStartedDuringTheSequenceStopsEachRemainingCategoryOnce) {
  select("IE History");
  select("Recycle Bin");
  select("Run History");
  select("Find History");
  // The browser appears while the history is being cleared.
  struct StartsBrowser : platform::UrlHistory {
    Eraser& t;
    explicit StartsBrowser(Eraser& e) : t(e) {}
    bool clearHistory() override {
      t.browserRuns();
      return true;
    }
  };
  history = std::make_unique<StartsBrowser>(*this);
  engine.btnEraseClick();
  EXPECT_EQ(messages(), (std::vector<std::string>{"message:Please close all Internet Explorer windows!",
                                                  "message:Please close all Internet Explorer windows!"}));
  EXPECT_EQ(log, (Log{"cache:\"Visited:\"", "recycle"}));
}

TEST_F(Eraser, MissingFolderValuesSkipOnlyTheFileSteps) {
  f.registry.deleteTree(Hive::CurrentUser, ShellFolderKey);
  selectAll();
  engine.EraseSelected();
  EXPECT_EQ(log, (Log{"history", "cache:\"Visited:\"", "cache:\"Cookie:\"", "reset:TypedURLs", "cache:\"\"",
                      "tree:temp", "recycle", "reset:RunMRU", "reset:Doc Find Spec MRU"}));
  // No URL-history object at all: the cache steps still run.
  log.clear();
  history.reset();
  engine.Erase(eraser::Category::IEHistory);
  EXPECT_EQ(log, (Log{"cache:\"Visited:\""}));
}

TEST_F(Eraser, MissingShellLibraryIsReportedAndTheSequenceGoesOn) {
  shell.recycleBin = platform::RecycleBinResult::NoLibrary;
  select("Recycle Bin");
  select("Run History");
  engine.EraseSelected();
  EXPECT_EQ(messages(), (std::vector<std::string>{"error:Failed to load Shell32.dll."}));
  EXPECT_EQ(log, (Log{"recycle", "reset:RunMRU"}));
  // Without the function in it nothing is said.
  f.dialogs.shown.clear();
  shell.recycleBin = platform::RecycleBinResult::NoFunction;
  engine.EmptyRecycleBin();
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST_F(Eraser, SystemFoldersAreNeverErased) {
  files.addFile("C:\\boot.ini");
  files.addFile("C:\\windows\\win.ini");
  files.addFile("C:\\users\\user\\ntuser.dat");
  for (std::string temp : {"C:\\", "C:\\windows\\", "c:\\WINDOWS\\", "C:\\windows\\system32\\", "C:\\users\\",
                           "C:\\users\\user\\", "C:\\users\\user\\Temp\\..\\", "\\", ""}) {
    tempFolder = temp;
    engine.Erase(eraser::Category::TempFolder);
  }
  for (const char* folder : {"C:", "C:\\windows", "C:\\users\\user\\.", "\\\\server\\share"}) {
    f.registry.setString(Hive::CurrentUser, ShellFolderKey, "Cookies", folder);
    f.registry.setString(Hive::CurrentUser, ShellFolderKey, "Recent", folder);
    f.registry.setString(Hive::CurrentUser, ShellFolderKey, "Cache", folder);
    engine.Erase(eraser::Category::Cookies);
    engine.Erase(eraser::Category::RecentDocuments);
    engine.Erase(eraser::Category::IECache);
  }
  EXPECT_TRUE(shell.deleted.empty());
  EXPECT_TRUE(files.log.empty()) << files.log.front();
  EXPECT_TRUE(files.exists("C:\\boot.ini"));
  // A folder inside the profile, like the usual temp folder, is fine.
  tempFolder = Temp;
  engine.Erase(eraser::Category::TempFolder);
  EXPECT_FALSE(files.exists(std::string(Temp) + "a.tmp"));
}

// The user moves Documents into what is the temp folder while the program
// runs: once the system's answer is older than the while, it is off limits.
TEST_F(Eraser, AFolderTheSystemNamesLaterIsOffLimitsWithinTheWhile) {
  tempFolder = "D:\\docs\\";
  files.addFile("D:\\docs\\letter.doc");
  engine.Erase(eraser::Category::TempFolder);
  EXPECT_FALSE(files.exists("D:\\docs\\letter.doc")) << "not a protected folder yet";
  files.system.push_back("D:\\docs");
  files.addFile("D:\\docs\\letter.doc");
  f.time.advance(eraser::EmptyPlaceWatchMs);
  engine.Erase(eraser::Category::TempFolder);
  EXPECT_TRUE(files.exists("D:\\docs\\letter.doc"));
}

TEST(EraseFolderGuard, DrivesSharesSystemFoldersAndTheirParents) {
  const std::vector<std::string> system = {"C:\\Windows", "C:\\Windows\\System32", "C:\\Users\\Ann",
                                           "C:\\Users\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"};  // Иван
  // A profile in another script is the same folder in either letter case.
  for (const char* bad : {"C:\\users\\\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD\\", "C:\\USERS\\\xD0\x98\xD0\x92\xD0\x90\xD0\x9D"})
    EXPECT_FALSE(eraser::IsSafeEraseFolder(bad, system)) << bad;
  EXPECT_TRUE(eraser::IsSafeEraseFolder("C:\\Users\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\\Temp\\", system));
  for (const char* bad : {"", "\\", "C:", "C:\\", "c:/", "D:\\", "C:\\windows\\", "C:\\WINDOWS", "C:\\Users",
                          "C:\\users\\ann\\", "C:\\Users\\Ann\\Temp\\..", "C:\\Windows\\.\\System32\\",
                          "\\\\host\\share\\", "\\\\host\\", "Temp\\", "C:Temp\\"})
    EXPECT_FALSE(eraser::IsSafeEraseFolder(bad, system)) << bad;
  for (const char* good : {"C:\\Users\\Ann\\Temp\\", "C:\\Windows\\Temp\\", "D:\\cache\\", "\\\\host\\share\\tmp\\",
                           "C:\\Users\\Anna\\"})
    EXPECT_TRUE(eraser::IsSafeEraseFolder(good, system)) << good;
}

TEST(MainWindowErase, ToolsPaneAndTrayMenuReachEveryCategory) {
  fake::FakePlatform f;
  app::TfrmMain form(f.platform, f.toolkit);
  form.create();
  const std::vector<std::pair<const char*, const char*>> expected = {
      {"Cookies1", "&Cookies"},           {"RecentDocuments1", "&Recent Documents"},
      {"TempFiles1", "&Temp Folder"},     {"TempIEFiles1", "IE Cac&he"},
      {"IEHistory1", "I&E History"},      {"IEAddressBar1", "IE &Address bar"},
      {"EmptyRecycleBin2", "Em&pty Recycle Bin"}, {"RunHistory2", "Run &History"},
      {"FindHistory2", "&Find History"}, {"N7", "-"}, {"Preview1", "Pre&view..."}};
  ui::MenuItem* sub = form.PopupMenu1.find("Erase1");
  ASSERT_EQ(sub->items().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(sub->items()[i]->name(), expected[i].first);
    EXPECT_EQ(sub->items()[i]->caption(), expected[i].second);
  }
  // Each command does its own category: a value in each list shows which went.
  auto fill = [&] {
    for (const char* key : {eraser::historyKeys::TypedUrls, eraser::historyKeys::RunMru, eraser::historyKeys::FindMru})
      f.registry.setString(Hive::CurrentUser, key, "a", "x");
  };
  auto emptied = [&] {
    std::string which;
    for (const char* key : {eraser::historyKeys::TypedUrls, eraser::historyKeys::RunMru, eraser::historyKeys::FindMru})
      which += f.registry.valueCount(Hive::CurrentUser, key) == 0 ? "1" : "0";
    return which;
  };
  fill();
  form.PopupMenu1.choose(*form.PopupMenu1.find("RunHistory2"));
  EXPECT_EQ(emptied(), "010");
  fill();
  form.Tools1.clickItem(7);  // "IE Address Bar": after "Erase", the label and five commands
  EXPECT_EQ(emptied(), "100");
  fill();
  form.Tools1.clickItem(10);
  EXPECT_EQ(emptied(), "001");
  fill();
  form.PopupMenu1.choose(*form.PopupMenu1.find("EmptyRecycleBin2"));
  form.Tools1.clickItem(8);
  EXPECT_EQ(f.shell.recycleBinOwners.size(), 2u);
  // "&Erase" and the pane's "Erase" run the selection.
  f.registry.setString(Hive::CurrentUser, EraseKey, "Run History", "1");
  fill();
  form.PopupMenu1.choose(*form.PopupMenu1.find("Eraseall1"));
  EXPECT_EQ(emptied(), "010");
  fill();
  form.Tools1.clickItem(0);
  EXPECT_EQ(emptied(), "010");
}
