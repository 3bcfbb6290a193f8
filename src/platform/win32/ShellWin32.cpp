#include "platform/win32/ShellWin32.h"
#include <windows.h>
#include <shellapi.h>
#include "platform/win32/ComWin32.h"

namespace platform::win32 {

void Shell::execute(WindowId owner, const std::string& verb, const std::string& file) {
  // Shell extensions that ShellExecute may run expect COM on the thread.
  ensureComApartment();
  ShellExecuteA(reinterpret_cast<HWND>(owner), verb.empty() ? nullptr : verb.c_str(), file.c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

}  // namespace platform::win32
