// One tick of the popup closing loop with nothing to close, at 10, 100 and
// 400 top-level windows (hidden windows of this process make up the count,
// every other one a browser window) and 5, 50 and 20,000 block-list
// entries, against one bare enumeration that reads every window's class and
// title; and, for scale, the same lookups made as one system search per
// entry (not at 20,000: that would take seconds a tick).
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "Bench.h"
#include "platform/win32/Win32Platform.h"
#include "popup/IEWindows.h"
#include "popup/uBlockList.h"
#include "settings/OwnFolder.h"
#include "ui/Menu.h"
#include "ui/win32/Win32Toolkit.h"

namespace bench {

namespace {

HWND pageWindow(int n) {
  static const bool registered = [] {
    for (const char* cls : {"IEFrame", "TarnwickBenchPage"}) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = cls;
      RegisterClassA(&wc);
    }
    return true;
  }();
  (void)registered;
  const std::string title = "Page " + std::to_string(n) + popup::IETitleSuffix;
  return CreateWindowExA(0, n % 2 ? "IEFrame" : "TarnwickBenchPage", title.c_str(), WS_OVERLAPPED, 0, 0, 10, 10,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

bool closingLoop(int rounds) {
  platform::win32::Win32Platform win32;
  platform::Platform& p = win32.platform();
  ui::win32::Win32Toolkit toolkit(p.dialogs);
  ui::PopupMenu trayMenu(toolkit, "PopupMenu1");
  settings::OwnFolder ownFolder(p.files, p.dialogs, toolkit);
  popup::TfrmBlockList form(p, toolkit, popup::BlockListLinks{trayMenu, [](int) {}}, ownFolder);
  std::vector<HWND> made;
  bool ok = true;
  const int ticks = rounds * 5;
  std::printf("Close_popup tick, nothing to close, vs one EnumWindows reading class and title of every window;\n"
              "median of %d ticks\n", ticks);
  std::printf("  %8s %8s %12s %12s %7s %22s\n", "windows", "entries", "tick", "bare", "ratio", "a search per entry");
  for (std::size_t target : {10u, 100u, 400u}) {
    while (p.windows.topLevel().size() < target) {
      HWND w = pageWindow(static_cast<int>(made.size()));
      if (!w) break;
      made.push_back(w);
    }
    const std::size_t count = p.windows.topLevel().size();
    if (count < target) ok = false;
    for (int entries : {5, 50, 20000}) {
      std::vector<std::string> lines;
      for (int e = 0; e < entries; ++e) lines.push_back("Listed " + std::to_string(e));
      form.lbBlock.setItems(std::move(lines));
      std::vector<double> tick, bare, searches;
      for (int t = 0; t < ticks; ++t) {
        tick.push_back(timeMs([&] { form.Close_popupTimer(); }));
        bare.push_back(timeMs([&] {
          for (platform::WindowId w : p.windows.topLevel()) {
            p.windows.className(w, popup::VisibleBuffer);
            p.windows.answeredText(w, popup::TitleBuffer);
          }
        }));
        if (entries > 50) continue;
        searches.push_back(timeMs([&] {
          for (const std::string& entry : form.lbBlock.items())
            if (popup::FindIEWindowByTitle(p.windows, entry + popup::IETitleSuffix)) ok = false;
        }));
      }
      const double a = median(tick), b = median(bare);
      if (searches.empty())
        std::printf("  %8zu %8d %9.3f ms %9.3f ms %7.2f %22s\n", count, entries, a, b, a / b, "-");
      else
        std::printf("  %8zu %8d %9.3f ms %9.3f ms %7.2f %19.3f ms\n", count, entries, a, b, a / b,
                    median(searches));
    }
  }
  if (p.windows.topLevel().size() < made.size()) ok = false;  // a window was closed
  for (HWND w : made) DestroyWindow(w);
  if (!ok) std::printf("  ERROR: too few windows could be made, or a tick found something to close\n");
  return ok;
}

}  // namespace bench
