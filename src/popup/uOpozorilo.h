// TfrmOpozorilo: the program's own notice box for an action that cannot be
// carried out: an information or warning symbol, the text, a Close button.
// Every notice is shown through ShowNotice.
#pragma once
#include <string>
#include "chrome/TrayMenuPause.h"
#include "chrome/WindowHeader.h"
#include "ui/Button.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Menu.h"

namespace popup {

enum class NoticeKind { Information, Warning };

inline constexpr ui::Color NoticeBackground = ui::rgb(0, 0, 164);
inline constexpr ui::Color InformationTextColor = ui::rgb(255, 255, 255);
inline constexpr ui::Color WarningTextColor = ui::rgb(255, 255, 0);

class TfrmOpozorilo : public chrome::HeaderForm {
 public:
  // `trayMenu` stops opening by itself while the notice is up.
  TfrmOpozorilo(ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu);
  ~TfrmOpozorilo() override;

  ui::ToolButton& btnMinimize;
  ui::Image img_info;
  ui::Image img_war;
  ui::Label lb_vsebina;
  ui::Button dialog_close;

  void FormCreate();
  void FormShow();
  void FormClose(ui::CloseAction& action);
  void btnMinimizeClick();

 protected:
  std::string headerTitle() override { return ""; }

 private:
  chrome::TrayMenuPause trayMenu_;
};

// Shows a notice owned by `owner` and returns once the user has closed it;
// F1 in it opens the owner's help page.
// The window is released in every case, also when showing it fails.
void ShowNotice(ui::Form& owner, ui::PopupMenu& trayMenu, NoticeKind kind, const std::string& text);

}  // namespace popup
