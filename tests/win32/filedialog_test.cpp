// The platform's open and save dialogs as the block list's import and export
// show them: title, filter, initial folder and proposed name reach the real
// dialog, the chosen path comes back, and a cancel gives nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <thread>
#include "platform/win32/DialogsWin32.h"

namespace {

// Control ids of the dialog: the file name box and the file type box.
constexpr int FileNameCombo = 0x47c;
constexpr int FileNameEdit = 0x480;
constexpr int FileTypeCombo = 0x470;

struct Seen {
  std::string fileName, fileType, folder;
  bool found = false;
};

std::string text(HWND w) {
  char buf[MAX_PATH] = "";
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

// Waits on another thread for the dialog with this title, reads what it
// shows, then either types `answer` and presses OK or cancels.
std::thread answerDialog(const char* title, Seen& seen, const std::string& answer) {
  return std::thread([title, &seen, answer] {
    HWND dlg = nullptr;
    for (int i = 0; i < 200 && !dlg; ++i, Sleep(50)) dlg = FindWindowA("#32770", title);
    if (!dlg) return;
    Sleep(300);  // filled in after it appears
    seen.found = true;
    HWND name = GetDlgItem(dlg, FileNameCombo);
    if (!name) name = GetDlgItem(dlg, FileNameEdit);
    seen.fileName = text(name);
    HWND type = GetDlgItem(dlg, FileTypeCombo);
    const LRESULT sel = SendMessageA(type, CB_GETCURSEL, 0, 0);
    char buf[MAX_PATH] = "";
    if (sel >= 0) SendMessageA(type, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(buf));
    seen.fileType = buf;
    char folder[MAX_PATH] = "";
    SendMessageA(dlg, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
    seen.folder = folder;
    if (answer.empty()) {
      PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    } else {
      SetWindowTextA(name, answer.c_str());
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    }
  });
}

std::string scratch() {
  char buf[MAX_PATH];
  GetTempPathA(sizeof buf, buf);
  std::string folder = std::string(buf) + "tarnwick-dialogs-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

bool sameFolder(const std::string& a, const std::string& b) {
  auto trim = [](std::string s) {
    while (!s.empty() && s.back() == '\\') s.pop_back();
    return s;
  };
  return lstrcmpiA(trim(a).c_str(), trim(b).c_str()) == 0;
}

}  // namespace

TEST(FileDialogs, ImportShowsItsOptionsAndReturnsTheChoiceOrNothing) {
  const std::string folder = scratch();
  const std::string list = folder + "\\tarnwick_block.txt";
  HANDLE f = CreateFileA(list.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(f);
  platform::win32::Dialogs dialogs;
  const platform::FileDialogOptions import{"Import Block List...", "Text file (*.txt)|*.txt", folder,
                                           "tarnwick_block.txt", ""};

  Seen seen;
  std::thread user = answerDialog("Import Block List...", seen, "tarnwick_block.txt");
  const std::optional<std::string> chosen = dialogs.openFile(0, import);
  user.join();
  ASSERT_TRUE(seen.found) << "no dialog titled Import Block List...";
  EXPECT_EQ(seen.fileName, "tarnwick_block.txt");
  EXPECT_EQ(seen.fileType, "Text file (*.txt)");
  EXPECT_TRUE(sameFolder(seen.folder, folder)) << seen.folder;
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(lstrcmpiA(chosen->c_str(), list.c_str()), 0) << *chosen;

  Seen cancelled;
  user = answerDialog("Import Block List...", cancelled, "");
  EXPECT_FALSE(dialogs.openFile(0, import).has_value());
  user.join();
  EXPECT_TRUE(cancelled.found);
  DeleteFileA(list.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(FileDialogs, ExportReplacesAnExistingFileWithoutAsking) {
  const std::string folder = scratch();
  const std::string target = folder + "\\mine.txt";
  HANDLE f = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(f);
  platform::win32::Dialogs dialogs;
  const platform::FileDialogOptions exportOptions{"Export Block List...", "Text file (*.txt)|*.txt", folder, "", ""};

  Seen seen;
  std::thread user = answerDialog("Export Block List...", seen, "mine.txt");
  const std::optional<std::string> chosen = dialogs.saveFile(0, exportOptions);
  user.join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.fileName, "");
  EXPECT_TRUE(sameFolder(seen.folder, folder)) << seen.folder;
  // No question about replacing it: the path comes back at once.
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(lstrcmpiA(chosen->c_str(), target.c_str()), 0) << *chosen;
  DeleteFileA(target.c_str());
  RemoveDirectoryA(folder.c_str());
}
