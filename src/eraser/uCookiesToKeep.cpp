#include "eraser/uCookiesToKeep.h"
#include <algorithm>
#include <optional>
#include "settings/Schema.h"

namespace eraser {

namespace {
constexpr int ClientWidth = 470;
constexpr int ClientHeight = 300;
}  // namespace

TfrmCookiesToKeep::TfrmCookiesToKeep(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner,
                                     ui::PopupMenu& trayMenu, CookieKeepList& keepList,
                                     std::vector<std::string> sitesWithCookies)
    : chrome::HeaderForm(toolkit, "frmCookiesToKeep", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { close(); })),
      btnHelp(addHeaderButton("btnHelp", ui::Glyph::Help, "Show Help", [this] { btnHelpClick(); })),
      lbSitesCaption(&Panel1, "lbSitesCaption"),
      lbSites(&Panel1, "lbSites"),
      lbSiteCaption(&Panel1, "lbSiteCaption"),
      edSite(&Panel1, "edSite"),
      btnAdd(&Panel1, "btnAdd", "&Add >>"),
      btnRemove(&Panel1, "btnRemove", "<< &Remove"),
      lbKeptCaption(&Panel1, "lbKeptCaption"),
      lbKept(&Panel1, "lbKept"),
      btnClose(&Panel1, "btnClose", "&Close"),
      platform_(platform),
      trayMenu_(trayMenu),
      keepList_(keepList) {
  setOwner(&owner);
  setCaption("Cookies to Keep");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);

  constexpr int Left = 12, Right = 282, ListWidth = 176, Middle = 196;
  lbSitesCaption.setCaption("Sites with cookies now:");
  lbSitesCaption.setBounds(Left, 24, 0, 13);
  lbSites.setBounds(Left, 42, ListWidth, 206);
  lbSites.setItems(std::move(sitesWithCookies));
  lbKeptCaption.setCaption("Cookies kept for:");
  lbKeptCaption.setBounds(Right, 24, 0, 13);
  lbKept.setBounds(Right, 42, ListWidth, 206);
  lbSiteCaption.setCaption("Site:");
  lbSiteCaption.setBounds(Middle, 60, 0, 13);
  edSite.setBounds(Middle, 76, 78, 21);
  btnAdd.setBounds(Middle, 110, 78, 25);
  btnAdd.Default = true;
  btnRemove.setBounds(Middle, 142, 78, 25);
  btnClose.setBounds(ClientWidth - 92, ClientHeight - 35, 80, 25);
  btnClose.Cancel = true;
  showKept();

  lbSites.OnDblClick = [this] { btnAddClick(); };
  lbKept.OnDblClick = [this] { btnRemoveClick(); };
  btnAdd.OnClick = [this] { btnAddClick(); };
  btnRemove.OnClick = [this] { btnRemoveClick(); };
  btnClose.OnClick = [this] { close(); };
  OnCreate = [this] { RemoveCaption(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [this] { btnHelpClick(); };
}

TfrmCookiesToKeep::~TfrmCookiesToKeep() { destroy(); }

void TfrmCookiesToKeep::FormShow() { trayMenu_.pause(); }
void TfrmCookiesToKeep::FormClose(ui::CloseAction&) { trayMenu_.resume(); }
void TfrmCookiesToKeep::btnHelpClick() { platform_.help.topic(settings::HelpFile, "CookiesToKeep"); }

void TfrmCookiesToKeep::showKept() { lbKept.setItems(keepList_.kept().sites()); }

void TfrmCookiesToKeep::btnAddClick() {
  std::optional<std::string> site;
  if (!edSite.text().empty())
    site = NormalizeSite(edSite.text());
  else if (lbSites.itemIndex() >= 0)
    site = lbSites.items()[static_cast<std::size_t>(lbSites.itemIndex())];
  if (!site) {
    platform_.dialogs.message(TypeSiteMessage, toolkit().title());
    return;
  }
  keepList_.add(*site);
  edSite.setText("");
  showKept();
  const auto& kept = keepList_.kept().sites();
  lbKept.setItemIndex(static_cast<int>(std::find(kept.begin(), kept.end(), *site) - kept.begin()));
}

void TfrmCookiesToKeep::btnRemoveClick() {
  const int selected = lbKept.itemIndex();
  if (selected < 0) {
    platform_.dialogs.message(SelectKeptMessage, toolkit().title());
    return;
  }
  keepList_.remove(lbKept.items()[static_cast<std::size_t>(selected)]);
  showKept();
}

}  // namespace eraser
