#include "app/uMain.h"
#include "eraser/uCookiesToKeep.h"
#include "eraser/uErasePreview.h"
#include "app/uAbout.h"
#include "update/uUpdate.h"
#include "settings/LockState.h"
#include "settings/Readers.h"
#include "settings/uLogin.h"
#include "settings/Schema.h"

namespace app {

namespace {

using settings::TmRootKey;

constexpr int ClientWidth = 203;
constexpr int ClientHeight = 163;
constexpr ui::Color PaneBackground = 14985086;  // red 126, green 167, blue 228
constexpr int PaneWidth = 195;

// The window's height while each pane is open.
constexpr int FileHeight = 196;
constexpr int ToolsHeight = 397;
constexpr int OptionsHeight = 277;
constexpr int HelpHeight = 296;

constexpr const char* Separator = "-----------------------";

}  // namespace

std::string homePageUrl() { return std::string("http://") + TARNWICK_VENDOR_HOST + "/tarnwick"; }

TfrmMain::TfrmMain(platform::Platform& platform, ui::Toolkit& toolkit)
    : chrome::HeaderForm(toolkit, "frmMain", ClientWidth, ClientHeight),
      btnClose(addHeaderButton("btnClose", ui::Glyph::Close, "Exit", [this] { Exit1Click(); })),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { btnHideClick(); })),
      dxToolButton1(addHeaderButton("dxToolButton1", ui::Glyph::Help, "Show Help", [this] { dxToolButton1Click(); })),
      Panel2(&Panel1, "Panel2"),
      File1(&Panel2, "File1", "File"),
      Tools1(&Panel2, "Tools1", "Tools"),
      Settings(&Panel2, "Settings", "Options"),
      help(&Panel2, "help", "Help"),
      PopupMenu1(toolkit, "PopupMenu1"),
      Timer1(toolkit, platform.timers, 1000, true),
      Timer2(toolkit, platform.timers, 1000, false),
      StartPageTimer(toolkit, platform.timers, 1000, false),
      reg5(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, settings::keys::ShellFolders, false),
      reg6(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Main, true),
      reg7(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Main, true),
      reg9(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, settings::keys::IEMain, false),
      Tray(*this, platform.tray, platform.windows, TrayIconCount),
      IECache1(platform.urlCache),
      Eraser(platform, toolkit, IECache1, reg5, TempFolderPath, UrlHistory),
      ProgramFolder(platform.files, platform.dialogs, toolkit),
      CookiesToKeep(platform.files, ProgramFolder),
      TypedUrls(platform, reg6, ProgramFolder, toolkit.title()),
      platform_(platform) {
  setCaption("Tarnwick");
  IECache1.setFilterOptions({eraser::TFilterOption::NORMAL_ENTRY, eraser::TFilterOption::STICKY_ENTRY,
                             eraser::TFilterOption::COOKIE_ENTRY, eraser::TFilterOption::URLHISTORY_ENTRY,
                             eraser::TFilterOption::TRACK_OFFLINE_ENTRY, eraser::TFilterOption::TRACK_ONLINE_ENTRY});
  setBorderStyle(ui::BorderStyle::Single);
  setPosition(ui::FormPosition::ScreenCenter);
  cntHeader.setColor(ui::clBtnFace);
  Panel2.bevelInner = ui::Bevel::Raised;
  Panel2.bevelOuter = ui::Bevel::Lowered;
  Panel2.setColor(PaneBackground);
  Panel2.setAlign(ui::Align::Client);
  buildPanes();
  buildTrayMenu();

  Tray.PopupMenu = &PopupMenu1;
  Tray.setHint("Tarnwick");
  Tray.ShowHint = true;
  Tray.StartMinimized = true;

  Eraser.keepCookiesOf(&CookiesToKeep.kept());

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnHide = [this] { FormHide(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [this] { dxToolButton1Click(); };
  OnDestroy = [this] { FormDestroy(); };
  Timer1.OnTimer = [this] { Timer1Timer(); };
  Timer2.OnTimer = [this] { Timer2Timer(); };
  StartPageTimer.OnTimer = [this] { StartPageTimerTimer(); };
}

TfrmMain::~TfrmMain() { destroy(); }

std::string TfrmMain::headerTitle() { return "  " + toolkit().title() + "  "; }

void TfrmMain::buildPanes() {
  File1.addItem("Exit", [this] { Exit1Click(); });

  Tools1.addItem("Erase", [this] { btnEraseClick(); });
  Tools1.addLabel("Erase manual:");
  for (const EraseCommand& c : EraseCommands) Tools1.addItem(c.paneCaption, [this, &c] { (this->*c.handler)(); });

  Settings.addItem("Erase", [this] { SettingsItems0Click(); });
  Settings.addItem("Browser", [this] { SettingsItems1Click(); });
  Settings.addItem("Popup Blocker", [this] { SettingsItems2Click(); });
  Settings.addItem("Misc", [this] { SettingsItems3Click(); });
  Settings.addItem("Stats", [this] { SettingsItems4Click(); });

  help.addItem("Help", [this] { Help2Click(); });
  help.addLabel(Separator);
  help.addItem("Visit Home Page", [this] { VisitHomePage1Click(); });
  help.addItem("Check Latest Version", [this] { helpItems3Click(); });
  help.addLabel(Separator);
  help.addItem("About", [this] { About2Click(); });

  const std::pair<ui::TaskPaneGroup*, int> panes[] = {
      {&File1, FileHeight}, {&Tools1, ToolsHeight}, {&Settings, OptionsHeight}, {&help, HelpHeight}};
  for (auto [pane, windowHeight] : panes) {
    pane->setColor(PaneBackground);
    pane->setBounds(0, 0, PaneWidth, ui::TaskPaneGroup::CollapsedHeight);
    pane->setExpandedHeight(ui::TaskPaneGroup::CollapsedHeight + windowHeight - FoldedHeight);
    pane->setAlign(ui::Align::Top);
  }
  File1.OnClick = [this] { File1Click(); };
  Tools1.OnClick = [this] { Tools1Click(); };
  Settings.OnClick = [this] { SettingsClick(); };
  help.OnClick = [this] { helpClick(); };
}

void TfrmMain::buildTrayMenu() {
  ui::MenuItem& popupsClosed = PopupMenu1.add("PopupsClosed1", "Closed Popups: 0");
  popupsClosed.enabled = false;
  popupsClosed.visible = false;  // shown once the options window applies its setting
  PopupMenu1.add("N4", "-").visible = false;
  PopupMenu1.add("Eraseall1", "&Erase", [this] { btnEraseClick(); });
  ui::MenuItem& erase = PopupMenu1.add("Erase1", "E&rase...");
  for (const EraseCommand& c : EraseCommands) erase.add(c.menuName, c.menuCaption, [this, &c] { (this->*c.handler)(); });
  erase.add("N7", "-");
  erase.add("Preview1", "Pre&view...", [this] { Preview1Click(); });
  PopupMenu1.add("N1", "-");
  PopupMenu1.add("ShowBlockList1", "Show Block &List", [this] { ShowBlockList1Click(); });
  PopupMenu1.add("Configurate1", "&Options", [this] { btnOptionsClick(); });
  PopupMenu1.add("Show1", "&Show", [this] { Show1Click(); });
  PopupMenu1.add("N2", "-");
  PopupMenu1.add("CheckLatestVersion1", "&Check Latest Version...", [this] { helpItems3Click(); });
  PopupMenu1.add("N3", "-");
  PopupMenu1.add("Help1", "&Help", [this] { Help1Click(); });
  PopupMenu1.add("About1", "&About", [this] { About2Click(); });
  PopupMenu1.add("N5", "-");
  PopupMenu1.add("Exit2", "E&xit", [this] { Exit1Click(); });
  PopupMenu1.add("N6", "-");
  PopupMenu1.add("Login1", "Log &in...", [this] { Login1Click(); }).visible = false;
  PopupMenu1.add("Logout1", "Log o&ut...", [this] { Logout1Click(); });
  PopupMenu1.OnHelp = [this] { platform_.help.topic(settings::HelpFile, "TrayMenu"); };
}

void TfrmMain::FormCreate() {
  RemoveCaption();
  // The icon first: the rest of start-up is not needed to show it. Nothing
  // below reads a message before the lock state is applied, so the menu
  // cannot open before it.
  Tray.Loaded();
  TempFolderPath = platform_.files.tempFolder();
  // The registry watcher observes the typed-URL key, so it must exist.
  platform_.registry.create(platform::Hive::CurrentUser, settings::keys::TypedUrls);
  RegWatch = std::make_unique<guard::TRegWatches>(platform_.registry, platform_.gui, platform::Hive::CurrentUser,
                                                  settings::keys::TypedUrls, [this] { RegWatchMessage(); });
  RegWatch->Start();

  // A password that cannot be read is no password: start-up goes on to the
  // tray icon. The options window, loading the same value next, reports it.
  std::string password;
  try {
    password = reg6.ReadValue(settings::values::Password);
  } catch (const settings::RegistryError&) {
  }
  const settings::LockState lock = settings::lockStateForPassword(password);
  settings::ApplyLockState(PopupMenu1, lock);
  if (lock == settings::LockState::Unlocked) {
    reg7.AddValue(settings::values::PassTemp, "");
    reg7.WriteValues();
  }

  reg6.AddValue(settings::values::Version, settings::ProgramVersion);
  reg6.WriteValues();

  UrlHistory = platform_.urlHistory.create();
  // The cache library's start-up test, after the icon: loading it and the
  // libraries it needs is most of what start-up would otherwise wait for.
  IECache1.LibraryFound();

  // Last: a list file that cannot be read ends this handler with its error,
  // and the program goes on keeping no cookies.
  CookiesToKeep.load();
}

void TfrmMain::FormShow() { PopupMenu1.autoPopup = false; }

void TfrmMain::FormHide() {
  PopupMenu1.autoPopup = true;
  // Back to the tray: no taskbar button while the window is away.
  toolkit().hideAppWindow();
}

void TfrmMain::FormClose(ui::CloseAction& action) {
  platform_.help.closeAll();
  PopupMenu1.autoPopup = true;
  action = ui::CloseAction::Hide;
}

void TfrmMain::FormDestroy() {
  if (RegWatch) RegWatch->Terminate();
  UrlHistory.reset();
}

void TfrmMain::Timer1Timer() { Timer2.setEnabled(settings::isFlagOn(reg6.ReadValue(settings::values::Erase))); }

void TfrmMain::Timer2Timer() {
  if (Eraser.browserRuns()) return;
  EraseSelected();
}

// Never creates the browser's main key: reg9 may not.
void TfrmMain::StartPageTimerTimer() {
  if (!settings::isFlagOn(reg6.ReadValue(settings::values::StartPage))) return;
  const std::string wanted = reg6.ReadValue(settings::values::EditStart);
  if (reg9.ReadValue(settings::foreign::StartPage) == wanted) return;
  reg9.AddValue(settings::foreign::StartPage, wanted);
  reg9.WriteValues();
}

// An error of the restore goes to the error box, as an event handler's does.
void TfrmMain::RegWatchMessage() {
  toolkit().dispatch([this] { TypedUrls.Restore(); });
}

void TfrmMain::Exit1Click() { toolkit().terminate(); }
void TfrmMain::btnHideClick() { hide(); }
void TfrmMain::Show1Click() { show(); }
void TfrmMain::Help1Click() { platform_.help.topic(settings::HelpFile, "Introduction"); }
void TfrmMain::Help2Click() { platform_.help.contents(settings::HelpFile); }
void TfrmMain::dxToolButton1Click() { platform_.help.topic(settings::HelpFile, "MainWindow"); }
void TfrmMain::VisitHomePage1Click() { platform_.shell.execute(handle(), "open", homePageUrl()); }

void TfrmMain::About2Click() {
  auto about = std::make_unique<TfrmAbout>(platform_, toolkit(), *this, PopupMenu1);
  about->create();
  about->showModal();
}

void TfrmMain::helpItems3Click() {
  auto update = std::make_unique<update::TfrmUpdate>(platform_, toolkit(), *this, PopupMenu1);
  update->create();
  update->showModal();
}

void TfrmMain::ShowBlockList1Click() {
  if (frmBlockList) frmBlockList->showModal();
}

void TfrmMain::Login1Click() {
  auto login = std::make_unique<settings::TfrmLogin>(platform_, toolkit(), *this, PopupMenu1, help);
  login->create();
  login->showModal();
}

void TfrmMain::Logout1Click() { settings::Logout(PopupMenu1, help, reg7); }

void TfrmMain::showOptions(ui::TabSheet settings::TfrmOptions::*tab) {
  if (!frmOptions) return;
  frmOptions->PC.setActivePage(&(frmOptions->*tab));
  frmOptions->showModal();
}

void TfrmMain::btnOptionsClick() { SettingsItems0Click(); }
void TfrmMain::SettingsItems0Click() { showOptions(&settings::TfrmOptions::Tab1); }
void TfrmMain::SettingsItems1Click() { showOptions(&settings::TfrmOptions::tab3); }
void TfrmMain::SettingsItems2Click() { showOptions(&settings::TfrmOptions::tab4); }
void TfrmMain::SettingsItems3Click() { showOptions(&settings::TfrmOptions::tab2); }
void TfrmMain::SettingsItems4Click() { showOptions(&settings::TfrmOptions::tab5); }

const TfrmMain::EraseCommand TfrmMain::EraseCommands[9] = {
    {"Cookies", "Cookies1", "&Cookies", &TfrmMain::cookies21Click},
    {"Recent Documents", "RecentDocuments1", "&Recent Documents", &TfrmMain::RecentDocuments21Click},
    {"Temp Folder", "TempFiles1", "&Temp Folder", &TfrmMain::TempFiles21Click},
    {"IE Cache", "TempIEFiles1", "IE Cac&he", &TfrmMain::TempIEFiles21Click},
    {"IE History", "IEHistory1", "I&E History", &TfrmMain::IEHistory21Click},
    {"IE Address Bar", "IEAddressBar1", "IE &Address bar", &TfrmMain::IEAddressBar21Click},
    {"Empty Recycle Bin", "EmptyRecycleBin2", "Em&pty Recycle Bin", &TfrmMain::EmptyRecycleBin1Click},
    {"Run History", "RunHistory2", "Run &History", &TfrmMain::RunHistory1Click},
    {"Find History", "FindHistory2", "&Find History", &TfrmMain::FindHistory1Click},
};

void TfrmMain::btnEraseClick() { Eraser.btnEraseClick(); }
void TfrmMain::EraseSelected() { Eraser.EraseSelected(); }
void TfrmMain::IEHistory21Click() { Eraser.Erase(eraser::Category::IEHistory); }
void TfrmMain::cookies21Click() { Eraser.Erase(eraser::Category::Cookies); }
void TfrmMain::IEAddressBar21Click() { Eraser.Erase(eraser::Category::IEAddressBar); }
void TfrmMain::TempIEFiles21Click() { Eraser.Erase(eraser::Category::IECache); }
void TfrmMain::RecentDocuments21Click() { Eraser.Erase(eraser::Category::RecentDocuments); }
void TfrmMain::TempFiles21Click() { Eraser.Erase(eraser::Category::TempFolder); }
void TfrmMain::EmptyRecycleBin1Click() { Eraser.Erase(eraser::Category::RecycleBin); }
void TfrmMain::RunHistory1Click() { Eraser.Erase(eraser::Category::RunHistory); }
void TfrmMain::FindHistory1Click() { Eraser.Erase(eraser::Category::FindHistory); }

void TfrmMain::Preview1Click() {
  auto inputs = [this] {
    return eraser::PreviewInputs{eraser::SelectedCategories(platform_.registry), TempFolderPath,
                                 CookiesToKeep.kept()};
  };
  auto preview = std::make_unique<eraser::TfrmErasePreview>(platform_, toolkit(), *this, PopupMenu1, inputs,
                                                            [this] { btnEraseClick(); });
  preview->create();
  preview->showModal();
}

void TfrmMain::KeepCookiesClick() {
  auto keep = std::make_unique<eraser::TfrmCookiesToKeep>(
      platform_, toolkit(), *this, PopupMenu1, CookiesToKeep,
      eraser::SitesWithCookies(platform_.files, IECache1, reg5.ReadPath(eraser::shellFolders::Cookies)));
  keep->create();
  keep->showModal();
}

void TfrmMain::paneAccordion(ui::TaskPaneGroup& pane) {
  if (!pane.collapsed()) {
    pane.setCollapsed(true);
    setHeight(FoldedHeight);
  } else {
    setHeight(FoldedHeight + pane.expandedHeight() - ui::TaskPaneGroup::CollapsedHeight);
  }
  for (ui::TaskPaneGroup* other : {&File1, &Tools1, &Settings, &help})
    if (other != &pane && !other->collapsed()) other->setCollapsed(true);
}

void TfrmMain::File1Click() { paneAccordion(File1); }
void TfrmMain::Tools1Click() { paneAccordion(Tools1); }
void TfrmMain::SettingsClick() { paneAccordion(Settings); }
void TfrmMain::helpClick() { paneAccordion(help); }

}  // namespace app
