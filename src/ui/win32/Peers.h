// The realised controls: one window per model control, mirroring its
// properties and feeding mouse input back into it.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/GraphicControl.h"
#include "ui/Panel.h"
#include "ui/TaskPaneGroup.h"
#include "ui/ToolButton.h"
#include "ui/win32/GraphicPeers.h"
#include "ui/win32/Win32Toolkit.h"

namespace ui::win32 {

namespace classes {
inline constexpr const char* Form = "TarnwickForm";
inline constexpr const char* Panel = "TarnwickPanel";
inline constexpr const char* ToolButton = "TarnwickToolButton";
inline constexpr const char* Button = "TarnwickButton";
inline constexpr const char* TaskPane = "TarnwickTaskPane";
inline constexpr const char* App = "TarnwickApp";
inline constexpr const char* MenuHost = "TarnwickMenuHost";
}  // namespace classes

// One-pixel bevel along the edge of rc: light top-left and dark bottom-right
// when raised, the other way round when lowered; rc shrinks by it.
void drawBevel(HDC dc, RECT& rc, ui::Bevel bevel);

// What every realised control shares: its window, the window procedure that
// routes messages to it, and the hand-over when the model goes away.
class WindowPeer {
 public:
  WindowPeer(Win32Toolkit& toolkit, ui::Control& control) : toolkit_(toolkit), control_(control) {}
  virtual ~WindowPeer();
  WindowPeer(const WindowPeer&) = delete;
  WindowPeer& operator=(const WindowPeer&) = delete;

  HWND hwnd() const { return hwnd_; }
  ui::Control& control() { return control_; }
  virtual ui::ControlPeer& asPeer() = 0;

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  void createWindow(const char* cls, const char* text, DWORD style, DWORD exStyle, int x, int y, int w, int h,
                    HWND parent);
  // The model is being destroyed: drop the window, then this peer.
  void modelDestroyed();
  // Paints through a memory bitmap, so nothing flickers.
  void paintBuffered(const std::function<void(HDC, const RECT&)>& paint);
  void dispatchMouseDown(ui::MouseButton button, LPARAM lp);

  Win32Toolkit& toolkit_;
  ui::Control& control_;
  HWND hwnd_ = nullptr;
  bool detached_ = false;  // the model no longer exists
};

// A child control: geometry relative to its parent's client area. It also
// draws the graphic controls that sit on it, over its own background, and
// passes the mouse on to the one under the pointer.
class ChildWindow : public ui::ControlPeer, public WindowPeer {
 public:
  ChildWindow(Win32Toolkit& toolkit, ui::Control& control) : WindowPeer(toolkit, control) {}
  void create(HWND parent);
  void adoptGraphic(ui::GraphicControl& control);
  // The graphic control is gone: forget it and its peer.
  void dropGraphic(GraphicPeer* peer);

  void sync() override;
  void repaint() override;
  void controlDestroyed() override { modelDestroyed(); }
  ui::ControlPeer& asPeer() override { return *this; }

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual const char* windowClass() const { return classes::Panel; }
  // Fills the control's colour and runs its paint event.
  virtual void paint(HDC dc, const RECT& rc);
  virtual void synced() {}
  void runPaintEvent(HDC dc);

  bool shownApplied_ = false;
  bool enabledApplied_ = true;
  bool leftDown_ = false;

 private:
  // The topmost visible, enabled graphic control at a client point, or null.
  GraphicPeer* graphicAt(int x, int y);
  GraphicPeer* graphicAtCursor();
  // Tells the controls the mouse left and entered; false when that ended
  // this window.
  bool hover(GraphicPeer* peer);
  // A mouse button pressed on a graphic control; false when there is none.
  bool graphicMouseDown(ui::MouseButton button, LPARAM lp);

