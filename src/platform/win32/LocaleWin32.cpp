#include "platform/win32/LocaleWin32.h"
#include <windows.h>

namespace platform::win32 {

std::string Locale::thousandSeparator() {
  char sep[8] = "";
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, sizeof sep);
  return n > 1 ? std::string(sep, n - 1) : std::string();
}

}  // namespace platform::win32
