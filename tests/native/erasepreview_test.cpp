#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "FakePlatform.h"
#include "eraser/CookieKeepList.h"
#include "eraser/ErasePreview.h"
#include "eraser/InUseProber.h"
#include "eraser/uErasePreview.h"
#include "settings/Schema.h"

using platform::Hive;

namespace {

constexpr const char* EraseKey = "software\\Tarnwick\\erase";
constexpr const char* ShellFolderKey = "software\\microsoft\\windows\\currentversion\\explorer\\shell folders";
constexpr const char* TypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr const char* Temp = "C:\\users\\user\\Temp\\";
constexpr const char* Cookies = "C:\\cookies";

// A file system, cache and registry on which any change fails the test.
class UnchangeableFiles : public fake::FakeFiles {
 public:
  bool deleteFile(const std::string& p) override { return refuse("delete " + p); }
  bool setAttributes(const std::string& p, std::uint32_t) override { return refuse("attributes " + p); }
  bool removeFolder(const std::string& p) override { return refuse("rmdir " + p); }
  bool writeFile(const std::string& p, const std::string&) override { return refuse("write " + p); }
  bool moveFile(const std::string& p, const std::string&) override { return refuse("move " + p); }
  std::unique_ptr<platform::FileWriter> createFile(const std::string& p) override {
    refuse("create " + p);
    return nullptr;
  }

 private:
  static bool refuse(const std::string& what) {
    ADD_FAILURE() << "the preview changed the file system: " << what;
    return false;
  }
};

class UnchangeableCache : public fake::FakeUrlCache {
 public:
  bool deleteEntry(const std::string& url) override {
    ADD_FAILURE() << "the preview deleted the cache entry " << url;
    return false;
  }
};

class UnchangeableRegistry : public fake::FakeRegistry {
 public:
  std::unique_ptr<platform::RegistryKey> create(Hive h, const std::string& p) override {
    ADD_FAILURE() << "the preview created the key " << p;
    return FakeRegistry::open(h, p);
  }
  bool deleteTree(Hive, const std::string& p) override {
    ADD_FAILURE() << "the preview deleted the key " << p;
    return false;
  }
};

// A profile with something in every place an erase empties: temp files
// named in two scripts, a read-only one, one held open, a hidden sub-folder
// that is not entered; cookies of three sites in files and in the cache;
// content and history entries; typed addresses; a full Recycle Bin.
void fillProfile(fake::FakePlatform& f, fake::FakeFiles& files, fake::FakeUrlCache& cache,
                 fake::FakeRegistry& registry) {
  registry.setString(Hive::CurrentUser, ShellFolderKey, "Cookies", Cookies);
  registry.setString(Hive::CurrentUser, ShellFolderKey, "Cache", "C:\\cache");
  registry.setString(Hive::CurrentUser, ShellFolderKey, "Recent", "C:\\recent");
  for (const auto& c : eraser::EraseOrder) registry.setString(Hive::CurrentUser, EraseKey, c.flag, "1");
  registry.setString(Hive::CurrentUser, TypedUrlsKey, "url1", "http://example.com/");
  registry.setString(Hive::CurrentUser, TypedUrlsKey, "url2", "http://other.org/");
  files.addFile(std::string(Temp) + "a.tmp", "12345");
  files.addFile(std::string(Temp) + "\xD0\xB6\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB.tmp", "abc");  // журнал
  files.addFile(std::string(Temp) + "\xE6\x97\xA5\xE8\xAE\xB0\\\xE7\xAC\x94\xE8\xAE\xB0.txt", "xy");  // 日记\笔记
  files.addFile(std::string(Temp) + "old.log", "1", platform::AttrReadOnly);
  files.addFile(std::string(Temp) + "held.tmp", "held").locked = true;
  files.addFolder(std::string(Temp) + "hidden", platform::AttrDirectory | platform::AttrHidden);
  files.addFile(std::string(Temp) + "hidden\\inside.tmp", "zz");
  files.addFile("C:\\cache\\page.htm", "<html>");
  files.addFile("C:\\recent\\letter.lnk");
  for (const char* name : {"user@example.com[1].txt", "user@mail.example.com[2].txt", "user@other.org[1].txt",
                           "user@badexample.com[1].txt", "notacookie.txt"})
    files.addFile(std::string(Cookies) + "\\" + name, "c");
  cache.add("http://example.com/logo.png", 1, false, 2048);
  for (const char* url : {"Cookie:user@example.com/", "Cookie:user@mail.example.com/", "Cookie:user@other.org/"})
    cache.add(url, 0x100000);
  // The files some caches keep a cookie entry's data in, named by a hash.
  cache.entries[1].localFile = std::string(Cookies) + "\\1A2B3C4D.txt";
  cache.entries[3].localFile = std::string(Cookies) + "\\9Z8Y7X6W.txt";
  files.addFile(cache.entries[1].localFile, "h");
  files.addFile(cache.entries[3].localFile, "h");
  cache.add("Visited:user@http://example.com/", 0x200000);
  f.shell.recycleBinContent = platform::RecycleBinContent{3, 4096};
}

std::vector<std::string> texts(const std::vector<eraser::PreviewItem>& items) {
  std::vector<std::string> out;
  for (const auto& i : items) out.push_back(i.text);
  return out;
}

struct Preview : ::testing::Test {
  fake::FakePlatform f;
  UnchangeableFiles files;
  UnchangeableCache cache;
  UnchangeableRegistry registry;
  platform::Platform p{registry, f.windows, f.time,    f.time,       f.dialogs, f.tray,  f.instance,
                       f.shell,  f.help,    f.gui,     f.urlHistory, files,     f.processes, cache,
                       f.hotKeys, f.sound,  f.locale,  f.internet,   f.codeSigning};
  Preview() { fillProfile(f, files, cache, registry); }

