// One automatic-erase pass (EraseSelected with every category selected)
// over an empty profile, each category's share of it, and one browser test
// (IsProcessRunning) for scale: the pass runs once a second while
// auto-erase is on and no browser runs.
#include <windows.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "Bench.h"
#include "eraser/EraseEngine.h"
#include "eraser/IECache.h"
#include "eraser/ProcessViewer.h"
#include "platform/win32/Win32Platform.h"
#include "settings/Schema.h"
#include "ui/win32/Win32Toolkit.h"

namespace bench {

bool erasePass(int rounds) {
  platform::win32::Win32Platform win32;
  platform::Platform& p = win32.platform();
  ui::win32::Win32Toolkit toolkit(p.dialogs);
  eraser::TIECache cache(p.urlCache);
  cache.setFilterOptions({eraser::TFilterOption::NORMAL_ENTRY, eraser::TFilterOption::STICKY_ENTRY,
                          eraser::TFilterOption::COOKIE_ENTRY, eraser::TFilterOption::URLHISTORY_ENTRY,
                          eraser::TFilterOption::TRACK_OFFLINE_ENTRY, eraser::TFilterOption::TRACK_ONLINE_ENTRY});
  settings::TmRegistry shellFolders(p.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::ShellFolders,
                                    false);
  const std::string temp = p.files.tempFolder();
  std::unique_ptr<platform::UrlHistory> history = p.urlHistory.create();
  eraser::EraseEngine engine(p, toolkit, cache, shellFolders, temp, history);
  settings::TmRegistry eraseKey(p.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Erase, true);
  for (const eraser::CategoryInfo& c : eraser::EraseOrder) eraseKey.AddValue(c.flag, "1");
  eraseKey.WriteValues();
  eraser::ProcessViewer viewer(p.windows, p.processes, p.clock);

  engine.EraseSelected();  // empty from here on
  const int samples = rounds * 5;
  std::vector<double> pass, test;
  for (int i = 0; i < samples; ++i) {
    pass.push_back(timeMs([&] { engine.EraseSelected(); }));
    test.push_back(timeMs([&] { viewer.IsProcessRunning(eraser::BrowserExe); }));
  }
  std::vector<double> listing, snap;
  for (int i = 0; i < samples; ++i) {
    listing.push_back(timeMs([&] {
      for (platform::WindowId w : p.windows.topLevel()) p.windows.processOf(w);
    }));
    snap.push_back(timeMs([&] { p.processes.snapshot(); }));
  }
  const double a = median(pass), b = median(test);
  std::printf("EraseSelected, every category, empty profile, vs one IsProcessRunning; median of %d\n", samples);
  std::printf("  pass %.2f ms, browser test %.2f ms, ratio %.1f\n", a, b, a / b);
  std::printf("  (a browser test lists %zu windows with their owners in %.2f ms; a process snapshot, taken\n"
              "  at most every %llu ms, costs %.2f ms)\n",
              p.windows.topLevel().size(), median(listing), static_cast<unsigned long long>(eraser::SnapshotReuseMs),
              median(snap));
  std::printf("  %-18s %10s\n", "category", "ms");
  for (const eraser::CategoryInfo& c : eraser::EraseOrder) {
    std::vector<double> one;
    for (int i = 0; i < samples; ++i) one.push_back(timeMs([&] { engine.Erase(c.category); }));
    std::printf("  %-18s %10.2f\n", c.flag, median(one));
  }
  return true;
}

}  // namespace bench
