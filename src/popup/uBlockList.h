// TfrmBlockList: the block list window. Created at start and kept until the
// program ends; it shows the open IE windows beside the block list, owns the
// list (lbBlock and its store), the counter-key component, the
// closed-popups label and the popup blocker's two timers, which the options
// window switches: the closing loop and the open-window limit.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "chrome/TrayMenuPause.h"
#include "chrome/WindowHeader.h"
#include "platform/Platform.h"
#include "popup/BlockListStore.h"
#include "popup/IEWindows.h"
#include "settings/mRegistry.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace popup {

// The tray icon and its menu, which the window pauses while it is up and
// flashes when it adds a title or closes a popup.
struct BlockListLinks {
  ui::PopupMenu& trayMenu;
  std::function<void(int)> setTrayIcon;
};

// What the blocker reads from the options window at every tick, before
// anything is applied, and what it refreshes there.
struct BlockerControls {
  // The WAV file to play for a closed popup; empty for none.
  std::function<std::string()> closeSound = [] { return std::string(); };
  std::function<bool()> counting = [] { return false; };
  std::function<int()> windowLimit = [] { return 15; };
  // The closed-popups texts, after "Counter" rose.
  std::function<void()> refreshClosedPopups = [] {};
  // The Stats tab.
  std::function<void()> refreshStats = [] {};
};

class TfrmBlockList : public chrome::HeaderForm {
 public:
  // The list file is kept in `ownFolder`, shared with the rest of the program.
  TfrmBlockList(platform::Platform& platform, ui::Toolkit& toolkit, BlockListLinks links,
                settings::OwnFolder& ownFolder);
  ~TfrmBlockList() override;

  ui::ToolButton& btnMinimize;
  ui::ToolButton& btnHelp;
  // In the order Tab goes through them: the open windows and what acts on
  // them, then the block list and what acts on it, then Close.
  ui::Label Label1;
  ui::ListBox lbURLs;
  ui::Button btn_refresh, btn_add, btn_remove;
  ui::Label Label2;
  ui::ListBox lbBlock;
  ui::Button btn_export, btn_import, btnClearAll;
  ui::Label lb_count_ie, lb_count_block, lb_counter;
  ui::Button btn_close;
  // The closing loop, once a second, and the open-window limit, twice a
  // second; both off until the blocker is switched on. Timer1 keeps the
  // two counting labels current while the window is shown.
  ui::Timer Close_popup;
  ui::Timer MaxWindows;
  ui::Timer Timer1;
  settings::TmRegistry Reg_Cnt;
  BlockListStore blockList;
  BlockerControls blocker;
  // The open-window limit's scratch list: the visible IE windows of its
  // last tick, topmost first.
  std::vector<IEWindow> ListBox1;
  // What the browser on this machine appends to its captions.
  BrowserSuffixes browserSuffixes;
  // The top-level windows both timers look through, shared when they tick together.
  WindowCensus census;

  void FormCreate();
  void FormShow();
  void FormHide();
  void FormClose(ui::CloseAction& action);
  void FillOpenWindows();
  void btn_refreshClick();
  void btn_addClick();
  void btn_removeClick();
  void btn_exportClick();
  void btn_importClick();
  void btnClearAllClick();
  void btn_closeClick();
  void btnMinimizeClick();
  void btnHelpClick();
  void Timer1Timer();
  void Close_popupTimer();
  void MaxWindowsTimer();

 protected:
  std::string headerTitle() override { return "  Block List  "; }

 private:
  void layout();
  void notice(bool warning, const std::string& text);
  const std::vector<std::string>& entryKeys(const IEWindowIndex& windows);

  platform::Platform& platform_;
  BlockListLinks links_;
  chrome::TrayMenuPause trayMenu_;
  std::vector<std::string> entryKeys_;
  unsigned long keyedRevision_ = 0;
};

}  // namespace popup
