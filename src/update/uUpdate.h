// TfrmUpdate: asks the vendor's server for the newest version, compares it
// with the installed one and, when it is newer, downloads the installer,
// starts it once its signature proves it the vendor's, and ends the program
// so that the installer can replace it. Created for one showing.
#pragma once
#include <optional>
#include <string>
#include "chrome/TrayMenuPause.h"
#include "chrome/WindowHeader.h"
#include "platform/Platform.h"
#include "settings/mRegistry.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/Menu.h"
#include "ui/ProgressBar.h"
#include "update/HTTPGet.h"
#include "update/uAdvHttp.h"

namespace update {

// The status texts of the window.
namespace status {
inline constexpr const char* Waiting = "Waiting for command...";
inline constexpr const char* Checking = "Checking for newer version... please wait...";
inline constexpr const char* NewVersion = "New version detected: ";
inline constexpr const char* NoNewVersion = "No new version detected...";
inline constexpr const char* ConnectionError = "Connection error...";
inline constexpr const char* Downloading = "Downloading... please wait...";
inline constexpr const char* DownloadError = "There has been an error while downloading...";
inline constexpr const char* Updating = "Updating to newer version... please wait...";
inline constexpr const char* NoVersion = "The server did not name a version...";
}  // namespace status

// No installer of this program comes near this size; a download announced
// or running longer is not one.
inline constexpr std::int64_t MaxInstallerSize = std::int64_t{64} << 20;

class TfrmUpdate : public chrome::HeaderForm {
 public:
  // `trayMenu` stops opening by itself while the window is up.
  TfrmUpdate(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu);
  ~TfrmUpdate() override;

  ui::ToolButton& btnMinimize;
  ui::Label Label1;
  ui::Label Label3;
  ui::Label lbCom;
  ui::Label Label4;
  ui::Label lbSize;
  ui::Label Label2;
  ui::Label Label6;
  ui::Label lbReceived;
  ui::Label Label7;
  ui::Label Label5;
  ui::ProgressBar pb;
  ui::Label Label9;
  ui::Button btnCheck;
  ui::Button btnUpdate;
  ui::Button btnClose;
  TAdvHttp verzija;
  THTTPGet GetUpdate;
  settings::TmRegistry reg10;
  // The version the server announced, once it is newer than the installed one.
  std::string OfferedVersion;

  void FormCreate();
  void FormShow();
  void FormClose(ui::CloseAction& action);
  void btnCheckClick();
  void btnUpdateClick();
  void btnCloseClick() { close(); }
  void btnMinimizeClick() { close(); }
  void verzijaSendingRequest();
  void verzijaRequestComplete();
  void verzijaError();
  void GetUpdateProgress(std::int64_t TotalSize, std::int64_t Readed);
  void GetUpdateDoneFile();
  void GetUpdateError();

 protected:
  std::string headerTitle() override { return "  Update Check  "; }

 private:
  std::string installerPath() const { return Label9.caption() + "setup.exe"; }
  void setSizeLabelsVisible(bool visible);

  platform::Platform& platform_;
  chrome::TrayMenuPause trayMenu_;
  std::optional<std::uint64_t> shownProgressAt_;
};

}  // namespace update
