// The erase engine on the real services under Wine: a prepared profile in a
// scratch folder (cookie files beside others, Recent items, a temp tree with
// marked files, a hidden folder and a file held open), URL cache entries of
// each kind, the three history lists and an item in the Recycle Bin. Then
// the same with a browser running, whose only window is hidden.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <functional>
#include <set>
#include <string>
#include "../helpers/CacheEntries.h"
#include "RecordingDialogs.h"
#include "eraser/EraseEngine.h"
#include "platform/win32/Win32Platform.h"
#include "settings/Schema.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

using Listing = std::set<std::string>;

constexpr const char* ShellFolderKey = "\\software\\TarnwickTest\\shell folders";
const std::string Cache[] = {"http://eraser.test/page.htm", "Cookie:tester@eraser.test/",
                             "Visited: tester@http://eraser.test/page.htm"};

std::string scratchRoot() {
  char buf[MAX_PATH];
  GetTempPathA(sizeof buf, buf);
  return std::string(buf) + "tarnwick-erase-" + std::to_string(GetCurrentProcessId());
}

void write(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  for (std::size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD done = 0;
  WriteFile(h, "x", 1, &done, nullptr);
  CloseHandle(h);
  SetFileAttributesA(path.c_str(), attributes);
}

// Every path below `root`, relative to it.
void list(const std::string& root, const std::string& relative, Listing& out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((root + "\\" + relative + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    out.insert(relative + name);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) list(root, relative + name + "\\", out);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

void removeAll(const std::string& path) {
  Listing all;
  list(path, "", all);
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    const std::string p = path + "\\" + *it;
    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(p.c_str())) RemoveDirectoryA(p.c_str());
  }
  RemoveDirectoryA(path.c_str());
}

LONGLONG recycleBinItems() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  return SUCCEEDED(SHQueryRecycleBinA(nullptr, &info)) ? info.i64NumItems : -1;
}

DWORD valueCount(const char* key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return MAXDWORD;
  DWORD values = 0, subkeys = 0;
  RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(k);
  return values + subkeys;
}

void setValue(const std::string& key, const char* name, const std::string& data) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
  RegCloseKey(k);
}

class EraserOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    removeAll(root_);
    setValue(ShellFolderKey + 1, "Cookies", root_ + "\\cookies");
    setValue(ShellFolderKey + 1, "Recent", root_ + "\\recent");
    setValue(ShellFolderKey + 1, "Cache", root_ + "\\cache");
    for (const char* f : {"cookies\\tester@a.txt", "cookies\\tester@b.txt", "cookies\\index.dat", "recent\\a.lnk",
                          "recent\\old\\b.lnk", "cache\\Content\\AB12\\page[1].htm", "cache\\top.js",
                          "temp\\plain.txt", "temp\\nest\\a\\deep.txt", "temp\\hiddendir\\inner.txt",
                          "temp\\locked.txt", "outside\\keep.txt"})
      write(root_ + "\\" + f);
    write(root_ + "\\temp\\readonly.txt", FILE_ATTRIBUTE_READONLY);
    write(root_ + "\\temp\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    write(root_ + "\\temp\\system.txt", FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesA((root_ + "\\temp\\hiddendir").c_str(), FILE_ATTRIBUTE_HIDDEN);
    held_ = CreateFileA((root_ + "\\temp\\locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held_, INVALID_HANDLE_VALUE);

    ASSERT_TRUE(cache_entries::commit(Cache[0], cache_entries::Content.type));
    ASSERT_TRUE(cache_entries::commit(Cache[1], cache_entries::Cookie.type));
    ASSERT_TRUE(cache_entries::commit(Cache[2], cache_entries::History.type));

    setValue(eraser::historyKeys::TypedUrls, "url1", "http://eraser.test/");
    setValue(eraser::historyKeys::RunMru, "a", "notepad\\1");
    setValue(std::string(eraser::historyKeys::RunMru) + "\\sub", "b", "x");
    setValue(eraser::historyKeys::FindMru, "a", "*.doc");

    write(root_ + "\\trash-me.txt");
    std::string from = root_ + "\\trash-me.txt";
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationA(&op), 0);
    ASSERT_GE(recycleBinItems(), 1);
  }
  void TearDown() override {
    if (browser_.hProcess) {
      TerminateProcess(browser_.hProcess, 0);
      WaitForSingleObject(browser_.hProcess, 5000);
      CloseHandle(browser_.hProcess);
      CloseHandle(browser_.hThread);
    }
    CloseHandle(held_);
    removeAll(root_);
    RegDeleteKeyA(HKEY_CURRENT_USER, ShellFolderKey + 1);
    RegDeleteKeyA(HKEY_CURRENT_USER, "software\\TarnwickTest");
    for (auto& c : eraser::EraseOrder) RegDeleteValueA(eraseKey(), c.flag);
  }
  static HKEY eraseKey() {
    static HKEY key = [] {
      HKEY k = nullptr;
      RegCreateKeyExA(HKEY_CURRENT_USER, "software\\Tarnwick\\erase", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                      nullptr);
      return k;
    }();
    return key;
  }
  void selectAll() {
    for (auto& c : eraser::EraseOrder) setValue("software\\Tarnwick\\erase", c.flag, "1");
  }
  Listing files() {
    Listing out;
    list(root_, "", out);
    return out;
  }
  std::set<std::string> cacheLeft() {
    std::set<std::string> left;
    for (const std::string& url : Cache)
      if (cache_entries::exists(url)) left.insert(url);
    return left;
  }
  // The stand-in browser next to the tests, with only a hidden window.
  void startBrowser() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string path = exe;
    path = path.substr(0, path.find_last_of('\\')) + "\\helpers\\iexplore.exe";
    std::string cmd = "\"" + path + "\" --quit-after 60000 --hidden-window \"Hidden - Microsoft Internet Explorer\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessA(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &browser_))
        << path;
    for (int i = 0; i < 100 && !FindWindowA("IEFrame", nullptr); ++i) Sleep(50);
    ASSERT_TRUE(FindWindowA("IEFrame", nullptr));
  }

  const std::string root_ = scratchRoot();
  HANDLE held_ = INVALID_HANDLE_VALUE;
  PROCESS_INFORMATION browser_{};
  platform::win32::Win32Platform win32_;
  RecordingDialogs dialogs_;
  ui::win32::Win32Toolkit tk_{dialogs_};
  platform::Platform& real_ = win32_.platform();
  platform::Platform p_{real_.registry, real_.windows, real_.clock,    real_.timers, dialogs_,
                        real_.tray,     real_.instance, real_.shell,   real_.help,   real_.gui,
                        real_.urlHistory, real_.files,  real_.processes, real_.urlCache,
                        real_.hotKeys,  real_.sound,    real_.locale,  real_.internet, real_.codeSigning};
  settings::TmRegistry reg5_{p_.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, ShellFolderKey, false};
  std::string tempFolder_ = root_ + "\\temp\\";
  std::unique_ptr<platform::UrlHistory> history_ = p_.urlHistory.create();
  eraser::TIECache cache_{p_.urlCache};
  eraser::EraseEngine engine_{p_, tk_, cache_, reg5_, tempFolder_, history_};
};

}  // namespace

