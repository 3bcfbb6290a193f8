// TfrmMain: the main window. It owns the tray icon and its menu, the task
// panes that host every command, the eraser's and the start-page guard's
// timers, and the process-wide URL-history object.
#pragma once
#include <memory>
#include <string>
#include "TarnwickVersion.h"
#include "app/CoolTrayIcon.h"
#include "chrome/WindowHeader.h"
#include "eraser/CookieKeepList.h"
#include "eraser/EraseEngine.h"
#include "eraser/IECache.h"
#include "guard/RegWatches.h"
#include "guard/TypedUrls.h"
#include "platform/Platform.h"
#include "popup/uBlockList.h"
#include "settings/OwnFolder.h"
#include "settings/mRegistry.h"
#include "settings/uOptions.h"
#include "ui/Menu.h"
#include "ui/TaskPaneGroup.h"
#include "ui/Timer.h"

namespace app {

inline constexpr const char* ApplicationTitle = "Tarnwick v" TARNWICK_VERSION;
// The window's height with every pane folded.
inline constexpr int FoldedHeight = 168;
inline constexpr int TrayIconCount = 3;

class TfrmMain : public chrome::HeaderForm {
 public:
  TfrmMain(platform::Platform& platform, ui::Toolkit& toolkit);
  ~TfrmMain() override;

  platform::Platform& platform() { return platform_; }

  ui::ToolButton& btnClose;
  ui::ToolButton& btnMinimize;
  ui::ToolButton& dxToolButton1;
  ui::Panel Panel2;
  ui::TaskPaneGroup File1;
  ui::TaskPaneGroup Tools1;
  ui::TaskPaneGroup Settings;
  ui::TaskPaneGroup help;
  ui::PopupMenu PopupMenu1;
  ui::Timer Timer1;
  ui::Timer Timer2;
  ui::Timer StartPageTimer;
  settings::TmRegistry reg5;
  settings::TmRegistry reg6;
  settings::TmRegistry reg7;
  settings::TmRegistry reg9;
  TCoolTrayIcon Tray;

  std::string TempFolderPath;
  // Null when the system could not create it.
  std::unique_ptr<platform::UrlHistory> UrlHistory;
  eraser::TIECache IECache1;
  eraser::EraseEngine Eraser;
  // Where the block list and the typed-URL snapshot are kept; shared with
  // the block list window, so an unwritable folder is reported once.
  settings::OwnFolder ProgramFolder;
  // The sites whose cookies every erase keeps, and their list file.
  eraser::CookieKeepList CookiesToKeep;
  // The typed-URL guard and the watcher that reports each change of the list.
  guard::TypedUrlGuard TypedUrls;
  std::unique_ptr<guard::TRegWatches> RegWatch;
  // The two other long-lived windows, made after this one.
  popup::TfrmBlockList* frmBlockList = nullptr;
  settings::TfrmOptions* frmOptions = nullptr;

  // Life cycle.
  void FormCreate();
  void FormShow();
  void FormHide();
  void FormClose(ui::CloseAction& action);
  void FormDestroy();

  // The automatic erase: Timer1 follows "Erase", Timer2 erases whenever no
  // browser runs; the start-page guard; a reported change of the typed URLs.
  void Timer1Timer();
  void Timer2Timer();
  void StartPageTimerTimer();
  void RegWatchMessage();

  // Commands.
  void Exit1Click();
  void btnHideClick();
  void Show1Click();
  void Help1Click();
  void Help2Click();
  void dxToolButton1Click();
  void VisitHomePage1Click();
  void About2Click();
  void helpItems3Click();
  void ShowBlockList1Click();
  void Login1Click();
  void Logout1Click();
  // The options window on one of its tabs: "&Options" and the Options pane.
  void btnOptionsClick();
  void SettingsItems0Click();
  void SettingsItems1Click();
  void SettingsItems2Click();
  void SettingsItems3Click();
  void SettingsItems4Click();
  // The erase commands.
  void btnEraseClick();
  void EraseSelected();
  void IEHistory21Click();
  void cookies21Click();
  void IEAddressBar21Click();
  void TempIEFiles21Click();
  void RecentDocuments21Click();
  void TempFiles21Click();
  void EmptyRecycleBin1Click();
  void RunHistory1Click();
  void FindHistory1Click();
  // The erase preview (tray "Pre&view...", the Erase tab's button) and the
  // cookies-to-keep window (the Erase tab's "&Keep...").
  void Preview1Click();
  void KeepCookiesClick();
  void File1Click();
  void Tools1Click();
  void SettingsClick();
  void helpClick();

 protected:
  std::string headerTitle() override;

 private:
  void buildPanes();
  void buildTrayMenu();
  // The single-category commands in the order the Tools pane and the tray
  // menu list them.
  struct EraseCommand {
    const char* paneCaption;
    const char* menuName;
    const char* menuCaption;
    void (TfrmMain::*handler)();
  };
  static const EraseCommand EraseCommands[9];
  // Opening a pane folds the others and sizes the window to it; folding a
  // pane, or choosing one of its commands, returns the window to 168.
  // The window's height while a pane is open follows from the pane's own.
  void paneAccordion(ui::TaskPaneGroup& pane);
  void showOptions(ui::TabSheet settings::TfrmOptions::*tab);

  platform::Platform& platform_;
};

// The vendor's product page, opened by "Visit Home Page".
std::string homePageUrl();

}  // namespace app
