#include "settings/uLogin.h"
#include "settings/LockState.h"
#include "settings/Schema.h"

namespace settings {

namespace {
constexpr int ClientWidth = 209;
constexpr int ClientHeight = 108;
}  // namespace

TfrmLogin::TfrmLogin(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu,
                     ui::TaskPaneGroup& helpPane)
    : chrome::HeaderForm(toolkit, "frmLogin", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { close(); })),
      lbEnter(&Panel1, "lbEnter"),
      edPass(&Panel1, "edPass"),
      lbStatusCaption(&Panel1, "lbStatusCaption"),
      lbStatus(&Panel1, "lbStatus"),
      btnLog(&Panel1, "btnLog", "&Log in..."),
      btnClose(&Panel1, "btnClose", "&Close"),
      reg_log(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, keys::Main, true),
      clock_(platform.clock),
      menu_(trayMenu),
      helpPane_(helpPane),
      trayMenu_(trayMenu) {
  setOwner(&owner);
  setCaption("Log in");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  lbEnter.setCaption("Enter your password to log in:");
  lbEnter.setBounds(10, 24, 0, 13);
  edPass.setBounds(10, 41, 189, 21);
  edPass.setPasswordChar('*');
  lbStatusCaption.setCaption("Status:");
  lbStatusCaption.setBounds(10, 66, 0, 13);
  lbStatus.setBounds(50, 66, 0, 13);
  for (ui::Label* l : {&lbStatusCaption, &lbStatus}) l->font().setColor(ui::clBlue);
  btnLog.setBounds(10, 83, 90, 21);
  btnLog.Default = true;
  btnLog.OnClick = [this] { btnLogClick(); };
  btnClose.setBounds(109, 83, 90, 21);
  btnClose.Cancel = true;
  btnClose.OnClick = [this] { close(); };
  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [&help = platform.help] { help.topic(HelpFile, "Login"); };
}

TfrmLogin::~TfrmLogin() { destroy(); }

void TfrmLogin::FormCreate() {
  RemoveCaption();
  lbStatus.setCaption(LoggedOutStatus);
}

void TfrmLogin::FormShow() { trayMenu_.pause(); }
void TfrmLogin::FormClose(ui::CloseAction&) { trayMenu_.resume(); }

void TfrmLogin::btnLogClick() {
  if (reg_log.ReadValue(values::Password) != edPass.text()) {
    lbStatus.setCaption("Password not accepted");
    lbStatus.repaint();
    clock_.sleep(RefusedPasswordMs);
    lbStatus.setCaption(LoggedOutStatus);
    return;
  }
  lbStatus.setCaption("Password accepted");
  ApplyLockState(menu_, LockState::LoggedIn);
  helpPane_.setVisible(true);
  reg_log.AddValue(values::PassTemp, edPass.text());
  reg_log.WriteValues();
  close();
}

void Logout(ui::PopupMenu& trayMenu, ui::TaskPaneGroup& helpPane, TmRegistry& mainKey) {
  ApplyLockState(trayMenu, LockState::Locked);
  helpPane.setVisible(false);
  mainKey.AddValue(values::PassTemp, "");
  mainKey.WriteValues();
}

}  // namespace settings
