#include "platform/win32/DialogsWin32.h"
#include <windows.h>
#include <commdlg.h>
#include <algorithm>
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

// The box comes to the front with the keyboard, also while another
// program's window is in front; once it has closed, the window that had the
// foreground before gets it back (the box's owner, or that other program's
// window when the box had none).
int show(const std::string& text, const std::string& caption, UINT type) {
  HWND front = GetForegroundWindow();
  const int answer =
      MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), type | MB_TASKMODAL | MB_SETFOREGROUND);
  if (front && IsWindow(front) && IsWindowVisible(front) && GetForegroundWindow() != front) SetForegroundWindow(front);
  return answer;
}

// Runs one file dialog; `open` picks GetOpenFileNameW, otherwise GetSaveFileNameW.
// Title and filter are the program's ANSI texts; folder and names are paths.
std::optional<std::string> fileDialog(bool open, WindowId owner, const FileDialogOptions& o) {
  std::wstring filter = wideFromAnsi(o.filter);  // "a|b|c|d" becomes "a\0b\0c\0d\0\0"
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.append(2, L'\0');
  const std::wstring title = wideFromAnsi(o.title), defaultExt = wideFromAnsi(o.defaultExt);
  const std::wstring folder = widePath(o.initialFolder).value_or(L"");
  const std::wstring name = widePath(o.fileName).value_or(L"");
  std::wstring file(32768, L'\0');
  name.copy(file.data(), std::min(name.size(), file.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = reinterpret_cast<HWND>(owner);
  ofn.lpstrFilter = o.filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST : 0);
  BOOL chosen = open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return pathFromWide(file.c_str());
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