  eraser::CategoryPreview count(eraser::Category c, std::vector<std::string> kept = {}) {
    eraser::ErasePreview preview(p, f.toolkit, {{c}, Temp, eraser::KeptSites(std::move(kept))});
    return preview.count(c);
  }
};

}  // namespace

TEST(CookieSites, WhichCookiesAKeptSiteKeeps) {
  const eraser::KeptSites kept({"Example.COM"});
  struct Row {
    const char* cookie;  // a cookie file's name, or a cache entry's URL
    bool keeps;
  };
  const Row rows[] = {
      {"user@example.com[1].txt", true},
      {"user@mail.example.com[2].txt", true},        // a sub-domain, the browser's index
      {"USER@Mail.Example.COM[1].TXT", true},        // letter case
      {"user@example.com.txt", true},                // no index
      {"user@badexample.com[1].txt", false},         // a look-alike
      {"user@example.com.evil.org[1].txt", false},   // the kept name inside another
      {"user@com[1].txt", false},                    // above the kept site
      {"user@example.org[1].txt", false},
      {"example.com[1].txt", false},                 // malformed: no user
      {"user@example.com[x].txt", false},            // malformed index
      {"user@example.com[1].htm", false},
      {"user@[1].txt", false},
      {"user@exa mple.com[1].txt", false},
      {"user@example..com[1].txt", false},
  };
  for (const Row& r : rows) EXPECT_EQ(kept.keepsFile(r.cookie), r.keeps) << r.cookie;

  const Row entries[] = {
      {"Cookie:user@example.com/", true},
      {"Cookie:user@mail.example.com/path", true},
      {"cookie:user@.example.com/", true},  // a domain cookie's leading dot
      {"Cookie:user@badexample.com/", false},
      {"Cookie:example.com/", false},        // malformed: no user
      {"Visited:user@example.com/", false},  // not a cookie
      {"http://example.com/", false},
  };
  for (const Row& r : entries) EXPECT_EQ(kept.keepsEntry(r.cookie), r.keeps) << r.cookie;

  EXPECT_FALSE(eraser::KeptSites().keepsFile("user@example.com[1].txt")) << "an empty list keeps nothing";
}

TEST(CookieSites, TypedSitesBecomeHostNames) {
  const std::pair<const char*, std::optional<std::string>> rows[] = {
      {"example.com", "example.com"},
      {"  Example.COM ", "example.com"},
      {"http://www.example.com/login?x=1", "www.example.com"},
      {"https://mail.example.com:443/", "mail.example.com"},
      {".example.com", "example.com"},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"exa mple.com", std::nullopt},
      {"example..com", std::nullopt},
      {"http://", std::nullopt},
  };
  for (const auto& [typed, site] : rows) EXPECT_EQ(eraser::NormalizeSite(typed), site) << "\"" << typed << "\"";
}

