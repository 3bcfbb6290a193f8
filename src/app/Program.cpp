#include "app/Program.h"
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace app {

namespace {
constexpr std::size_t MaxTitle = 513;
}

std::string InstanceMutexName(ui::Toolkit& toolkit) {
  return "PREVINST:" + toolkit.title().substr(0, MaxTitle);
}

namespace {

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A mutex name holds no backslash and is short, a folder path neither: the
// folder goes in as a hash of its lower-cased path.
std::string folderHash(const std::string& folder) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : lowerCase(folder)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

}  // namespace

std::vector<std::string> InstanceMutexNames(ui::Toolkit& toolkit, const std::string& programFolder) {
  const std::string name = InstanceMutexName(toolkit);
  return {name, lowerCase(name), "PREVINST folder:" + folderHash(programFolder)};
}

bool CheckFirstInstance(platform::Instance& instance, ui::Toolkit& toolkit, const std::string& programFolder) {
  for (const std::string& name : InstanceMutexNames(toolkit, programFolder))
    if (!instance.claim(name)) return false;
  return true;
}

void ActivateRunningInstance(platform::Windows& windows, ui::Toolkit& toolkit) {
  const platform::WindowId own = toolkit.appWindow();
  const std::string cls = windows.className(own);
  const std::string title = windows.text(own);
  const platform::WindowId first = windows.find(cls, title);
  if (!first || windows.processOf(first) != windows.currentProcess()) return;
  const platform::WindowId running = windows.find(cls, title, first);
  if (!running) return;
  if (windows.isIconic(running)) {
    windows.restore(running);
    return;
  }
  windows.setForeground(running);
  platform::WindowId target = running;
  const platform::WindowId popup = windows.lastActivePopup(running);
  if (popup && popup != running && windows.isVisible(popup) && windows.isEnabled(popup)) target = popup;
  windows.bringToTop(target);
}

namespace {

settings::OptionsLinks linksOf(TfrmMain& main) {
  TCoolTrayIcon& tray = main.Tray;
  return settings::OptionsLinks{main,
                                main.PopupMenu1,
                                [&tray](int image) { tray.setIconIndex(image); },
                                [&tray](const std::string& hint) { tray.setHint(hint); },
                                [&tray](bool left) { tray.LeftPopup = left; },
                                main.Timer1,
                                main.Timer2,
                                main.StartPageTimer,
                                [&main] { main.TypedUrls.TakeSnapshot(); },
                                [&main] { main.Preview1Click(); },
                                [&main] { main.KeepCookiesClick(); }};
}

popup::BlockListLinks blockListLinksOf(TfrmMain& main) {
  TCoolTrayIcon& tray = main.Tray;
  return popup::BlockListLinks{main.PopupMenu1, [&tray](int image) { tray.setIconIndex(image); }};
}

}  // namespace

ProgramWindows::ProgramWindows(platform::Platform& platform, ui::Toolkit& toolkit)
    : frmMain(platform, toolkit),
      frmBlockList(platform, toolkit, blockListLinksOf(frmMain), frmMain.ProgramFolder),
      frmOptions(platform, toolkit, linksOf(frmMain), frmBlockList) {
  frmMain.frmBlockList = &frmBlockList;
  frmMain.frmOptions = &frmOptions;
}

void ProgramWindows::create() {
  frmMain.create();
  frmBlockList.create();
  frmOptions.create();
}

int RunProgram(platform::Platform& platform, ui::Toolkit& toolkit) {
  const bool first = CheckFirstInstance(platform.instance, toolkit, platform.files.programFolder());
  toolkit.setTitle(ApplicationTitle);
  if (!first) {
    ActivateRunningInstance(platform.windows, toolkit);
    return 0;
  }
  ProgramWindows windows(platform, toolkit);
  windows.create();
  toolkit.run();
  return 0;
}

}  // namespace app
