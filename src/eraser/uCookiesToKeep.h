// TfrmCookiesToKeep: the window that edits the cookies to keep: the sites
// that have cookies now on the left, the kept sites on the right, a field to
// type a site. Every change is saved to the list file at once.
#pragma once
#include <string>
#include <vector>
#include "chrome/TrayMenuPause.h"
#include "chrome/WindowHeader.h"
#include "eraser/CookieKeepList.h"
#include "platform/Platform.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Menu.h"

namespace eraser {

inline constexpr const char* TypeSiteMessage = "Please type a site, such as example.com, or select one on the left.";
inline constexpr const char* SelectKeptMessage = "Select a site in the list of kept sites.";

class TfrmCookiesToKeep : public chrome::HeaderForm {
 public:
  TfrmCookiesToKeep(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu,
                    CookieKeepList& keepList, std::vector<std::string> sitesWithCookies);
  ~TfrmCookiesToKeep() override;

  ui::ToolButton& btnMinimize;
  ui::ToolButton& btnHelp;
  ui::Label lbSitesCaption;
  ui::ListBox lbSites;
  ui::Label lbSiteCaption;
  ui::Edit edSite;
  ui::Button btnAdd, btnRemove;
  ui::Label lbKeptCaption;
  ui::ListBox lbKept;
  ui::Button btnClose;

  void FormShow();
  void FormClose(ui::CloseAction& action);
  // The typed site, else the one selected on the left.
  void btnAddClick();
  void btnRemoveClick();
  void btnHelpClick();

 protected:
  std::string headerTitle() override { return "  Cookies to Keep  "; }

 private:
  void showKept();

  platform::Platform& platform_;
  chrome::TrayMenuPause trayMenu_;
  CookieKeepList& keepList_;
};

}  // namespace eraser