TEST(CookieKeepList, RoundTripThroughItsFileBesideTheProgram) {
  fake::FakePlatform f;
  f.files.addFolder("C:\\Tarnwick");
  settings::OwnFolder folder(f.files, f.dialogs, f.toolkit);
  const std::string path = f.files.program + eraser::KeepListFileName;
  {
    eraser::CookieKeepList list(f.files, folder);
    list.load();
    EXPECT_TRUE(list.kept().empty()) << "no file yet is an empty list";
    EXPECT_TRUE(list.add("other.org"));
    EXPECT_TRUE(list.add("example.com"));
    EXPECT_FALSE(list.add("example.com")) << "each site once";
  }
  EXPECT_EQ(f.files.readFile(path), "example.com\r\nother.org\r\n");
  EXPECT_FALSE(f.files.exists(path + ".tmp")) << "saved through a temporary file, none left";
  EXPECT_NE(std::find(f.files.log.begin(), f.files.log.end(), "move:" + path + ".tmp>" + path), f.files.log.end());

  // Read back, with line ends as any editor writes them and a leftover of a
  // killed save beside it.
  f.files.writeFile(path, "other.org\nExample.com\r\n\r\nnot a site\r");
  f.files.writeFile(path + ".tmp", "half");
  eraser::CookieKeepList again(f.files, folder);
  again.load();
  EXPECT_EQ(again.kept().sites(), (std::vector<std::string>{"example.com", "other.org"}));
  EXPECT_FALSE(f.files.exists(path + ".tmp"));
  EXPECT_TRUE(again.remove("other.org"));
  EXPECT_EQ(f.files.readFile(path), "example.com\r\n");
  EXPECT_TRUE(again.remove("example.com"));
  EXPECT_EQ(f.files.readFile(path), "") << "an empty list is an empty file";
}

TEST_F(Preview, ListsWhatEachCategoryWouldRemoveAndChangesNothing) {
  const auto temp = count(eraser::Category::TempFolder);
  const std::string t = Temp;
  const std::vector<std::string> listed = texts(temp.removed);
  const std::set<std::string> removed(listed.begin(), listed.end());
  const std::set<std::string> expected = {t + "a.tmp", t + "\xD0\xB6\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB.tmp",
                                          t + "old.log", t + "\xE6\x97\xA5\xE8\xAE\xB0\\\xE7\xAC\x94\xE8\xAE\xB0.txt",
                                          t + "\xE6\x97\xA5\xE8\xAE\xB0\\"};
  EXPECT_EQ(removed, expected) << "the held file stays, the hidden folder is not entered, the folder given stays";
  EXPECT_EQ(temp.bytes(), 5u + 3u + 1u + 2u);
  EXPECT_EQ(texts(temp.left), (std::vector<std::string>{t + "held.tmp   (in use)"}));

  // An entry's bytes are those of its file, counted once; an entry's file
  // another program holds stays, with its folder, and frees nothing.
  this->cache.entries[0].localFile = "C:\\cache\\sub\\logo[1].png";
  files.addFile("C:\\cache\\sub\\logo[1].png", std::string(2048, 'x'));
  this->cache.add("http://example.com/held.css", 1, false, 10);
  this->cache.entries.back().localFile = "C:\\cache\\held\\held[1].css";
  files.addFile(this->cache.entries.back().localFile, "0123456789").locked = true;
  const auto cache = count(eraser::Category::IECache);
  EXPECT_EQ(texts(cache.removed), (std::vector<std::string>{"http://example.com/logo.png", "http://example.com/held.css",
                                                            "C:\\cache\\page.htm", "C:\\cache\\sub\\logo[1].png",
                                                            "C:\\cache\\sub\\"}));
  EXPECT_EQ(cache.bytes(), 2048u + 6u);
  EXPECT_EQ(texts(cache.left), (std::vector<std::string>{"C:\\cache\\held\\held[1].css   (in use)"}));

  const auto typed = count(eraser::Category::IEAddressBar);
  EXPECT_EQ(texts(typed.removed),
            (std::vector<std::string>{"TypedURLs\\url1 = http://example.com/", "TypedURLs\\url2 = http://other.org/"}));

  const auto bin = count(eraser::Category::RecycleBin);
  EXPECT_EQ(bin.count(), 3u);
  EXPECT_EQ(bin.bytes(), 4096u);
  EXPECT_TRUE(f.shell.recycleBinOwners.empty());

  const auto history = count(eraser::Category::IEHistory);
  EXPECT_EQ(texts(history.removed), (std::vector<std::string>{"Visited:user@http://example.com/"}));
  EXPECT_EQ(f.urlHistory.clears, 0) << "the browser's history list is not cleared";

  EXPECT_EQ(count(eraser::Category::RecentDocuments).count(), 1u);
  EXPECT_TRUE(f.shell.deleted.empty());
  EXPECT_TRUE(registry.exists(Hive::CurrentUser, TypedUrlsKey));
  EXPECT_EQ(registry.valueCount(Hive::CurrentUser, TypedUrlsKey), 2u);
}