TEST_F(EraserOnWine, EraseRemovesExactlyWhatEachSelectedCategoryCovers) {
  const Listing before = files();
  selectAll();
  setValue("software\\Tarnwick\\erase", "Cookies", "yes");  // not exactly "1": left out
  engine_.btnEraseClick();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_TRUE(dialogs_.messages.empty()) << "an erase shows nothing";

  // Cookie files stay with their category off; Recent, the cache folder and
  // the temp tree are emptied, except the file held open and the hidden folder.
  Listing expected;
  for (const std::string& p : before)
    if (p.rfind("cookies", 0) == 0 || p.rfind("outside", 0) == 0) expected.insert(p);
  for (const char* p : {"cache", "recent", "temp", "temp\\locked.txt", "temp\\hiddendir", "temp\\hiddendir\\inner.txt"})
    expected.insert(p);
  EXPECT_EQ(files(), expected);
  EXPECT_EQ(cacheLeft(), std::set<std::string>{Cache[1]}) << "cookie entries go with the cookies only";
  for (const char* key : {eraser::historyKeys::TypedUrls, eraser::historyKeys::RunMru, eraser::historyKeys::FindMru})
    EXPECT_EQ(valueCount(key), 0u) << key << " is there and empty";
  EXPECT_EQ(recycleBinItems(), 0);

  // The cookies on their own: only the "*.txt" files and the cookie entries.
  engine_.Erase(eraser::Category::Cookies);
  EXPECT_FALSE(files().count("cookies\\tester@a.txt"));
  EXPECT_TRUE(files().count("cookies\\index.dat"));
  EXPECT_TRUE(cacheLeft().empty());

  // A temp tree left holding a file held open deep in it is passed over
  // until something changes in one of its folders: a file arriving beside
  // the held one goes at one of the next erases, well within the while.
  write(root_ + "\\temp\\deep\\held.txt");
  HANDLE deepHeld = CreateFileA((root_ + "\\temp\\deep\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(deepHeld, INVALID_HANDLE_VALUE);
  engine_.Erase(eraser::Category::TempFolder);
  write(root_ + "\\temp\\deep\\late.txt");
  for (int i = 0; i < 30 && files().count("temp\\deep\\late.txt"); ++i) {
    Sleep(100);
    engine_.Erase(eraser::Category::TempFolder);
  }
  EXPECT_FALSE(files().count("temp\\deep\\late.txt"));
  EXPECT_TRUE(files().count("temp\\deep\\held.txt"));
  CloseHandle(deepHeld);
}

TEST_F(EraserOnWine, ABrowserWithOnlyAHiddenWindowStopsEveryEraseButTheRecycleBin) {
  const Listing before = files();
  selectAll();
  startBrowser();
  const std::vector<std::string> once = {eraser::CloseBrowserMessage};
  const std::vector<std::string> twice = {eraser::CloseBrowserMessage, eraser::CloseBrowserMessage};

  engine_.btnEraseClick();
  EXPECT_EQ(dialogs_.messages, once);
  engine_.Erase(eraser::Category::TempFolder);
  EXPECT_EQ(dialogs_.messages, twice);
  EXPECT_EQ(files(), before);
  EXPECT_EQ(cacheLeft().size(), 3u);
  EXPECT_EQ(valueCount(eraser::historyKeys::TypedUrls), 1u);

  engine_.Erase(eraser::Category::RecycleBin);
  EXPECT_EQ(dialogs_.messages, twice);
  EXPECT_EQ(recycleBinItems(), 0);
}
