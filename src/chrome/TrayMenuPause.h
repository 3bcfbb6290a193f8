// The tray menu stops opening by itself while a secondary window is up:
// the window pauses it when shown and resumes it when closed. A window that
// goes away without closing (its showing failed) resumes it too, so the
// menu is never left dead.
#pragma once
#include "ui/Menu.h"

namespace chrome {

class TrayMenuPause {
 public:
  explicit TrayMenuPause(ui::PopupMenu& menu) : menu_(menu) {}
  ~TrayMenuPause() {
    if (paused_) resume();
  }
  TrayMenuPause(const TrayMenuPause&) = delete;
  TrayMenuPause& operator=(const TrayMenuPause&) = delete;

  void pause() {
    menu_.autoPopup = false;
    paused_ = true;
  }
  void resume() {
    menu_.autoPopup = true;
    paused_ = false;
  }

 private:
  ui::PopupMenu& menu_;
  bool paused_ = false;
};

}  // namespace chrome