// The count asks the cache once for each entry, where the erase asks twice;
// an entry larger than the count's buffer is still reached, in its place.
TEST_F(Preview, CountsEachCacheEntryWithOneCallInTheWalksOrder) {
  cache.entries.clear();
  const std::string huge = "http://example.com/" + std::string(70000, 'q');
  for (const std::string& url : {std::string("http://a.test/"), huge, std::string("http://b.test/")}) cache.add(url, 1);
  cache.exFailure = fake::FakeUrlCache::FileNotFound;  // the plain search, as under Wine
  const auto counted = count(eraser::Category::IECache);
  EXPECT_EQ(texts(counted.removed),
            (std::vector<std::string>{"http://a.test/", huge, "http://b.test/", "C:\\cache\\page.htm"}));
  const std::size_t calls = cache.callsOf("findFirst").size() + cache.callsOf("findNext").size();
  EXPECT_EQ(calls, 1u + 2u + 1u + 2u) << "one call an entry; two for the large one and at the end, as the erase asks";
  EXPECT_EQ(cache.openSearches(), 0u);
}

TEST_F(Preview, ShowsKeptCookiesAsKept) {
  const auto all = count(eraser::Category::Cookies);
  EXPECT_EQ(all.count(), 7u + 3u) << "without a list every *.txt file and every cookie entry";
  EXPECT_TRUE(all.left.empty());

  const auto keeping = count(eraser::Category::Cookies, {"example.com"});
  const std::string c = std::string(Cookies) + "\\";
  // A name that names no site goes, unless it is a kept entry's own file.
  EXPECT_EQ(texts(keeping.removed),
            (std::vector<std::string>{"Cookie:user@other.org/", c + "9Z8Y7X6W.txt", c + "notacookie.txt",
                                      c + "user@badexample.com[1].txt", c + "user@other.org[1].txt"}));
  EXPECT_EQ(texts(keeping.left),
            (std::vector<std::string>{"Cookie:user@example.com/   (kept)", "Cookie:user@mail.example.com/   (kept)",
                                      c + "1A2B3C4D.txt   (kept)", c + "user@example.com[1].txt   (kept)",
                                      c + "user@mail.example.com[2].txt   (kept)"}));
}

// Answers told ahead are the file system's, whichever of the prober's
// threads or the asker gets to a path first; each answer is given once, so
// a file let go of meanwhile is seen free when asked again; a stopped count
// still gets true answers, asked at once.
TEST(InUseProber, AnswersAsTheFileSystemDoes) {
  for (const bool stopped : {false, true}) {
    fake::FakeFiles files;
    std::vector<std::string> paths;
    for (int i = 0; i < 300; ++i) {
      paths.push_back("C:\\t\\f" + std::to_string(i));
      files.addFile(paths.back()).locked = i % 7 == 0;
    }
    const std::atomic<bool> stop{stopped};
    eraser::InUseProber prober(files, stop);
    for (const std::string& p : paths) prober.ahead(p);
    for (auto p = paths.rbegin(); p != paths.rend(); ++p)
      EXPECT_EQ(prober.inUse(*p), files.inUse(*p)) << *p << (stopped ? " (stopped)" : "");
    files.node(paths[0])->locked = false;
    prober.ahead(paths[0]);
    EXPECT_FALSE(prober.inUse(paths[0])) << "asked afresh, not the first answer again";
    EXPECT_FALSE(prober.inUse("C:\\t\\never told"));
  }
}

