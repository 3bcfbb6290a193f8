#include "update/uUpdate.h"
#include "settings/Schema.h"
#include "update/VersionReply.h"

namespace update {

namespace {

constexpr int ClientWidth = 407;
constexpr int ClientHeight = 162;
constexpr int ButtonHeight = 25;
constexpr int InstallerDelayMs = 2000;
constexpr std::uint64_t ProgressRefreshMs = 100;

std::string vendorUrl(const char* path) { return std::string("http://") + TARNWICK_VENDOR_HOST + path; }

}  // namespace

TfrmUpdate::TfrmUpdate(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu)
    : chrome::HeaderForm(toolkit, "frmUpdate", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "", [this] { btnMinimizeClick(); })),
      Label1(&Panel1, "Label1"),
      Label3(&Panel1, "Label3"),
      lbCom(&Panel1, "lbCom"),
      Label4(&Panel1, "Label4"),
      lbSize(&Panel1, "lbSize"),
      Label2(&Panel1, "Label2"),
      Label6(&Panel1, "Label6"),
      lbReceived(&Panel1, "lbReceived"),
      Label7(&Panel1, "Label7"),
      Label5(&Panel1, "Label5"),
      pb(&Panel1, "pb"),
      Label9(&Panel1, "Label9"),
      btnCheck(&Panel1, "btnCheck", "Ch&eck"),
      btnUpdate(&Panel1, "btnUpdate", "&Update"),
      btnClose(&Panel1, "btnClose", "&Close"),
      verzija(platform.internet),
      GetUpdate(platform.internet, platform.files, platform.gui),
      reg10(platform.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Main, true),
      platform_(platform),
      trayMenu_(trayMenu) {
  setOwner(&owner);
  setCaption("Latest Version Check");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);

  Label1.setBounds(8, 24, 385, 33);
  Label1.setAutoSize(false);
  Label1.setWordWrap(true);
  Label1.setCaption(
      "Click \"Check for updates\" to see if there is newer version of Tarnwick. You have to be connected to the "
      "internet!");
  const struct {
    ui::Label& label;
    int x, y;
    const char* caption;
  } labels[] = {
      {Label3, 8, 64, "Status:"},      {lbCom, 56, 64, status::Waiting}, {Label4, 280, 80, "File size:"},
      {lbSize, 328, 80, "0"},          {Label2, 368, 80, "bytes"},      {Label6, 272, 96, "Received:"},
      {lbReceived, 328, 96, "0"},      {Label7, 368, 96, "bytes"},      {Label5, 8, 96, "Progress:"},
  };
  for (const auto& l : labels) {
    l.label.setBounds(l.x, l.y, 0, 0);
    l.label.setCaption(l.caption);
  }
  lbCom.font().setColor(ui::clBlue);
  // The byte counts end just before "bytes" however many digits they have.
  for (ui::Label* count : {&lbSize, &lbReceived}) {
    count->setAutoSize(false);
    count->setAlignment(ui::TextAlignment::Right);
    count->setTransparent(true);  // the caption before it keeps its colon
    count->setBounds(322, count->top(), 44, 13);
  }
  pb.setBounds(8, 112, 391, 8);
  Label9.setVisible(false);
  btnCheck.setBounds(8, 136, 105, ButtonHeight);
  btnUpdate.setBounds(8, 136, 105, ButtonHeight);
  btnClose.setBounds(328, 136, 75, ButtonHeight);
  btnCheck.Default = true;
  btnClose.Cancel = true;
  btnCheck.OnClick = [this] { btnCheckClick(); };
  btnUpdate.OnClick = [this] { btnUpdateClick(); };
  btnClose.OnClick = [this] { btnCloseClick(); };

  verzija.setUserAgent("Ostrel WinInet Component");
  verzija.ConnectTimeout = 30000;
  verzija.setURL(vendorUrl("/tarnwick/verzija.php"));
  verzija.Method = "POST";
  verzija.AuthRetries = 3;
  verzija.OnSendingRequest = [this](TAdvHttp&) { verzijaSendingRequest(); };
  verzija.OnRequestComplete = [this](TAdvHttp&) { verzijaRequestComplete(); };
  verzija.OnError = [this](TAdvHttp&) { verzijaError(); };

  GetUpdate.BinaryData = true;
  GetUpdate.MaxFileSize = MaxInstallerSize;
  GetUpdate.OnProgress = [this](THTTPGetThread&, std::int64_t total, std::int64_t readed) {
    GetUpdateProgress(total, readed);
  };
  GetUpdate.OnDoneFile = [this](THTTPGet&, const std::string&, std::int64_t) { GetUpdateDoneFile(); };
  GetUpdate.OnError = [this](THTTPGet&) { GetUpdateError(); };

  for (ui::Control* c : Panel1.children())
    if (dynamic_cast<ui::Label*>(c)) c->setColor(Panel1.color());

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [&help = platform.help] { help.topic(settings::HelpFile, "Update"); };
}

