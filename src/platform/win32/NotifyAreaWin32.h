// The notification-area icon on Shell_NotifyIconA, with a hidden top-level
// window of its own that receives the icon's mouse messages.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <optional>
#include "platform/NotifyArea.h"
#include "platform/win32/MessageWindow.h"
#include "platform/win32/TrayRecordWin32.h"

namespace platform::win32 {

// The mouse message a tray callback carries in lParam; nothing for others.
std::optional<platform::TrayMouse> trayMouseOf(LPARAM lp);

class NotifyArea : public platform::NotifyArea {
 public:
  explicit NotifyArea(TrayIcons icons);
  ~NotifyArea() override;  // takes the icon away if it is still shown

  void add(const platform::TrayRecord& r) override;
  void modify(const platform::TrayRecord& r) override;
  void remove() override;
  void setMouseHandler(std::function<void(platform::TrayMouse)> handler) override;
  bool cursorPos(platform::Point& p) override;

  HWND hwnd() const { return window_.hwnd(); }
  const TrayIcons& icons() const { return icons_; }
  // What the shell was given last, and whether it accepted it.
  const NOTIFYICONDATAA& lastRecord() const { return last_; }
  bool lastAccepted() const { return lastAccepted_; }

 private:
  void send(DWORD message, const platform::TrayRecord& r);
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

  TrayIcons icons_;
  MessageWindow window_;
  std::function<void(platform::TrayMouse)> handler_;
  NOTIFYICONDATAA last_{};
  bool lastAccepted_ = false;
  bool added_ = false;
};

}  // namespace platform::win32