// The erase over the same profile removes exactly what the preview listed,
// each item once, though the categories are counted at once and the cache
// folder here lies inside the temp folder, so both walks find its files.
TEST(ErasePreviewAndErase, TheEraseRemovesWhatThePreviewListed) {
  fake::FakePlatform f;
  fillProfile(f, f.files, f.urlCache, f.registry);
  const std::string innerCache = std::string(Temp) + "ie";
  f.registry.setString(Hive::CurrentUser, ShellFolderKey, "Cache", innerCache);
  f.files.addFile(innerCache + "\\page.htm", "<html>");
  const eraser::KeptSites kept({"example.com"});
  std::vector<eraser::CategoryPreview> previews;
  std::vector<eraser::Category> named;
  {
    eraser::ErasePreview preview(f.platform, f.toolkit, {eraser::SelectedCategories(f.registry), Temp, kept});
    preview.countAll([&](eraser::Category c) { named.push_back(c); },
                     [&](eraser::CategoryPreview r) { previews.push_back(std::move(r)); });
  }
  ASSERT_EQ(previews.size(), eraser::EraseOrder.size());
  for (std::size_t i = 0; i < previews.size(); ++i) {
    EXPECT_EQ(previews[i].category, eraser::EraseOrder[i].category) << "handed over in the erase order";
    EXPECT_EQ(named[i], eraser::EraseOrder[i].category);
  }
  EXPECT_TRUE(f.files.log.empty());
  std::multiset<std::string> everyListing;
  for (const auto& p : previews)
    for (const auto& i : p.removed) everyListing.insert(i.text);
  EXPECT_EQ(everyListing.count(innerCache + "\\page.htm"), 1u) << "listed by IE Cache, not again by Temp Folder";

  settings::TmRegistry reg5(f.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::ShellFolders, false);
  eraser::TIECache ieCache(f.urlCache);
  std::string temp = Temp;
  std::unique_ptr<platform::UrlHistory> history;
  eraser::EraseEngine engine(f.platform, f.toolkit, ieCache, reg5, temp, history);
  engine.keepCookiesOf(&kept);
  const std::vector<std::string> before = f.files.below("C:");
  engine.btnEraseClick();

  // What the preview listed, folders without their trailing separator; the
  // registry values and the Recycle Bin are counted by the test above.
  std::set<std::string> listed;
  for (const auto& p : previews)
    for (const auto& i : p.removed) {
      if (i.text.rfind("TypedURLs\\", 0) == 0 || i.text.rfind("Recycle Bin", 0) == 0) continue;
      listed.insert(i.text.back() == '\\' ? i.text.substr(0, i.text.size() - 1) : i.text);
    }
  // What went: files the tree erase removed, cache entries deleted, and what
  // the shell was asked to delete (the fake shell records it rather than
  // deletes it), a wildcard standing for what it matched.
  std::set<std::string> gone;
  for (const std::string& path : before)
    if (!f.files.exists(path)) gone.insert(path);
  for (const auto& call : f.urlCache.callsOf("deleteEntry")) gone.insert(call.text);
  for (const std::string& path : f.shell.deleted) {
    if (path.find('*') == std::string::npos) {
      gone.insert(path);
      continue;
    }
    for (const std::string& below : f.files.below(path.substr(0, path.rfind('\\')))) gone.insert(below);
  }
  EXPECT_EQ(listed, gone);
  EXPECT_EQ(f.registry.valueCount(Hive::CurrentUser, TypedUrlsKey), 0u);
  EXPECT_TRUE(f.urlCache.contains("Cookie:user@example.com/"));
  EXPECT_TRUE(f.urlCache.contains("Cookie:user@mail.example.com/"));
  EXPECT_FALSE(f.urlCache.contains("Cookie:user@other.org/"));
}

TEST(ErasePreviewWindow, FillsInFromItsWorkerAndErasesNowOnlyWhenTheBrowserIsClosed) {
  fake::FakePlatform f;
  fillProfile(f, f.files, f.urlCache, f.registry);
  ui::Form owner(f.toolkit, "owner");
  ui::PopupMenu tray(f.toolkit, "tray");
  int erases = 0;
  eraser::TfrmErasePreview window(
      f.platform, f.toolkit, owner, tray,
      [&] { return eraser::PreviewInputs{eraser::SelectedCategories(f.registry), Temp, eraser::KeptSites()}; },
      [&] { ++erases; });
  window.create();
  std::vector<std::string> rows;
  bool pausedWhileUp = false;
  f.toolkit.onModal = [&](ui::Form&) {
    pausedWhileUp = !tray.autoPopup;
    f.gui.serveUntil([&] { return !window.counting(); });
    rows = window.lbCategoryList.items();
    window.lbCategoryList.setItemIndex(5);  // Temp Folder
    EXPECT_EQ(window.lbItemList.count(), 5);
    EXPECT_EQ(window.lbLeftList.items(), (std::vector<std::string>{std::string(Temp) + "held.tmp   (in use)"}));
    window.btnEraseNow.OnClick();
    f.gui.serveUntil([&] { return !window.counting(); });
    window.btnClose.OnClick();
  };
  window.showModal();
  EXPECT_TRUE(pausedWhileUp);
  EXPECT_TRUE(tray.autoPopup) << "the tray menu opens again once the window has closed";
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[1], "Cookies: 10 items, 7 bytes");
  EXPECT_EQ(rows[6], "Recycle Bin: 3 items, 4.0 KB");
  EXPECT_EQ(erases, 1);
  EXPECT_TRUE(f.files.log.empty()) << "the preview itself changed nothing";
}
