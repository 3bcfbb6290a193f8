// The block list at a long-time user's size, in the real block list window:
// an import of N lines through the store (the file dialog answered at once)
// and one entry added as the popup hot key adds it (the duplicate test, the
// sorted insert, the save, the count stored), at 0, 1,000 and 20,000
// entries, with their ratio to the empty list; and the list-box messages
// that a load and an add send to the real control.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include "Bench.h"
#include "platform/win32/Win32Platform.h"
#include "popup/uBlockList.h"
#include "settings/OwnFolder.h"
#include "ui/Menu.h"
#include "ui/win32/Win32Toolkit.h"

namespace bench {

namespace {

// Answers every open dialog with one path, so that an import reads it.
class AnsweringDialogs : public platform::Dialogs {
 public:
  explicit AnsweringDialogs(platform::Dialogs& real) : real_(real) {}
  void message(const std::string& text, const std::string& caption) override { real_.message(text, caption); }
  bool question(const std::string& text, const std::string& caption) override { return real_.question(text, caption); }
  void error(const std::string& text, const std::string& caption) override { real_.error(text, caption); }
  std::optional<std::string> openFile(platform::WindowId, const platform::FileDialogOptions&) override { return path; }
  std::optional<std::string> saveFile(platform::WindowId, const platform::FileDialogOptions&) override {
    return std::nullopt;
  }
  std::string path;

 private:
  platform::Dialogs& real_;
};

// Counts the messages that reach a control, drawing left out.
class MessageCount {
 public:
  explicit MessageCount(HWND w) : w_(w) { SetWindowSubclass(w_, &MessageCount::proc, 91, reinterpret_cast<DWORD_PTR>(this)); }
  ~MessageCount() { RemoveWindowSubclass(w_, &MessageCount::proc, 91); }
  int take() { return std::exchange(count_, 0); }

 private:
  static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg != WM_PAINT && msg != WM_NCPAINT && msg != WM_ERASEBKGND) ++reinterpret_cast<MessageCount*>(ref)->count_;
    return DefSubclassProc(w, msg, wp, lp);
  }
  HWND w_;
  int count_ = 0;
};

std::string lines(int n) {
  std::string data;
  // In no order, so that the list's sort has work to do.
  for (int i = 0; i < n; ++i) data += "Offer " + std::to_string((i * 7919) % n) + "\r\n";
  return data;
}

}  // namespace

bool blockList(int rounds) {
  platform::win32::Win32Platform win32;
  const platform::Platform& real = win32.platform();
  AnsweringDialogs dialogs(real.dialogs);
  platform::Platform p{real.registry, real.windows,      real.clock,       real.timers,    dialogs,
                       real.tray,     real.instance,     real.shell,       real.help,      real.gui,
                       real.urlHistory, real.files,      real.processes,   real.urlCache,  real.hotKeys,
                       real.sound,    real.locale,       real.internet,    real.codeSigning};
  ui::win32::Win32Toolkit toolkit(p.dialogs);
  ui::PopupMenu trayMenu(toolkit, "PopupMenu1");
  settings::OwnFolder ownFolder(p.files, p.dialogs, toolkit);
  popup::TfrmBlockList form(p, toolkit, popup::BlockListLinks{trayMenu, [](int) {}}, ownFolder);
  const std::string listFile = form.blockList.listFilePath();
  const std::optional<std::string> keptList = p.files.readFile(listFile);
  form.create();
  form.show();  // a window's controls are made when it is first shown
  HWND box = toolkit.windowOf(form.lbBlock);
  if (!box) {
    std::printf("block list: the window's list has no control\n");
    return false;
  }

  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  dialogs.path = std::string(temp) + "tarnwick_bench_import.txt";
  bool ok = true;
  const int samples = rounds * 3;
  std::printf("Block list in the block list window: an import of N lines, and one entry added as the popup\n"
              "hot key adds it (test, sorted insert, save, count); median of %d, ratio to the empty list\n",
              samples);
  std::printf("  %8s %12s %7s %10s %12s %7s %8s\n", "entries", "import", "ratio", "messages", "add", "ratio",
              "messages");
  double importBase = 0, addBase = 0;
  for (int n : {0, 1000, 20000}) {
    if (!p.files.writeFile(dialogs.path, lines(n))) ok = false;
    std::vector<double> imports, adds;
    auto add = [&](int r) {
      if (!form.blockList.AddBlockEntry("Deals " + std::to_string(r))) ok = false;
      form.blockList.StoreBlockCount();
    };
    for (int r = 0; r < samples; ++r) {
      imports.push_back(timeMs([&] { form.blockList.ImportBlockList(); }));
      if (form.lbBlock.count() != n) ok = false;
      adds.push_back(timeMs([&] { add(r); }));
    }
    // Counted apart: the counting itself sits in the common controls'
    // subclass chain, which costs a round trip to the window server a message.
    MessageCount messages(box);
    form.blockList.ImportBlockList();
    const int importMessages = messages.take();
    add(samples);
    const int addMessages = messages.take();
    const double i = median(imports), a = median(adds);
    if (n == 0) importBase = i, addBase = a;
    std::printf("  %8d %9.3f ms %7.2f %10d %9.3f ms %7.2f %8d\n", n, i, i / importBase, importMessages, a,
                a / addBase, addMessages);
  }
  form.hide();
  DeleteFileA(dialogs.path.c_str());
  // The list file beside the program as it was before.
  if (keptList)
    p.files.writeFile(listFile, *keptList);
  else
    p.files.deleteFile(listFile);
  if (!ok) std::printf("  ERROR: an import or an add did not give the expected list\n");
  return ok;
}

}  // namespace bench
