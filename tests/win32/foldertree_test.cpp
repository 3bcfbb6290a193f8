// DeleteFolderTree over the real file system: a temp tree with read-only,
// hidden and system files, hidden and nested folders, files held open
// without sharing, a folder link that points outside the tree, and a tree
// 200 deep named in several scripts, its paths far past MAX_PATH.
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <set>
#include <string>
#include <vector>
#include "eraser/FolderTree.h"
#include "platform/win32/FilesWin32.h"
#include "platform/win32/WideText.h"

namespace {

using Listing = std::set<std::string>;

std::string tempFolder(const char* name) {
  char buf[MAX_PATH];
  GetTempPathA(sizeof buf, buf);
  return std::string(buf) + name + "-" + std::to_string(GetCurrentProcessId()) + "\\";
}

bool exists(const std::string& path) {
  return GetFileAttributesW(platform::win32::widePath(path)->c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool underWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Wine runs Unix programs too; this is the only way a test there can make or
// remove a link (see makeLink). Empty when not under Wine.
std::string unixPath(const std::string& dos) {
  using UnixNameFn = char*(CDECL*)(const WCHAR*);
  auto unixName = reinterpret_cast<UnixNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return "";
  char* u = unixName(platform::win32::widePath(dos)->c_str());
  std::string s = u ? u : "";
  HeapFree(GetProcessHeap(), 0, u);
  return s;
}

// Wine starts a Unix program without a process handle to wait on, so this
// waits (bounded) for its effect instead.
bool runUnix(std::string cmd, const std::function<bool()>& done) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = *platform::win32::widePath(cmd);  // Unix paths are UTF-8
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
  return done();
}

// Makes a symbolic link to a file or a folder. Wine has no call that makes
// one from Windows code (CreateSymbolicLinkA reports success and makes
// nothing, FSCTL_SET_REPARSE_POINT is not supported), but there `ln -s`
// makes a Unix link. Wine reports a link to a folder with the link mark
// (attributes 0x410) and a link to a file as a plain file.
bool makeLink(const std::string& link, std::string target, bool folder) {
  if (target.back() == '\\') target.pop_back();
  if (CreateSymbolicLinkA(link.c_str(), target.c_str(), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) &&
      exists(link))
    return true;
  return underWine() && runUnix("/bin/ln -s \"" + unixPath(target) + "\" \"" + unixPath(link) + "\"",
                                [&] { return exists(link); });
}

// Removes a folder and everything in it, links without what they point to.
// Under Wine RemoveDirectoryA on a link removes an empty target instead, so
// there the Unix side does it.
void wipe(const std::string& folder) {
  if (underWine()) {
    // Only when there is something to remove: the wait ends on the effect.
    if (exists(folder)) runUnix("/bin/rm -rf \"" + unixPath(folder) + "\"", [&] { return !exists(folder); });
    return;
  }
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &d);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = d.cFileName, path = folder + name;
      if (name == "." || name == "..") continue;
      if (d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!RemoveDirectoryA(path.c_str())) DeleteFileA(path.c_str());
        continue;
      }
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        wipe(path + "\\");
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(h, &d));
    FindClose(h);
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

// Every path below `folder`, relative to it; links are listed, not entered.
void list(const std::string& folder, const std::string& prefix, Listing& out) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = d.cFileName;
    if (name == "." || name == "..") continue;
    out.insert(prefix + name);
    if ((d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      list(folder + name + "\\", prefix + name + "\\", out);
  } while (FindNextFileA(h, &d));
  FindClose(h);
}

Listing listing(const std::string& folder) {
  Listing out;
  list(folder, "", out);
  return out;
}

// A full path in the long form, as UTF-16.
std::wstring longForm(const std::string& path) { return L"\\\\?\\" + *platform::win32::widePath(path); }

