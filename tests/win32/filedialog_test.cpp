// The platform's open and save dialogs as the block list's import and export
// show them: title, filter, initial folder and proposed name reach the real
// dialog, the chosen path comes back, and a cancel gives nothing. The
// folder and the names are Cyrillic: a path is kept whole both ways.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <thread>
#include "platform/win32/DialogsWin32.h"
#include "platform/win32/FilesWin32.h"
#include "platform/win32/WideText.h"

namespace {

// Control ids of the dialog: the file name box and the file type box.
constexpr int FileNameCombo = 0x47c;
constexpr int FileNameEdit = 0x480;
constexpr int FileTypeCombo = 0x470;

struct Seen {
  std::string fileName, fileType, folder;
  bool found = false;
};

using platform::win32::pathFromWide;
using platform::win32::widePath;

constexpr const char* Folder = "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";  // Папка
constexpr const char* ListName = "\xD0\xA1\xD0\xBF\xD0\xB8\xD1\x81\xD0\xBE\xD0\xBA.txt";  // Список.txt

std::string text(HWND w) {
  wchar_t buf[MAX_PATH] = L"";
  GetWindowTextW(w, buf, MAX_PATH);
  return pathFromWide(buf).value_or("?");
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
    wchar_t folder[MAX_PATH] = L"";
    SendMessageW(dlg, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    seen.folder = pathFromWide(folder).value_or("?");
    if (answer.empty()) {
      PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    } else {
      SetWindowTextW(name, widePath(answer)->c_str());
      PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    }
  });
}

std::string scratch() {
  char buf[MAX_PATH];
  GetTempPathA(sizeof buf, buf);
  std::string folder = std::string(buf) + "tarnwick-dialogs-" + std::to_string(GetCurrentProcessId()) + "-" + Folder;
  CreateDirectoryW(widePath(folder)->c_str(), nullptr);
  return folder;
}

bool samePath(const std::string& a, const std::string& b) {
  auto trim = [](std::string s) {
    while (!s.empty() && s.back() == '\\') s.pop_back();
    return *widePath(s);
  };
  return lstrcmpiW(trim(a).c_str(), trim(b).c_str()) == 0;
}

void touch(const std::string& path) { CloseHandle(CreateFileW(widePath(path)->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)); }

}  // namespace

TEST(FileDialogs, ImportShowsItsOptionsAndReturnsTheChoiceOrNothing) {
  const std::string folder = scratch();
  const std::string list = folder + "\\" + ListName;
  touch(list);
  platform::win32::Dialogs dialogs;
  const platform::FileDialogOptions import{"Import Block List...", "Text file (*.txt)|*.txt", folder,
                                           ListName, ""};

  Seen seen;
  std::thread user = answerDialog("Import Block List...", seen, ListName);
  const std::optional<std::string> chosen = dialogs.openFile(0, import);
  user.join();
  ASSERT_TRUE(seen.found) << "no dialog titled Import Block List...";
  EXPECT_EQ(seen.fileName, ListName);
  EXPECT_EQ(seen.fileType, "Text file (*.txt)");
  EXPECT_TRUE(samePath(seen.folder, folder)) << seen.folder;
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(samePath(*chosen, list)) << *chosen;

  Seen cancelled;
  user = answerDialog("Import Block List...", cancelled, "");
  EXPECT_FALSE(dialogs.openFile(0, import).has_value());
  user.join();
  EXPECT_TRUE(cancelled.found);
  DeleteFileW(widePath(list)->c_str());
  RemoveDirectoryW(widePath(folder)->c_str());
}

TEST(FileDialogs, ExportReplacesAnExistingFileWithoutAsking) {
  const std::string folder = scratch();
  const std::string target = folder + "\\" + ListName;
  touch(target);
  platform::win32::Dialogs dialogs;
  const platform::FileDialogOptions exportOptions{"Export Block List...", "Text file (*.txt)|*.txt", folder, "", ""};

  Seen seen;
  std::thread user = answerDialog("Export Block List...", seen, ListName);
  const std::optional<std::string> chosen = dialogs.saveFile(0, exportOptions);
  user.join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.fileName, "");
  EXPECT_TRUE(samePath(seen.folder, folder)) << seen.folder;
  // No question about replacing it: the path comes back at once.
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(samePath(*chosen, target)) << *chosen;
  // The list's bytes reach that path as they are: ANSI text.
  platform::win32::Files files;
  const std::string ansi = "Ads\r\nCaf\xE9\r\n";
  ASSERT_TRUE(files.writeFile(*chosen, ansi));
  EXPECT_EQ(files.readFile(target), ansi);
  DeleteFileW(widePath(target)->c_str());
  RemoveDirectoryW(widePath(folder)->c_str());
}
