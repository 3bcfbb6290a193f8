#include "app/Program.h"

namespace app {

namespace {
constexpr std::size_t MaxTitle = 513;
}

std::string InstanceMutexName(ui::Toolkit& toolkit) {
  return "PREVINST:" + toolkit.title().substr(0, MaxTitle);
}

bool CheckFirstInstance(platform::Instance& instance, ui::Toolkit& toolkit) {
  return instance.claim(InstanceMutexName(toolkit));
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
                                [&main] { main.TypedUrls.TakeSnapshot(); }};
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
  const bool first = CheckFirstInstance(platform.instance, toolkit);
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
