#include "app/CoolTrayIcon.h"

namespace app {

TCoolTrayIcon::TCoolTrayIcon(ui::Form& owner, platform::NotifyArea& area, platform::Windows& windows,
                             int iconCount)
    : owner_(owner), area_(area), windows_(windows), iconCount_(iconCount) {
  area_.setMouseHandler([this](platform::TrayMouse m) { owner_.toolkit().dispatch([&] { mouse(m); }); });
  // Showing the owner brings back the taskbar button and puts it in front.
  owner_.shownObservers.push_back([this] {
    ui::Toolkit& tk = owner_.toolkit();
    tk.restoreAppWindow();
    windows_.setForeground(tk.appWindow());
    windows_.setForeground(owner_.handle());
  });
}

TCoolTrayIcon::~TCoolTrayIcon() {
  area_.setMouseHandler(nullptr);
  if (shown_) area_.remove();
}

int TCoolTrayIcon::currentIcon() const {
  if (iconCount_ <= 0) return 0;
  return iconIndex_ >= iconCount_ ? iconCount_ - 1 : iconIndex_;
}

void TCoolTrayIcon::setIconIndex(int i) {
  iconIndex_ = i;
  update();
}

void TCoolTrayIcon::setHint(const std::string& h) {
  hint_ = h;
  update();
}

platform::TrayRecord TCoolTrayIcon::record() const {
  return platform::TrayRecord{currentIcon(), ShowHint ? hint_ : std::string()};
}

void TCoolTrayIcon::update() {
  if (shown_) area_.modify(record());
}

void TCoolTrayIcon::Loaded() {
  if (StartMinimized) owner_.toolkit().hideAppWindow();
  if (IconVisible && !shown_) {
    area_.add(record());
    shown_ = true;
  }
}

void TCoolTrayIcon::mouse(platform::TrayMouse m) {
  switch (m) {
    case platform::TrayMouse::RightDown: PopupAtCursor(); break;
    case platform::TrayMouse::LeftDown:
      if (LeftPopup) PopupAtCursor();
      break;
    case platform::TrayMouse::LeftDoubleClick:
      if (PopupMenu && PopupMenu->autoPopup && !LeftPopup) {
        if (ui::MenuItem* item = PopupMenu->defaultItem()) PopupMenu->choose(*item);
      }
      break;
    default: break;
  }
}

void TCoolTrayIcon::PopupAtCursor() {
  if (!PopupMenu || !PopupMenu->autoPopup) return;
  platform::Point p;
  if (!area_.cursorPos(p)) return;
  ui::Toolkit& tk = owner_.toolkit();
  tk.processMessages();
  if (ui::Form* focused = tk.focusedForm()) windows_.setForeground(focused->handle());
  PopupMenu->popupComponent = this;
  PopupMenu->popup(p.x, p.y);
  windows_.postNull(owner_.handle());
}

}  // namespace app
