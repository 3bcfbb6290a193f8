// argslog.exe: a stand-in for the program the system opens a URL scheme
// with. It appends each of its arguments after the first, one per line, to
// the file named by the first, so a test can see what it was asked to open.
//
// Usage: argslog.exe LOGFILE ARG...
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  std::FILE* f = std::fopen(__argv[1], "ab");
  if (!f) return 1;
  for (int i = 2; i < __argc; ++i) std::fprintf(f, "%s\r\n", __argv[i]);
  return std::fclose(f) == 0 ? 0 : 1;
}
