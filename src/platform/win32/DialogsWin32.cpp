#include "platform/win32/DialogsWin32.h"
#include <windows.h>

namespace platform::win32 {

namespace {

int show(const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), type | MB_TASKMODAL);
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

}  // namespace platform::win32