TfrmUpdate::~TfrmUpdate() { destroy(); }

void TfrmUpdate::setSizeLabelsVisible(bool visible) {
  for (ui::Label* l : {&Label4, &Label6, &lbSize, &lbReceived, &Label2, &Label7}) l->setVisible(visible);
}

void TfrmUpdate::FormCreate() {
  RemoveCaption();
  Label9.setCaption(platform_.files.tempFolder());
  pb.setPosition(0);
  btnCheck.setVisible(true);
  btnUpdate.setVisible(false);
  setSizeLabelsVisible(false);
}

void TfrmUpdate::FormShow() { trayMenu_.pause(); }

// Whatever still runs is called off; no event of it reaches the window.
void TfrmUpdate::FormClose(ui::CloseAction&) {
  verzija.Abort();
  GetUpdate.CancelDownload();
  trayMenu_.resume();
}

void TfrmUpdate::btnCheckClick() {
  // An installer an earlier run left behind, cut off when the program ended
  // mid-download, is never started: it goes before anything new arrives.
  if (!GetUpdate.Running()) platform_.files.deleteFile(installerPath());
  pb.setPosition(0);
  verzija.setURL(vendorUrl("/tarnwick/verzija.php"));
  verzija.Method = "POST";
  verzija.StartRequest(false);
  pb.setPosition(20);
}

void TfrmUpdate::verzijaSendingRequest() {
  lbCom.setCaption(status::Checking);
  pb.setPosition(50);
}

void TfrmUpdate::verzijaRequestComplete() {
  const std::optional<std::string> server = ServerVersion(verzija.Text());
  if (!server) {
    // Nothing to compare: no update is offered, and the check may be run again.
    lbCom.setCaption(status::NoVersion);
    pb.setPosition(0);
    return;
  }
  pb.setPosition(100);
  const bool newer = IsNewerVersion(reg10.ReadValue(settings::values::Version), *server);
  lbCom.setCaption(newer ? status::NewVersion + *server : std::string(status::NoNewVersion));
  OfferedVersion = newer ? *server : std::string();
  btnCheck.setVisible(!newer);
  btnUpdate.setVisible(newer);
  btnUpdate.Default = newer;
  btnCheck.Default = !newer;
  // The button now in the place takes the keyboard, as the one it replaced had it.
  (newer ? btnUpdate : btnCheck).setFocus();
}

void TfrmUpdate::verzijaError() {
  lbCom.setCaption(status::ConnectionError);
  pb.setPosition(0);
}

void TfrmUpdate::btnUpdateClick() {
  lbCom.setCaption(status::Downloading);
  GetUpdate.URL = vendorUrl("/tarnwick/download/setup.exe");
  GetUpdate.FileName = installerPath();
  GetUpdate.StartDownload();
  setSizeLabelsVisible(true);
}

// A block arrives every kilobyte: the window shows the figures ten times a
// second and at the end, so that drawing never holds the download up.
void TfrmUpdate::GetUpdateProgress(std::int64_t TotalSize, std::int64_t Readed) {
  const std::uint64_t now = platform_.clock.nowMs();
  if (Readed < TotalSize && shownProgressAt_ && now - *shownProgressAt_ < ProgressRefreshMs) return;
  shownProgressAt_ = now;
  pb.setMax(TotalSize);
  pb.setPosition(Readed);
  lbSize.setCaption(std::to_string(TotalSize));
  lbReceived.setCaption(std::to_string(Readed));
}

// What arrived of a failed download is of no use: it does not stay behind.
void TfrmUpdate::GetUpdateError() {
  lbCom.setCaption(status::DownloadError);
  platform_.files.deleteFile(installerPath());
}

// The installer runs only when its signature verifies, its signer is the
// vendor's certificate and it is the version the server announced, newer
// than this program: a genuine old installer (a downgrade to a release
// with known faults) is refused too. It stays held against writes until it
// has started.
void TfrmUpdate::GetUpdateDoneFile() {
  std::unique_ptr<platform::HeldFile> installer = platform_.codeSigning.hold(installerPath());
  const platform::SignatureVerdict verdict = installer ? installer->verifySignature() : platform::SignatureVerdict{};
  const std::string version = installer ? installer->version() : std::string();
  if (!installer || verdict.status != 0 || verdict.signerSha256 != TARNWICK_VENDOR_CERT_SHA256 ||
      version != OfferedVersion || !IsNewerVersion(settings::ProgramVersion, version)) {
    installer.reset();
    GetUpdateError();  // refused as a failed download is
    return;
  }
  pb.setPosition(0);
  pb.setMax(100);
  pb.setMin(0);
  lbCom.setCaption(status::Updating);
  repaint();
  platform_.clock.sleep(InstallerDelayMs);
  platform_.shell.execute(handle(), "open", installerPath());
  installer.reset();
  toolkit().terminate();
}

}  // namespace update
