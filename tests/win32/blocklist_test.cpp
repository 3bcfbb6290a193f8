// The block list store on the real file system: the list file written byte
// for byte through a temporary file that does not stay behind, a target that
// cannot be replaced left as it was (and said so once), and the program's
// folder used whatever the current directory is.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>
#include "RecordingDialogs.h"
#include "platform/win32/FilesWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "popup/BlockListStore.h"
#include "settings/OwnFolder.h"
#include "settings/Schema.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/win32/Win32Toolkit.h"

namespace w32 = platform::win32;
using Lines = std::vector<std::string>;

namespace {

// The real file service with the program's folder moved to a scratch folder.
class ScratchFiles : public w32::Files {
 public:
  explicit ScratchFiles(std::string folder) : folder_(std::move(folder)) {}
  std::string programFolder() override { return folder_; }

 private:
  std::string folder_;
};

// File dialogs answered with queued paths.
class AnsweringDialogs : public RecordingDialogs {
 public:
  std::optional<std::string> openFile(platform::WindowId, const platform::FileDialogOptions&) override {
    return next();
  }
  std::optional<std::string> saveFile(platform::WindowId, const platform::FileDialogOptions&) override {
    return next();
  }
  std::deque<std::string> answers;

 private:
  std::optional<std::string> next() {
    if (answers.empty()) return std::nullopt;
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
};

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeBytes(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

class BlockListFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "tarnwick-blocklist-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    listFile_ = folder_ + "tarnwick_block.txt";
    tk_.setTitle("Tarnwick v3.4.1");
  }
  void TearDown() override {
    SetCurrentDirectoryA(temp().c_str());
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder_ + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::string path = folder_ + fd.cFileName;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(folder_.c_str());
  }
  static std::string temp() {
    char t[MAX_PATH];
    GetTempPathA(MAX_PATH, t);
    return t;
  }
  // Every file in the scratch folder.
  Lines folderFiles() {
    Lines out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder_ + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end());
    return out;
  }
  void handle(const std::function<void()>& op) { tk_.dispatch(op); }

  std::string folder_, listFile_;
  AnsweringDialogs dialogs_;
  ui::win32::Win32Toolkit tk_{dialogs_};
  w32::Registry registry_;
  settings::TmRegistry counter_{registry_, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Counter,
                                true};
  ui::Form owner_{tk_, "frmBlockList"};
  ui::ListBox lbBlock_{&owner_, "lbBlock"};
};

}  // namespace

TEST_F(BlockListFile, SavesExactBytesThroughATemporaryFileThatDoesNotStay) {
  ScratchFiles files(folder_);
  settings::OwnFolder ownFolder(files, dialogs_, tk_);
  popup::BlockListStore store(files, dialogs_, ownFolder, owner_, lbBlock_, counter_);
  lbBlock_.setSorted(true);
  writeBytes(listFile_, "b\na\rc\r\n\r\nd");

  // Whatever the current directory, the list lives in the program's folder.
  SetCurrentDirectoryA(temp().c_str());
  store.LoadBlockList();
  EXPECT_EQ(lbBlock_.items(), (Lines{"", "a", "b", "c", "d"}));
  EXPECT_TRUE(store.AddBlockEntry("B b"));
  EXPECT_EQ(readBytes(listFile_), "\r\na\r\nb\r\nB b\r\nc\r\nd\r\n");
  EXPECT_EQ(folderFiles(), (Lines{"tarnwick_block.txt"}));

  store.ClearBlockList();
  EXPECT_EQ(readBytes(listFile_), "");
  EXPECT_EQ(folderFiles(), (Lines{"tarnwick_block.txt"}));

  // Export to another file of the folder, then back.
  store.AddBlockEntry("x\xe9y");  // 8-bit text goes through as it is
  dialogs_.answers = {folder_ + "export.txt"};
  store.ExportBlockList();
  EXPECT_EQ(readBytes(folder_ + "export.txt"), "x\xe9y\r\n");
  lbBlock_.clear();
  dialogs_.answers = {folder_ + "export.txt"};
  store.ImportBlockList();
  EXPECT_EQ(lbBlock_.items(), (Lines{"x\xe9y"}));
  EXPECT_EQ(folderFiles(), (Lines{"export.txt", "tarnwick_block.txt"}));
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(BlockListFile, AFileThatCannotBeReplacedStaysAsItWas) {
  ScratchFiles files(folder_);
  settings::OwnFolder ownFolder(files, dialogs_, tk_);
  popup::BlockListStore store(files, dialogs_, ownFolder, owner_, lbBlock_, counter_);
  const std::string old = "one\r\ntwo\r\n";
  writeBytes(listFile_, old);
  store.LoadBlockList();

  // Held open without sharing by another program.
  HANDLE held = CreateFileA(listFile_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  handle([&] { store.AddBlockEntry("three"); });
  CloseHandle(held);
  EXPECT_EQ(dialogs_.errors, (Lines{"Tarnwick v3.4.1: Cannot create file " + listFile_}));
  EXPECT_EQ(readBytes(listFile_), old);
  EXPECT_EQ(folderFiles(), (Lines{"tarnwick_block.txt"}));

  // Read-only: refused as well, and not said twice.
  SetFileAttributesA(listFile_.c_str(), FILE_ATTRIBUTE_READONLY);
  handle([&] { store.ClearBlockList(); });
  EXPECT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(readBytes(listFile_), old);
  EXPECT_EQ(folderFiles(), (Lines{"tarnwick_block.txt"}));

  // A list file that cannot be read: reported, the list is empty.
  SetFileAttributesA(listFile_.c_str(), FILE_ATTRIBUTE_NORMAL);
  held = CreateFileA(listFile_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  handle([&] { store.LoadBlockList(); });
  CloseHandle(held);
  ASSERT_EQ(dialogs_.errors.size(), 2u);
  EXPECT_EQ(dialogs_.errors.back(), "Tarnwick v3.4.1: Cannot open file " + listFile_);
  EXPECT_TRUE(lbBlock_.items().empty());

  // No list file yet, as before the first save: an empty list, nothing said.
  DeleteFileA(listFile_.c_str());
  handle([&] { store.LoadBlockList(); });
  EXPECT_EQ(dialogs_.errors.size(), 2u);
  EXPECT_TRUE(lbBlock_.items().empty());
}
