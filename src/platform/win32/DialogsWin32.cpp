#include "platform/win32/DialogsWin32.h"
#include <windows.h>
#include <commdlg.h>
#include <algorithm>

namespace platform::win32 {

namespace {

int show(const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), type | MB_TASKMODAL);
}

// Runs one file dialog; `open` picks GetOpenFileNameA, otherwise GetSaveFileNameA.
std::optional<std::string> fileDialog(bool open, WindowId owner, const FileDialogOptions& o) {
  std::string filter = o.filter;  // "a|b|c|d" becomes "a\0b\0c\0d\0\0"
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.append(2, '\0');
  std::string file(32768, '\0');
  o.fileName.copy(file.data(), std::min(o.fileName.size(), file.size() - 1));
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = reinterpret_cast<HWND>(owner);
  ofn.lpstrFilter = o.filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = o.initialFolder.empty() ? nullptr : o.initialFolder.c_str();
  ofn.lpstrTitle = o.title.empty() ? nullptr : o.title.c_str();
  ofn.lpstrDefExt = o.defaultExt.empty() ? nullptr : o.defaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST : 0);
  BOOL chosen = open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
  if (!chosen) return std::nullopt;
  return std::string(file.c_str());
}

}  // namespace

void Dialogs::message(const std::string& text, const std::string& caption) {
  show(text, caption, MB_OK | MB_ICONINFORMATION);
}

bool Dialogs::question(const std::string& text, const std::string& caption) {
  return show(text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Dialogs::error(const std::string& text, const std::string& caption) {
  show(text, caption, MB_OK | MB_ICONERROR);
}

std::optional<std::string> Dialogs::openFile(WindowId owner, const FileDialogOptions& options) {
  return fileDialog(true, owner, options);
}

std::optional<std::string> Dialogs::saveFile(WindowId owner, const FileDialogOptions& options) {
  return fileDialog(false, owner, options);
}

}  // namespace platform::win32
