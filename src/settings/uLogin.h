// TfrmLogin: the log-in window. The right password brings back the tray
// menu's commands and the main window's Help pane; a wrong one is refused
// for a second. A new window is made for every log-in.
#pragma once
#include "chrome/TrayMenuPause.h"
#include "chrome/WindowHeader.h"
#include "platform/Platform.h"
#include "settings/mRegistry.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Menu.h"
#include "ui/TaskPaneGroup.h"

namespace settings {

inline constexpr const char* LoggedOutStatus = "Loged out...";
inline constexpr unsigned RefusedPasswordMs = 1000;

class TfrmLogin : public chrome::HeaderForm {
 public:
  // `trayMenu` shows the lock; `helpPane` is the main window's Help group.
  TfrmLogin(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu,
            ui::TaskPaneGroup& helpPane);
  ~TfrmLogin() override;

  ui::ToolButton& btnMinimize;
  ui::Label lbEnter;
  ui::Edit edPass;
  ui::Label lbStatusCaption;
  ui::Label lbStatus;
  ui::Button btnLog;
  ui::Button btnClose;
  TmRegistry reg_log;

  void FormCreate();
  void FormShow();
  void FormClose(ui::CloseAction& action);
  void btnLogClick();

 protected:
  std::string headerTitle() override { return "  Log in...  "; }

 private:
  platform::Clock& clock_;
  ui::PopupMenu& menu_;
  ui::TaskPaneGroup& helpPane_;
  chrome::TrayMenuPause trayMenu_;
};

// The log-out: the menu locked again, the Help pane hidden, "Pass Temp" emptied.
void Logout(ui::PopupMenu& trayMenu, ui::TaskPaneGroup& helpPane, TmRegistry& mainKey);

}  // namespace settings
