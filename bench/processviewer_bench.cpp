// IsProcessRunning at 10, 100 and 400 top-level windows (hidden windows of
// this process make up the count) against one bare window enumeration plus
// one process snapshot; and, for scale, the cost of a snapshot per window.
#include <windows.h>
#include <cstdio>
#include <vector>
#include "Bench.h"
#include "eraser/ProcessViewer.h"
#include "platform/win32/ProcessesWin32.h"
#include "platform/win32/TimersWin32.h"
#include "platform/win32/WindowsWin32.h"

namespace bench {

namespace {

HWND hiddenWindow() {
  static const ATOM cls = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnwickBenchWindow";
    return RegisterClassA(&wc);
  }();
  return CreateWindowExA(0, MAKEINTATOM(cls), "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

bool processDetection(int rounds) {
  platform::win32::Windows windows;
  platform::win32::Processes processes;
  platform::win32::Clock clock;
  eraser::ProcessViewer viewer(windows, processes, clock);
  std::vector<HWND> made;
  bool ok = true;
  const int questions = rounds * 3;
  std::printf(
      "IsProcessRunning(\"IEXPLORE.EXE\") vs one EnumWindows + one snapshot, median of %d questions\n",
      questions);
  std::printf("  %8s %18s %12s %7s %22s\n", "windows", "IsProcessRunning", "bare calls", "ratio",
              "snapshot per window");
  for (std::size_t target : {10u, 100u, 400u}) {
    while (windows.topLevel().size() < target) {
      HWND w = hiddenWindow();
      if (!w) break;
      made.push_back(w);
    }
    const std::size_t count = windows.topLevel().size();
    std::vector<double> asked, bare, perWindow;
    for (int q = 0; q < questions; ++q) {
      asked.push_back(timeMs([&] {
        if (viewer.IsProcessRunning("IEXPLORE.EXE")) ok = false;  // no browser runs here
      }));
      bare.push_back(timeMs([&] {
        windows.topLevel();
        processes.snapshot();
      }));
    }
    for (int r = 0; r < rounds; ++r)
      perWindow.push_back(timeMs([&] {
        for (platform::WindowId w : windows.topLevel()) viewer.GetWindowExeName(w);
      }));
    const double a = median(asked), b = median(bare);
    std::printf("  %8zu %15.2f ms %9.2f ms %7.2f %19.1f ms\n", count, a, b, a / b, median(perWindow));
    if (count < target) ok = false;
  }
  for (HWND w : made) DestroyWindow(w);
  if (!ok) std::printf("  ERROR: a browser was reported, or too few windows could be made\n");
  return ok;
}

}  // namespace bench
