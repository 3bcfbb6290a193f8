#include "popup/uOpozorilo.h"
#include <memory>

namespace popup {

namespace {

constexpr int ClientWidth = 487;
constexpr int ClientHeight = 72;
constexpr int SymbolSize = 28;

}  // namespace

TfrmOpozorilo::TfrmOpozorilo(ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu)
    : chrome::HeaderForm(toolkit, "frmOpozorilo", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { btnMinimizeClick(); })),
      img_info(&Panel1, "img_info", ui::Picture::InformationSymbol),
      img_war(&Panel1, "img_war", ui::Picture::WarningSymbol),
      lb_vsebina(&Panel1, "lb_vsebina"),
      dialog_close(&Panel1, "dialog_close", "&Close"),
      trayMenu_(trayMenu) {
  setOwner(&owner);
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  Panel1.setColor(NoticeBackground);
  cntHeader.setColor(ui::clBtnFace);

  // The symbol at the left, the text beside it, the button at the right.
  for (ui::Image* symbol : {&img_info, &img_war}) {
    symbol->setBounds(12, 30, SymbolSize, SymbolSize);
    symbol->setVisible(false);
  }
  lb_vsebina.setBounds(52, 24, 353, 41);
  lb_vsebina.setAutoSize(false);
  lb_vsebina.setWordWrap(true);
  lb_vsebina.setTransparent(true);
  lb_vsebina.font().setHeight(-12);
  dialog_close.setBounds(410, 32, 68, 25);
  dialog_close.OnClick = [this] { btnMinimizeClick(); };
  // Enter, Escape and Alt+C close it as the button does.
  dialog_close.Default = true;
  dialog_close.Cancel = true;

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
}

TfrmOpozorilo::~TfrmOpozorilo() { destroy(); }

void TfrmOpozorilo::FormCreate() { RemoveCaption(); }
void TfrmOpozorilo::FormShow() { trayMenu_.pause(); }
void TfrmOpozorilo::FormClose(ui::CloseAction&) { trayMenu_.resume(); }
void TfrmOpozorilo::btnMinimizeClick() { close(); }

void ShowNotice(ui::Form& owner, ui::PopupMenu& trayMenu, NoticeKind kind, const std::string& text) {
  auto notice = std::make_unique<TfrmOpozorilo>(owner.toolkit(), owner, trayMenu);
  notice->create();
  const bool information = kind == NoticeKind::Information;
  notice->img_info.setVisible(information);
  notice->img_war.setVisible(!information);
  ui::Font font = notice->lb_vsebina.font();
  font.setColor(information ? InformationTextColor : WarningTextColor);
  notice->lb_vsebina.setFont(font);
  notice->lb_vsebina.setCaption(text);
  // A notice is about what was just asked of its owner: F1 opens the
  // owner's page, which tells when the action is refused.
  notice->OnHelp = owner.OnHelp;
  notice->showModal();
}

}  // namespace popup
