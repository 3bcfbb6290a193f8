// Process detection against the real desktop: a hidden window of this test
// process makes it count as running under its own executable name.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include "eraser/ProcessViewer.h"
#include "platform/win32/ProcessesWin32.h"
#include "platform/win32/TimersWin32.h"
#include "platform/win32/WindowsWin32.h"

namespace {

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
  return s;
}

std::string ownPath() {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n);
}

HWND hiddenWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarnwickDetectionTest";
  RegisterClassA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, "hidden", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

TEST(ProcessDetection, AHiddenWindowMakesThisProcessRunUnderItsOwnName) {
  platform::win32::Windows windows;
  platform::win32::Processes processes;
  platform::win32::Clock clock;
  eraser::ProcessViewer viewer(windows, processes, clock);
  const std::string path = ownPath();
  const std::string name = path.substr(path.find_last_of('\\') + 1);

  HWND w = hiddenWindow();
  ASSERT_NE(w, nullptr);
  ASSERT_FALSE(IsWindowVisible(w));
  EXPECT_TRUE(viewer.IsProcessRunning(name));
  EXPECT_TRUE(viewer.IsProcessRunning(path)) << "a full path asks for its file name";
  EXPECT_TRUE(viewer.IsProcessRunning(upper(name)));
  const std::string exe = upper(viewer.GetWindowExeName(platform::win32::toId(w)));
  EXPECT_TRUE(exe.size() >= name.size() && exe.substr(exe.size() - name.size()) == upper(name)) << exe;
  EXPECT_TRUE(std::any_of(viewer.ProcessList().begin(), viewer.ProcessList().end(),
                          [&](const eraser::TProcessInfo& p) { return p.ExeName == exe; }))
      << "the window list holds upper-cased names";
  EXPECT_FALSE(viewer.IsProcessRunning("tarnwick-absent-" + std::to_string(GetCurrentProcessId()) + ".exe"));

  DestroyWindow(w);
  EXPECT_FALSE(viewer.IsProcessRunning(name)) << "a process without a top-level window does not run";
}

}  // namespace
