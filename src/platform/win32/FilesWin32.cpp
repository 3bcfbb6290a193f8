#include "platform/win32/FilesWin32.h"
#include <windows.h>

namespace platform::win32 {

std::string Files::tempFolder() {
  char buf[257];
  DWORD n = GetTempPathA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return "";  // failed, or the path does not fit
  return std::string(buf, n);
}

std::string programFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return "";  // longer than any Windows path
    path.resize(path.size() * 2);
  }
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace platform::win32
