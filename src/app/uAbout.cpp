#include "app/uAbout.h"
#include "app/uMain.h"
#include "settings/Schema.h"

namespace app {

namespace {

constexpr int ClientWidth = 370;
constexpr int ClientHeight = 264;
constexpr int SeparatorHeight = 2;
constexpr int ButtonHeight = 25;

// Both links: black on the window until the mouse is over them, then blue
// and underlined. Each takes the width of its address and keeps its right
// edge against the text area's frame, so a long address is never cut.
void makeLink(chrome::TURLLabel& link, const std::string& url, const std::string& caption, int x, int y, int w,
              int h) {
  link.URL = url;
  link.setCaption(caption);
  link.setAlignment(ui::TextAlignment::Right);
  link.setBounds(x, y, w, h);
  ui::Font normal;
  normal.setColor(ui::clBlack);
  link.setFont(normal);
  ui::Font hot;
  hot.setColor(ui::clBlue);
  hot.setStyle(ui::fontstyle::Underline);
  link.MouseOverFont = hot;
  link.cursor = ui::Cursor::HandPoint;
}

}  // namespace

std::string supportEmail() { return TARNWICK_SUPPORT_EMAIL; }

TfrmAbout::TfrmAbout(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu)
    : chrome::HeaderForm(toolkit, "frmAbout", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { btnMinimizeClick(); })),
      Bevel1(&Panel1, "Bevel1", ui::BevelShape::Box, ui::Bevel::Raised),
      Bevel2(&Panel1, "Bevel2"),
      Image1(&Panel1, "Image1", ui::Picture::ProgramIcon),
      Label3(&Panel1, "Label3"),
      Label4(&Panel1, "Label4"),
      Bevel3(&Panel1, "Bevel3"),
      Label1(&Panel1, "Label1"),
      lbMSIE(&Panel1, "lbMSIE"),
      Label2(&Panel1, "Label2"),
      Bevel4(&Panel1, "Bevel4", ui::BevelShape::TopLine),
      lbHP(&Panel1, "lbHP"),
      URLLabel1(&Panel1, "URLLabel1", platform.shell),
      lbEmail(&Panel1, "lbEmail"),
      URLLabel2(&Panel1, "URLLabel2", platform.shell),
      Bevel5(&Panel1, "Bevel5", ui::BevelShape::TopLine),
      btnClose(&Panel1, "btnClose", "&Close"),
      reg8(platform.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Main, true),
      trayMenu_(trayMenu) {
  setOwner(&owner);
  setCaption("About");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  setColor(ui::clActiveBorder);
  Panel1.setColor(ui::clActiveBorder);
  cntHeader.setColor(ui::clBtnFace);

  Bevel1.setBounds(8, 24, 353, 209);
  Bevel2.setBounds(16, 32, 50, 50);
  Image1.setBounds(24, 40, 32, 32);
  Label3.setBounds(23, 88, 0, 0);
  Label3.setCaption("Version:");
  Label4.setBounds(32, 104, 0, 0);
  Bevel3.setBounds(72, 32, 281, 193);
  Label1.setBounds(128, 40, 0, 0);
  Label1.setCaption("Tarnwick");
  Label1.font().setHeight(-23);
  lbMSIE.setBounds(136, 72, 0, 0);
  lbMSIE.setCaption("For MS Internet Explorer browsers");
  Label2.setBounds(136, 96, 0, 0);
  Label2.setCaption("Freeware by the Tarnwick team.");
  Bevel4.setBounds(80, 120, 265, SeparatorHeight);
  lbHP.setBounds(88, 136, 0, 0);
  lbHP.setCaption("Home page:");
  makeLink(URLLabel1, homePageUrl(), homePageUrl(), 210, 136, 136, 13);
  lbEmail.setBounds(88, 152, 0, 0);
  lbEmail.setCaption("E-Mail:");
  makeLink(URLLabel2, "mailto:" + supportEmail(), supportEmail(), 240, 152, 107, 13);
  Bevel5.setBounds(80, 184, 265, SeparatorHeight);
  btnClose.setBounds(8, 236, 353, ButtonHeight);
  btnClose.OnClick = [this] { btnCloseClick(); };
  btnClose.Default = true;
  btnClose.Cancel = true;
  // Enter closes the window as it comes up; Tab reaches the links.
  ActiveControl = &btnClose;

  // The labels take the window's colour, as the panel does.
  for (ui::Control* c : Panel1.children())
    if (dynamic_cast<ui::Label*>(c)) c->setColor(Panel1.color());

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [&help = platform.help] { help.topic(settings::HelpFile, "About"); };
}

TfrmAbout::~TfrmAbout() { destroy(); }

void TfrmAbout::FormCreate() { RemoveCaption(); }

void TfrmAbout::FormShow() {
  Label4.setCaption(reg8.ReadValue(settings::values::Version));
  trayMenu_.pause();
}

void TfrmAbout::FormClose(ui::CloseAction&) { trayMenu_.resume(); }
void TfrmAbout::btnCloseClick() { close(); }
void TfrmAbout::btnMinimizeClick() { close(); }

}  // namespace app