  std::vector<std::unique_ptr<GraphicPeer>> graphics_;
  GraphicPeer* hovered_ = nullptr;
  GraphicPeer* leftPressed_ = nullptr;
  bool trackingLeave_ = false;
};

class PanelWindow : public ChildWindow {
 public:
  PanelWindow(Win32Toolkit& toolkit, ui::Panel& panel) : ChildWindow(toolkit, panel), panel_(panel) {}

 protected:
  void paint(HDC dc, const RECT& rc) override;

 private:
  ui::Panel& panel_;
};

// A button pressed with the left mouse button: hot while the mouse is over
// it, pressed while the button is down on it; released over it, it clicks.
class PressableWindow : public ChildWindow {
 public:
  using ChildWindow::ChildWindow;

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  bool hot() const { return hot_; }
  bool captured() const { return captured_; }
  bool pressed() const { return pressed_; }

 private:
  bool hot_ = false;
  bool captured_ = false;
  bool pressed_ = false;
};

class ToolButtonWindow : public PressableWindow {
 public:
  ToolButtonWindow(Win32Toolkit& toolkit, ui::ToolButton& button) : PressableWindow(toolkit, button), button_(button) {}
  void attachTooltip(HWND tooltip);
  void controlDestroyed() override;

 protected:
  const char* windowClass() const override { return classes::ToolButton; }
  void paint(HDC dc, const RECT& rc) override;
  void synced() override;

 private:
  void updateTooltip();
  ui::ToolButton& button_;
  HWND tooltip_ = nullptr;
  std::string tipShown_;
  bool tipAdded_ = false;
};

class ButtonWindow : public PressableWindow {
 public:
  ButtonWindow(Win32Toolkit& toolkit, ui::Button& button) : PressableWindow(toolkit, button), button_(button) {}

 protected:
  const char* windowClass() const override { return classes::Button; }
  void paint(HDC dc, const RECT& rc) override;

 private:
  ui::Button& button_;
};

class TaskPaneWindow : public ChildWindow {
 public:
  static constexpr int HeaderTarget = -1;
  static constexpr int NoTarget = -2;
  // Rows of items begin this far below the header.
  static constexpr int ItemsPadding = 4;

  TaskPaneWindow(Win32Toolkit& toolkit, ui::TaskPaneGroup& pane) : ChildWindow(toolkit, pane), pane_(pane) {}
  // What a point of the pane's client area would click: the header, an item's
  // index, or nothing.
  int targetAt(int x, int y);
  // The client rectangle of an item's row.
  RECT itemRect(std::size_t index);

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  const char* windowClass() const override { return classes::TaskPane; }
  void paint(HDC dc, const RECT& rc) override;

 private:
  void setHot(int target);
  ui::TaskPaneGroup& pane_;
  int hot_ = NoTarget;
  int pressed_ = NoTarget;
  bool tracking_ = false;
};

class FormWindow : public ui::FormPeer, public WindowPeer {
 public:
  FormWindow(Win32Toolkit& toolkit, ui::Form& form) : WindowPeer(toolkit, form), form_(form) {}
  ~FormWindow() override;
  void create(HWND owner);

  ui::Form& form() { return form_; }
  HWND tooltip();

  // ControlPeer
  void sync() override;
  void repaint() override;
  void controlDestroyed() override { modelDestroyed(); }
  ui::ControlPeer& asPeer() override { return *this; }
  // FormPeer
  void show() override;
  void hide() override;
  void runModal() override;
  void endModal() override;
  std::uint32_t style() override;
  void setStyle(std::uint32_t style) override;
  int captionHeight() override;
  void beginDrag() override;
  platform::WindowId handle() override { return reinterpret_cast<platform::WindowId>(hwnd_); }
  bool clientSizeChanged() override;

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void apply();
  void reportBounds();
  void centreOnScreen();

  ui::Form& form_;
  HWND tooltip_ = nullptr;
  bool syncing_ = false;
  bool resync_ = false;
  bool shownApplied_ = false;
  bool enabledApplied_ = true;
  bool modalDone_ = false;
};

}  // namespace ui::win32
