// DeleteFolderTree on a generated tree of 10,000 files in 1,000 folders
// against "cmd /c rd /s /q" on an identical tree, alternating which goes
// first in each round.
#include <windows.h>
#include <cstdio>
#include <string>
#include "Bench.h"
#include "eraser/FolderTree.h"
#include "platform/win32/FilesWin32.h"

namespace bench {

namespace {

constexpr int FilesPerFolder = 10;

void makeFolder(const std::string& path) {
  CreateDirectoryA(path.c_str(), nullptr);
  for (int f = 0; f < FilesPerFolder; ++f) {
    const std::string name = path + "\\file" + std::to_string(f) + ".tmp";
    HANDLE h =
        CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    DWORD done = 0;
    WriteFile(h, "cached page data", 16, &done, nullptr);
    CloseHandle(h);
  }
}

// 10 folders, each with 9 sub-folders, each with 10 more: 1,000 folders
// below the root, 10 files in each.
void makeTree(const std::string& root) {
  CreateDirectoryA(root.c_str(), nullptr);
  for (int a = 0; a < 10; ++a) {
    const std::string pa = root + "\\a" + std::to_string(a);
    makeFolder(pa);
    for (int b = 0; b < 9; ++b) {
      const std::string pb = pa + "\\b" + std::to_string(b);
      makeFolder(pb);
      for (int c = 0; c < 10; ++c) makeFolder(pb + "\\c" + std::to_string(c));
    }
  }
}

bool runCmd(const std::string& args) {
  std::string line = "cmd.exe /c " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                      &pi))
    return false;
  const bool ended = WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ended;
}

bool isEmptyFolder(const std::string& root) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA((root + "\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return false;
  int entries = 0;
  do {
    ++entries;
  } while (FindNextFileA(h, &d));
  FindClose(h);
  return entries == 2;  // "." and ".."
}

}  // namespace

bool folderTree(int rounds) {
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  const std::string base = std::string(tmp) + "tarnwick-bench-" + std::to_string(GetCurrentProcessId());
  platform::win32::Files files;
  std::vector<double> ours, rd, startup;
  bool ok = true;
  for (int r = 0; r < rounds; ++r) {
    const std::string mine = base + "-tree", theirs = base + "-rd";
    makeTree(mine);
    makeTree(theirs);
    auto runOurs = [&] {
      ours.push_back(timeMs([&] { eraser::DeleteFolderTree(files, mine + "\\", "*.*", true); }));
      if (!isEmptyFolder(mine)) ok = false;
      RemoveDirectoryA(mine.c_str());
    };
    auto runRd = [&] {
      rd.push_back(timeMs([&] { runCmd("rd /s /q \"" + theirs + "\""); }));
      if (GetFileAttributesA(theirs.c_str()) != INVALID_FILE_ATTRIBUTES) ok = false;
    };
    if (r % 2) {
      runRd();
      runOurs();
    } else {
      runOurs();
      runRd();
    }
    startup.push_back(timeMs([] { runCmd("rem"); }));
  }
  const double o = median(ours), d = median(rd), s = median(startup);
  std::printf("DeleteFolderTree vs cmd /c rd /s /q: 10,000 files in 1,000 folders, median of %d rounds\n",
              rounds);
  std::printf("  DeleteFolderTree           %9.1f ms\n", o);
  std::printf("  cmd /c rd /s /q            %9.1f ms\n", d);
  std::printf("  cmd /c rem (start-up only) %9.1f ms\n", s);
  std::printf("  ratio DeleteFolderTree / rd              %6.2f\n", o / d);
  if (d > s) std::printf("  ratio DeleteFolderTree / (rd - start-up) %6.2f\n", o / (d - s));
  if (!ok) std::printf("  ERROR: a tree was not emptied completely\n");
  return ok;
}

}  // namespace bench
