#include "platform/win32/InstanceWin32.h"
#include <windows.h>

namespace platform::win32 {

bool Instance::claim(const std::string& name) {
  SetLastError(0);
  HANDLE h = CreateMutexA(nullptr, TRUE, name.c_str());
  DWORD err = GetLastError();
  if (!h) return false;
  handles_.push_back(h);
  return err == 0;
}

}  // namespace platform::win32
