// The notification-area icon and the pointer position it is clicked at.
#pragma once
#include <functional>
#include <string>

namespace platform {

// What the notification area shows for the program's one icon.
struct TrayRecord {
  int icon = 0;     // index into the program's tray icon images
  std::string tip;  // tooltip, before the platform's length limit
};

enum class TrayMouse { LeftDown, LeftUp, LeftDoubleClick, RightDown, RightUp, Move, Middle };

struct Point {
  int x = 0;
  int y = 0;
};

class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  virtual void add(const TrayRecord& r) = 0;
  virtual void modify(const TrayRecord& r) = 0;
  virtual void remove() = 0;
  // Mouse messages from the notification area for the icon.
  virtual void setMouseHandler(std::function<void(TrayMouse)> handler) = 0;
  virtual bool cursorPos(Point& p) = 0;
};

}  // namespace platform
