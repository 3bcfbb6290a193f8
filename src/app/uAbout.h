// TfrmAbout: the about window: the product's name and purpose, the
// installed version, and links to the vendor's home page and support
// address. Created for one showing by the main window's About commands.
#pragma once
#include <string>
#include "chrome/TrayMenuPause.h"
#include "chrome/URLLabel.h"
#include "chrome/WindowHeader.h"
#include "platform/Platform.h"
#include "settings/mRegistry.h"
#include "ui/BevelFrame.h"
#include "ui/Button.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Menu.h"

namespace app {

// The vendor's support address, shown and opened as a mailto: link.
std::string supportEmail();

class TfrmAbout : public chrome::HeaderForm {
 public:
  // `trayMenu` stops opening by itself while the window is up.
  TfrmAbout(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu);
  ~TfrmAbout() override;

  ui::ToolButton& btnMinimize;
  ui::BevelFrame Bevel1;
  ui::BevelFrame Bevel2;
  ui::Image Image1;
  ui::Label Label3;
  ui::Label Label4;
  ui::BevelFrame Bevel3;
  ui::Label Label1;
  ui::Label lbMSIE;
  ui::Label Label2;
  ui::BevelFrame Bevel4;
  ui::Label lbHP;
  chrome::TURLLabel URLLabel1;
  ui::Label lbEmail;
  chrome::TURLLabel URLLabel2;
  ui::BevelFrame Bevel5;
  ui::Button btnClose;
  settings::TmRegistry reg8;

  void FormCreate();
  void FormShow();
  void FormClose(ui::CloseAction& action);
  void btnCloseClick();
  void btnMinimizeClick();

 protected:
  std::string headerTitle() override { return "  About  "; }

 private:
  chrome::TrayMenuPause trayMenu_;
};

}  // namespace app