// The same listing through the wide calls, names as UTF-8, paths of any length.
void listWide(const std::string& folder, const std::string& prefix, Listing& out) {
  WIN32_FIND_DATAW d;
  HANDLE h = FindFirstFileW((longForm(folder) + L"*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = platform::win32::pathFromWide(d.cFileName).value_or("?");
    if (name == "." || name == "..") continue;
    out.insert(prefix + name);
    if ((d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(d.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      listWide(folder + name + "\\", prefix + name + "\\", out);
  } while (FindNextFileW(h, &d));
  FindClose(h);
}

DWORD searchedAttributes(const std::string& path) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA(path.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return INVALID_FILE_ATTRIBUTES;
  FindClose(h);
  return d.dwFileAttributes;
}

class FolderTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wipe(root_);
    wipe(outside_);
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr)) << "a tree left by an earlier run: " << root_;
  }
  void TearDown() override {
    for (HANDLE h : held_) CloseHandle(h);
    wipe(root_);  // first: it may hold links into the other folder
    wipe(outside_);
  }

  std::string at(const std::string& rel) const { return root_ + rel; }
  void folder(const std::string& rel, DWORD attributes = 0) {
    ASSERT_TRUE(CreateDirectoryA(at(rel).c_str(), nullptr)) << rel;
    setMarks(rel, attributes);
  }
  void file(const std::string& rel, DWORD attributes = 0) {
    HANDLE h =
        CreateFileA(at(rel).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << rel;
    DWORD done = 0;
    WriteFile(h, "data", 4, &done, nullptr);
    CloseHandle(h);
    setMarks(rel, attributes);
  }
  // A file this test keeps open without sharing until it ends.
  void heldFile(const std::string& rel) {
    HANDLE h = CreateFileA(at(rel).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << rel;
    held_.push_back(h);
  }
  void setMarks(const std::string& rel, DWORD attributes) {
    if (attributes == 0) return;
    ASSERT_TRUE(SetFileAttributesA(at(rel).c_str(), attributes)) << rel;
    ASSERT_EQ(GetFileAttributesA(at(rel).c_str()) & attributes, attributes) << rel << ": marks not kept";
  }

  platform::win32::Files files_;
  const std::string root_ = tempFolder("tarnwick-tree");
  const std::string outside_ = tempFolder("tarnwick-outside");  // what links point to

 private:
  std::vector<HANDLE> held_;
};

TEST_F(FolderTreeTest, EmptiesTheTreeButLeavesHeldFilesAndHiddenOrSystemFolders) {
  file("a.txt");
  file("ro.txt", FILE_ATTRIBUTE_READONLY);
  file("hid.txt", FILE_ATTRIBUTE_HIDDEN);
  file("sys.dat", FILE_ATTRIBUTE_SYSTEM);
  file("all.dat", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  heldFile("held.tmp");
  folder("sub");
  file("sub\\x.txt", FILE_ATTRIBUTE_READONLY);
  folder("sub\\deep");
  file("sub\\deep\\y.txt", FILE_ATTRIBUTE_HIDDEN);
  folder("sub\\deep\\empty");
  folder("hidden");
  file("hidden\\keep.txt");
  setMarks("hidden", FILE_ATTRIBUTE_HIDDEN);
  folder("system");
  file("system\\keep.txt");
  setMarks("system", FILE_ATTRIBUTE_SYSTEM);
  folder("busy");
  file("busy\\gone.txt");
  heldFile("busy\\held.dat");

  eraser::DeleteFolderTree(files_, root_, "*.*", true);

  EXPECT_EQ(listing(root_), (Listing{"busy", "busy\\held.dat", "held.tmp", "hidden", "hidden\\keep.txt",
                                     "system", "system\\keep.txt"}));
  EXPECT_TRUE(exists(root_)) << "the given folder stays";
  EXPECT_EQ(GetFileAttributesA(at("hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN,
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN))
      << "a hidden folder keeps its mark: it is not touched";
}

TEST_F(FolderTreeTest, MaskOnlyInTheFolderWhenSubFoldersAreLeftOut) {
  file("a.txt");
  file("b.TXT", FILE_ATTRIBUTE_READONLY);
  file("c.log");
  folder("sub");
  file("sub\\d.txt");

  eraser::DeleteFolderTree(files_, root_, "*.txt", false);
  EXPECT_EQ(listing(root_), (Listing{"c.log", "sub", "sub\\d.txt"}));

  // An empty folder path is no folder: not even the current one is touched.
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
  eraser::DeleteFolderTree(files_, "", "*.*", true);
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(listing(root_), (Listing{"c.log", "sub", "sub\\d.txt"}));
}

// What links do here, which is why the tree deletion never removes one.
TEST_F(FolderTreeTest, WineTakesALinkForWhatItPointsTo) {
  if (!underWine()) GTEST_SKIP() << "Wine's own behaviour";
  for (const char* name : {"", "empty", "full"})
    ASSERT_TRUE(CreateDirectoryA((outside_ + name).c_str(), nullptr));
  HANDLE h =
      CreateFileA((outside_ + "full\\file.doc").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  ASSERT_TRUE(makeLink(at("toEmpty"), outside_ + "empty", true));
  ASSERT_TRUE(makeLink(at("toFull"), outside_ + "full", true));
  ASSERT_TRUE(makeLink(at("toFile"), outside_ + "full\\file.doc", false));

  EXPECT_EQ(searchedAttributes(at("toFull")),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(searchedAttributes(at("toFile")), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE))
      << "a file link looks plain";
  EXPECT_FALSE(RemoveDirectoryA(at("toFull").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_TRUE(RemoveDirectoryA(at("toEmpty").c_str()));
  EXPECT_FALSE(exists(outside_ + "empty")) << "the folder the link points to is gone, the link stays";
  EXPECT_TRUE(DeleteFileA(at("toFile").c_str()));
  EXPECT_FALSE(exists(outside_ + "full\\file.doc")) << "so is the file";
}

TEST_F(FolderTreeTest, AFolderLinkIsNeverFollowedAndWhatItPointsToStays) {
  for (const char* name : {"", "inner", "empty"})
    ASSERT_TRUE(CreateDirectoryA((outside_ + name).c_str(), nullptr));
  for (const char* name : {"precious.doc", "inner\\more.doc"}) {
    HANDLE h = CreateFileA((outside_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
  }
  file("a.tmp");
  folder("sub");
  if (!makeLink(at("sub\\link"), outside_, true) || !makeLink(at("toEmpty"), outside_ + "empty", true))
    GTEST_SKIP() << "no way to make a folder link on this system";
  ASSERT_EQ(searchedAttributes(at("sub\\link")) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));

  eraser::DeleteFolderTree(files_, root_, "*.*", true);

  EXPECT_EQ(listing(outside_), (Listing{"empty", "inner", "inner\\more.doc", "precious.doc"}));
  EXPECT_EQ(listing(root_), (Listing{"sub", "sub\\link", "toEmpty"}))
      << "links stay, and so does their folder";
}

TEST_F(FolderTreeTest, ATreeTwoHundredDeepPastMaxPathInAnyScriptGoesButNotWhereALinkLeads) {
  ASSERT_TRUE(CreateDirectoryA(outside_.c_str(), nullptr));
  HANDLE h = CreateFileA((outside_ + "precious.doc").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  const char* names[] = {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.txt",  // Привет.txt
                         "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC.doc",                  // Γειά.doc
                         "\xE4\xBD\xA0\xE5\xA5\xBD.htm",                           // 你好.htm
                         "\xF0\x9F\x98\x80.txt"};                                  // an emoji
  auto make = [&](const std::string& path, DWORD attributes) {
    HANDLE f = CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path.size();
    CloseHandle(f);
  };
  std::string deep = root_;
  for (int level = 0; level < 200; ++level) {
    deep += "\xCE\xA9" + std::to_string(level % 10) + "\\";  // Ω0\Ω1\...
    ASSERT_TRUE(CreateDirectoryW(longForm(deep).c_str(), nullptr)) << level;
    if (level % 50 == 49) make(deep + names[level / 50], level == 199 ? FILE_ATTRIBUTE_READONLY : 0);
  }
  ASSERT_GT(platform::win32::widePath(deep)->size(), 600u) << "characters in the deepest folder's path";
  for (const char* name : names) make(root_ + name, 0);
  const std::string link = at("\xD0\xA1\xD1\x81\xD1\x8B\xD0\xBB\xD0\xBA\xD0\xB0");  // Ссылка
  if (!makeLink(link, outside_, true)) GTEST_SKIP() << "no way to make a folder link on this system";

  eraser::DeleteFolderTree(files_, root_, "*.*", true);

  Listing left;
  listWide(root_, "", left);
  EXPECT_EQ(left, Listing{link.substr(root_.size())}) << "every file and folder goes, the link stays";
  EXPECT_EQ(listing(outside_), Listing{"precious.doc"}) << "nothing where the link leads is touched";
  EXPECT_TRUE(exists(root_));
}

// A path that is not UTF-8 names no file: the call fails with the system's
// "no mapping" error, and the file the bytes would mean in the code page
// (café.txt, with the ANSI é) stays.
TEST_F(FolderTreeTest, APathThatIsNotUtf8ReachesNoFile) {
  file("caf\xE9.txt");  // made by the ANSI call: café.txt
  SetLastError(0);
  EXPECT_FALSE(files_.deleteFile(at("caf\xE9.txt")));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  eraser::DeleteFolderTree(files_, at("caf\xE9\\"), "*.*", true);
  EXPECT_EQ(listing(root_), Listing{"caf\xE9.txt"});
}

}  // namespace

// What the erase preview asks before it counts a file as deleted: a file
// held open, without sharing or sharing everything (as the cache holds its
// index), is in use: the one cannot be deleted, the other stays until its
// holder lets it go. Asking changes nothing.
TEST_F(FolderTreeTest, AFileHeldOpenIsInUseAndAskingChangesNothing) {
  file("plain.txt");
  file("ro.txt", FILE_ATTRIBUTE_READONLY);
  heldFile("held.tmp");
  file("shared.dat");
  HANDLE shared = CreateFileA(at("shared.dat").c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(shared, INVALID_HANDLE_VALUE);

  EXPECT_FALSE(files_.inUse(at("plain.txt")));
  EXPECT_FALSE(files_.inUse(at("ro.txt")));
  EXPECT_TRUE(files_.inUse(at("held.tmp")));
  EXPECT_TRUE(files_.inUse(at("shared.dat")));
  EXPECT_FALSE(files_.inUse(at("missing.txt")));
  EXPECT_EQ(listing(root_), (Listing{"held.tmp", "plain.txt", "ro.txt", "shared.dat"}));
  EXPECT_EQ(GetFileAttributesA(at("ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(DeleteFileA(at("held.tmp").c_str()));
  DeleteFileA(at("shared.dat").c_str());
  EXPECT_TRUE(exists(at("shared.dat"))) << "a file shared for deletion stays while it is held";
  EXPECT_TRUE(DeleteFileA(at("plain.txt").c_str())) << "asking left the file free";
  CloseHandle(shared);
}
