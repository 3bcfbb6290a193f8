// TCoolTrayIcon: the program's icon in the notification area. It opens the
// owner's popup menu at the pointer, keeps the program out of sight at start
// and lets the rest of the program swap the icon and change the tooltip.
#pragma once
#include <string>
#include "platform/NotifyArea.h"
#include "platform/Windows.h"
#include "ui/Form.h"
#include "ui/Menu.h"

namespace app {

class TCoolTrayIcon {
 public:
  // `iconCount` is the size of the image list the icon indexes.
  TCoolTrayIcon(ui::Form& owner, platform::NotifyArea& area, platform::Windows& windows, int iconCount);
  ~TCoolTrayIcon();
  TCoolTrayIcon(const TCoolTrayIcon&) = delete;
  TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

  int IconIndex() const { return iconIndex_; }
  void setIconIndex(int i);
  const std::string& Hint() const { return hint_; }
  void setHint(const std::string& h);

  bool ShowHint = true;
  ui::PopupMenu* PopupMenu = nullptr;
  bool LeftPopup = false;
  bool StartMinimized = true;
  bool IconVisible = true;

  // Runs once the owner's properties are set: hides the program when it
  // starts minimised and puts the icon in the notification area.
  void Loaded();
  // The icon currently shown (IconIndex clamped to the image list).
  int currentIcon() const;
  bool shown() const { return shown_; }

  void mouse(platform::TrayMouse m);
  void PopupAtCursor();

 private:
  platform::TrayRecord record() const;
  void update();

  ui::Form& owner_;
  platform::NotifyArea& area_;
  platform::Windows& windows_;
  int iconCount_;
  int iconIndex_ = 0;
  std::string hint_;
  bool shown_ = false;
};

}  // namespace app
