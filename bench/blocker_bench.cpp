// One tick of the popup closing loop with nothing to close, at 10, 100 and
// 400 top-level windows (hidden windows of this process make up the count,
// every other one a browser window) and 5, 50 and 20,000 block-list
// entries, against one bare enumeration that reads every window's class and
// title; and, for scale, the same lookups made as one system search per
// entry (not at 20,000: that would take seconds a tick). First, what one
// second of the blocker asks the window system, counted call by call at the
// platform interface, with 50 entries and 100 hidden browser windows.
#include <windows.h>
#include <cstdio>
#include <map>
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

// The window service with every call counted by its name.
class CountingWindows : public platform::Windows {
 public:
  explicit CountingWindows(platform::Windows& inner) : inner_(inner) {}
  std::map<std::string, int> calls;

  using platform::Windows::className;
  using platform::Windows::text;
  std::vector<platform::WindowId> topLevel() override { return count("topLevel"), inner_.topLevel(); }
  std::string className(platform::WindowId w, std::size_t b) override {
    return count("className"), inner_.className(w, b);
  }
  std::optional<std::string> answeredText(platform::WindowId w, std::size_t b) override {
    return count("answeredText"), inner_.answeredText(w, b);
  }
  std::vector<KeyedWindow> keyedWindows(const std::string& c) override {
    return count("keyedWindows"), inner_.keyedWindows(c);
  }
  std::string titleKey(const std::string& t) override { return inner_.titleKey(t); }  // no window asked
  std::string windowKey(platform::WindowId w) override { return count("windowKey"), inner_.windowKey(w); }
  platform::WindowId owner(platform::WindowId w) override { return count("owner"), inner_.owner(w); }
  platform::WindowId desktop() override { return count("desktop"), inner_.desktop(); }
  std::uint32_t exStyle(platform::WindowId w) override { return count("exStyle"), inner_.exStyle(w); }
  platform::WindowId foreground() override { return count("foreground"), inner_.foreground(); }
  platform::WindowId find(const std::string& c, const std::string& t, platform::WindowId a) override {
    return count("find"), inner_.find(c, t, a);
  }
  platform::WindowId findClass(const std::string& c) override { return count("findClass"), inner_.findClass(c); }
  std::uint32_t processOf(platform::WindowId w) override { return count("processOf"), inner_.processOf(w); }
  std::uint32_t currentProcess() override { return inner_.currentProcess(); }
  bool isIconic(platform::WindowId w) override { return count("isIconic"), inner_.isIconic(w); }
  bool isVisible(platform::WindowId w) override { return count("isVisible"), inner_.isVisible(w); }
  bool isEnabled(platform::WindowId w) override { return count("isEnabled"), inner_.isEnabled(w); }
  void restore(platform::WindowId w) override { count("restore"), inner_.restore(w); }
  void setForeground(platform::WindowId w) override { count("setForeground"), inner_.setForeground(w); }
  platform::WindowId lastActivePopup(platform::WindowId w) override {
    return count("lastActivePopup"), inner_.lastActivePopup(w);
  }
  void bringToTop(platform::WindowId w) override { count("bringToTop"), inner_.bringToTop(w); }
  void postNull(platform::WindowId w) override { count("postNull"), inner_.postNull(w); }
  bool postClose(platform::WindowId w) override { return count("postClose"), inner_.postClose(w); }

 private:
  void count(const char* name) { ++calls[name]; }
  platform::Windows& inner_;
};

std::string listed(const std::map<std::string, int>& calls) {
  std::string out;
  for (const auto& [name, n] : calls) out += (out.empty() ? "" : ", ") + name + " " + std::to_string(n);
  return out.empty() ? "nothing" : out;
}

// One second of the blocker with nothing to close: a closing-loop tick and
// a limit tick together, then a limit tick alone, as the timers meet. Each
// call on another program's window is one request to Wine's server
// (isVisible of a shown window two), topLevel two for the whole list.
bool blockerQuestions(platform::Platform& p, ui::Toolkit& toolkit, ui::PopupMenu& trayMenu,
                      settings::OwnFolder& ownFolder) {
  CountingWindows counting(p.windows);
  platform::Platform counted{p.registry, counting,     p.clock,    p.timers, p.dialogs,  p.tray,
                             p.instance, p.shell,      p.help,     p.gui,    p.urlHistory, p.files,
                             p.processes, p.urlCache,  p.hotKeys,  p.sound,  p.locale,   p.internet,
                             p.codeSigning};
  popup::TfrmBlockList form(counted, toolkit, popup::BlockListLinks{trayMenu, [](int) {}}, ownFolder);
  std::vector<std::string> lines;
  for (int e = 0; e < 50; ++e) lines.push_back("Listed " + std::to_string(e));
  form.lbBlock.setItems(std::move(lines));
  std::vector<HWND> made;
  for (int n = 0; n < 100; ++n)
    if (HWND w = pageWindow(2 * n + 1)) made.push_back(w);  // odd: of class IEFrame
  const std::size_t windows = p.windows.topLevel().size();
  std::printf("One second of the blocker, nothing to close: %zu top-level windows, %zu of them hidden IE windows,"
              " 50 entries; calls to the window service\n", windows, made.size());
  for (int round = 0; round < 2; ++round) {  // the first meets each window for the first time
    Sleep(2 * popup::WindowCensus::ShareMs);  // the timers meet, past the last tick's enumeration
    counting.calls.clear();
    form.Close_popupTimer();
    form.MaxWindowsTimer();
    const auto together = counting.calls;
    counting.calls.clear();
    Sleep(2 * popup::WindowCensus::ShareMs);
    form.MaxWindowsTimer();
    std::printf("  %s second\n    closing loop and limit together: %s\n    limit alone: %s\n",
                round ? "a later" : "the first", listed(together).c_str(), listed(counting.calls).c_str());
  }
  for (HWND w : made) DestroyWindow(w);
  return made.size() == 100 && form.ListBox1.empty();
}

}  // namespace

bool closingLoop(int rounds) {
  platform::win32::Win32Platform win32;
  platform::Platform& p = win32.platform();
  ui::win32::Win32Toolkit toolkit(p.dialogs);
  ui::PopupMenu trayMenu(toolkit, "PopupMenu1");
  settings::OwnFolder ownFolder(p.files, p.dialogs, toolkit);
  popup::TfrmBlockList form(p, toolkit, popup::BlockListLinks{trayMenu, [](int) {}}, ownFolder);
  bool ok = blockerQuestions(p, toolkit, trayMenu, ownFolder);
  std::vector<HWND> made;
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
