// The realised controls: one window per model control, mirroring its
// properties and feeding mouse and keyboard input back into it.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/GraphicControl.h"
#include "ui/ListBox.h"
#include "ui/PageControl.h"
#include "ui/ProgressBar.h"
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

// A window's text, and a change of it only when it differs (a change
// repaints the window).
std::string windowTextOf(HWND w);
void setWindowText(HWND w, const std::string& text);
// The same for a window whose text is a path, as UTF-8.
std::string pathTextOf(HWND w);
void setPathText(HWND w, const std::string& path);

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
  // The peer realising a window, or null.
  static WindowPeer* fromWindow(HWND hwnd);

 protected:
  virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  // What the window does with a message the peer leaves alone.
  virtual LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp);
  // A control tells its parent window of its changes (WM_COMMAND, WM_NOTIFY)
  // and asks it for its colours (WM_CTLCOLOR*): the parent hands the message
  // back to the control's own peer. True when that peer answered it.
  bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // A message about this control, handed back by its parent.
  virtual bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // Marks the window as this peer's: the peer's own window, or another one
  // that reports to it (mark).
  void claim(HWND hwnd);
  void mark(HWND hwnd);
  static void unmark(HWND hwnd);
  void createWindow(const char* cls, const char* text, DWORD style, DWORD exStyle, int x, int y, int w, int h,
                    HWND parent);
  // The model is being destroyed: drop the window, then this peer.
  void modelDestroyed();
  // Paints through a memory bitmap, so nothing flickers; the child windows'
  // places are left as they are when `leaveOutChildren` is set.
  void paintBuffered(const std::function<void(HDC, const RECT&)>& paint, bool leaveOutChildren = false);
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
  virtual void create(HWND parent);
  void adoptGraphic(ui::GraphicControl& control);
  // The graphic control is gone: forget it and its peer.
  void dropGraphic(GraphicPeer* peer);
  // Shows the control's hint as a tooltip of its form; an empty hint has no
  // tool there.
  void updateHint();

  void sync() override;
  void update(const ui::Change& change) override;
  void repaint() override;
  void controlDestroyed() override;
  void focus() override {
    if (hwnd_) SetFocus(hwnd_);
  }
  ui::ControlPeer& asPeer() override { return *this; }

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual const char* windowClass() const { return classes::Panel; }
  // Extra window styles. A container lets the keyboard's Tab reach the
  // controls inside it; a control that takes the focus itself is no container.
  virtual DWORD extraStyle() const { return 0; }
  virtual DWORD exStyle() const { return WS_EX_CONTROLPARENT; }
  virtual std::string windowText() const { return control_.name(); }
  // Moves the window to the model's bounds.
  virtual void applyBounds();
  // Fills the control's colour and runs its paint event.
  virtual void paint(HDC dc, const RECT& rc);
  // Whether painting leaves the places of the child windows alone.
  virtual bool leavesOutChildren() const { return false; }
  // Shows one changed aspect of the model's content; bounds, visibility,
  // state and hint are the base's. Also called for every content aspect at
  // creation.
  virtual void mirror(const ui::Change& change);
  void runPaintEvent(HDC dc);
  // For a control that draws its own focus rectangle: whether it shows one
  // now, and the repaint when the focus comes or goes or the keyboard cues
  // change (true when `msg` was such a message; `result` is its answer).
  bool showsFocus();
  bool focusCueMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // Draws the graphic controls that sit on this one.
  void paintGraphics(HDC dc);
  void removeHint();
  TOOLINFOA toolInfo() const;

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
  HWND tooltip_ = nullptr;
  std::string tipShown_;
  bool tipAdded_ = false;
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
  DWORD exStyle() const override { return 0; }
  bool hot() const { return hot_; }
  bool captured() const { return captured_; }
  bool pressed() const { return pressed_; }

 private:
  bool hot_ = false;
  bool captured_ = false;
  bool pressed_ = false;
};

// A label that is a tab stop (a hyperlink): its own window, drawn as the
// label is, with a focus rectangle while it has the focus; Enter or Space
// activates it, and the mouse reaches it as it reaches any label.
class FocusLabelWindow : public ChildWindow {
 public:
  FocusLabelWindow(Win32Toolkit& toolkit, ui::Label& label) : ChildWindow(toolkit, label), label_(label) {}
  // Made at the size its text needs.
  void create(HWND parent) override;

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  DWORD extraStyle() const override { return WS_TABSTOP; }
  DWORD exStyle() const override { return 0; }
  void paint(HDC dc, const RECT& rc) override;
  void mirror(const ui::Change& change) override;

 private:
  ui::Label& label_;
  bool hovered_ = false;
};

class ToolButtonWindow : public PressableWindow {
 public:
  ToolButtonWindow(Win32Toolkit& toolkit, ui::ToolButton& button) : PressableWindow(toolkit, button), button_(button) {}

 protected:
  const char* windowClass() const override { return classes::ToolButton; }
  void paint(HDC dc, const RECT& rc) override;

 private:
  ui::ToolButton& button_;
};

// The captioned push button. It takes the focus (Tab, a click) and answers
// the keyboard as a push button does: Space clicks it, its "&" letter clicks
// it, Enter clicks it while it has the focus; otherwise Enter clicks the
// form's default button.
class ButtonWindow : public PressableWindow {
 public:
  ButtonWindow(Win32Toolkit& toolkit, ui::Button& button) : PressableWindow(toolkit, button), button_(button) {}

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  const char* windowClass() const override { return classes::Button; }
  DWORD extraStyle() const override { return WS_TABSTOP; }
  std::string windowText() const override { return button_.caption(); }
  void paint(HDC dc, const RECT& rc) override;
  void mirror(const ui::Change& change) override;

 private:
  void click();
  bool pressedByEnter() const;
  ui::Button& button_;
  bool spaceDown_ = false;
};

// A control realised as one of the system's own controls: created with the
// system's window class and subclassed, so that its messages pass through
// the peer first. What the control reports to its parent comes back here
// through reflected(); while the peer mirrors the model into the control,
// the control's own reports of that change are ignored.
class NativeControlWindow : public ChildWindow {
 public:
  using ChildWindow::ChildWindow;
  ~NativeControlWindow() override;
  void create(HWND parent) override;
  void sync() override;
  void update(const ui::Change& change) override;

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual const char* nativeClass() const = 0;
  virtual DWORD nativeStyle() const = 0;
  DWORD exStyle() const override { return 0; }
  // The control's text is a file-system path: a wide window, which keeps
  // every letter of it.
  virtual bool holdsPath() const { return false; }
  // After the window exists: the model's state goes into it.
  virtual void created() {}
  // A new colour: the control asks for it again as it repaints.
  void mirror(const ui::Change& change) override;
  // A brush of the control's colour for its background and the text colour,
  // as a parent answers WM_CTLCOLOR*.
  LRESULT colorOf(HDC dc);
  // Runs `fn` with the control's reports muted.
  template <class Fn>
  void muted(Fn fn) {
    const bool was = syncing_;
    syncing_ = true;
    fn();
    syncing_ = was;
  }
  bool syncing() const { return syncing_; }

 private:
  static LRESULT CALLBACK nativeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  WNDPROC original_ = nullptr;  // the control's own window procedure
  bool syncing_ = false;
  HBRUSH brush_ = nullptr;
  COLORREF brushColor_ = 0;
};

// A BUTTON with a check mark whose state the model decides: a click, Space
// or the "&" letter (BM_CLICK from the dialog manager) goes to the model,
// which fires OnClick; the mark shows the model's state.
class CheckMarkWindow : public NativeControlWindow {
 public:
  CheckMarkWindow(Win32Toolkit& toolkit, ui::CaptionControl& control)
      : NativeControlWindow(toolkit, control), captioned_(control) {}

 protected:
  const char* nativeClass() const override { return "BUTTON"; }
  std::string windowText() const override { return captioned_.caption(); }
  bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void mirror(const ui::Change& change) override;
  virtual bool checked() const = 0;
  // The user clicked: the model's answer to it.
  virtual void clicked() = 0;

 private:
  ui::CaptionControl& captioned_;
};

// BUTTON with BS_CHECKBOX: a click toggles the model.
class CheckBoxWindow : public CheckMarkWindow {
 public:
  CheckBoxWindow(Win32Toolkit& toolkit, ui::CheckBox& box) : CheckMarkWindow(toolkit, box), box_(box) {}

 protected:
  DWORD nativeStyle() const override { return BS_CHECKBOX | WS_TABSTOP; }
  bool checked() const override { return box_.checked(); }
  void clicked() override { box_.toggle(); }

 private:
  ui::CheckBox& box_;
};

// BUTTON with BS_RADIOBUTTON: the model keeps the group. Only the checked
// button of a group is a Tab stop; the arrow keys move within the group.
class RadioButtonWindow : public CheckMarkWindow {
 public:
  RadioButtonWindow(Win32Toolkit& toolkit, ui::RadioButton& button)
      : CheckMarkWindow(toolkit, button), button_(button) {}
  ui::RadioButton& button() { return button_; }

 protected:
  DWORD nativeStyle() const override { return BS_RADIOBUTTON; }
  void mirror(const ui::Change& change) override;
  bool checked() const override { return button_.checked(); }
  void clicked() override {
    if (!button_.checked()) button_.choose();
  }

 private:
  ui::RadioButton& button_;
};

// BUTTON with BS_GROUPBOX as a container: the controls of the group are its
// child windows, the labels on it are drawn over its background.
class GroupBoxWindow : public NativeControlWindow {
 public:
  GroupBoxWindow(Win32Toolkit& toolkit, ui::GroupBox& box) : NativeControlWindow(toolkit, box), box_(box) {}

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  const char* nativeClass() const override { return "BUTTON"; }
  DWORD nativeStyle() const override { return BS_GROUPBOX | WS_CLIPCHILDREN; }
  DWORD exStyle() const override { return WS_EX_CONTROLPARENT; }
  std::string windowText() const override { return box_.caption(); }
  void paint(HDC dc, const RECT& rc) override;
  // The class paints the frame through the parent's drawing area, over the
  // controls inside: their places are left out.
  bool leavesOutChildren() const override { return true; }
  void mirror(const ui::Change& change) override;

 private:
  ui::GroupBox& box_;
};

// EDIT: the text, or the password character in its place; every change the
// user makes goes to the model, which fires OnChange.
class EditWindow : public NativeControlWindow {
 public:
  EditWindow(Win32Toolkit& toolkit, ui::Edit& edit) : NativeControlWindow(toolkit, edit), edit_(edit) {}

 protected:
  const char* nativeClass() const override { return "EDIT"; }
  DWORD nativeStyle() const override;
  DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  std::string windowText() const override { return edit_.text(); }
  bool holdsPath() const override { return edit_.holdsPath; }
  bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void mirror(const ui::Change& change) override;

 private:
  ui::Edit& edit_;
};

// msctls_hotkey32: a key pressed without Shift, Ctrl or Alt gets Ctrl.
class HotKeyEditWindow : public NativeControlWindow {
 public:
  HotKeyEditWindow(Win32Toolkit& toolkit, ui::HotKeyEdit& edit) : NativeControlWindow(toolkit, edit), edit_(edit) {}

  // Between the model's shortcut value and the control's: the key code in
  // the low byte, HOTKEYF_* in the high byte.
  static WORD toControl(std::uint32_t shortcut);
  static std::uint32_t fromControl(WORD hotKey);

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  const char* nativeClass() const override { return HOTKEY_CLASSA; }
  DWORD nativeStyle() const override { return WS_TABSTOP; }
  DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  std::string windowText() const override { return ""; }
  bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void created() override;
  void mirror(const ui::Change& change) override;

 private:
  // The control's key goes to the model when they differ.
  void feedBack(bool emptied);
  void showModelKey();
  ui::HotKeyEdit& edit_;
};

// A read-only EDIT with an up-down control beside it: the arrows and the Up
// and Down keys change the value within the model's bounds; typing does not.
class SpinEditWindow : public NativeControlWindow {
 public:
  SpinEditWindow(Win32Toolkit& toolkit, ui::SpinEdit& spin) : NativeControlWindow(toolkit, spin), spin_(spin) {}
  ~SpinEditWindow() override;
  HWND upDown() const { return upDown_; }
  void controlDestroyed() override;
  void update(const ui::Change& change) override;

 protected:
  const char* nativeClass() const override { return "EDIT"; }
  DWORD nativeStyle() const override { return ES_READONLY | ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP; }
  DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  std::string windowText() const override { return std::to_string(spin_.value()); }
  bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void created() override;
  void applyBounds() override;
  void mirror(const ui::Change& change) override;

 private:
  ui::SpinEdit& spin_;
  HWND upDown_ = nullptr;
  int upDownWidth_ = 16;
};

// msctls_progress32 with a smooth band, its range in thousandths of the
// model's, so any 64-bit bounds fit.
class ProgressBarWindow : public NativeControlWindow {
 public:
  ProgressBarWindow(Win32Toolkit& toolkit, ui::ProgressBar& bar) : NativeControlWindow(toolkit, bar), bar_(bar) {}

 protected:
  const char* nativeClass() const override { return PROGRESS_CLASSA; }
  DWORD nativeStyle() const override { return PBS_SMOOTH; }
  std::string windowText() const override { return ""; }
  void created() override { SendMessageA(hwnd_, PBM_SETRANGE32, 0, 1000); }
  void mirror(const ui::Change& change) override;

 private:
  ui::ProgressBar& bar_;
  int shownPermille_ = 0;
};

// LISTBOX showing the model's lines in the model's order; the user's
// selection goes to the model, and a double-click runs the model's event
// once the click has selected what lies under the pointer.
class ListBoxWindow : public NativeControlWindow {
 public:
  ListBoxWindow(Win32Toolkit& toolkit, ui::ListBox& list) : NativeControlWindow(toolkit, list), list_(list) {}

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  const char* nativeClass() const override { return "LISTBOX"; }
  DWORD nativeStyle() const override { return LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP; }
  DWORD exStyle() const override { return WS_EX_CLIENTEDGE; }
  std::string windowText() const override { return ""; }
  bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void mirror(const ui::Change& change) override;
  bool holdsPath() const override { return list_.holdsPaths; }

 private:
  // Every line again, with the control's drawing held until the end.
  void reload();
  // LB_ADDSTRING or LB_INSERTSTRING with a line, wide for a list of paths.
  void sendLine(UINT msg, WPARAM index, const std::string& line);
  ui::ListBox& list_;
};

// SysTabControl32: a tab per sheet; the sheets are child panels filling its
// display area, and only the active one is shown.
class PageControlWindow : public NativeControlWindow {
 public:
  PageControlWindow(Win32Toolkit& toolkit, ui::PageControl& pages)
      : NativeControlWindow(toolkit, pages), pages_(pages) {}
  void update(const ui::Change& change) override;

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  const char* nativeClass() const override { return WC_TABCONTROLA; }
  DWORD nativeStyle() const override { return WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS; }
  DWORD exStyle() const override { return WS_EX_CONTROLPARENT; }
  std::string windowText() const override { return ""; }
  bool reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void mirror(const ui::Change& change) override;

 private:
  // A tab for each of the model's sheets.
  void showTabs();
  // Sets the model's tab height from the control's display area.
  void measure();
  // The focus is lost with a sheet that was hidden: it moves to the first
  // control of the shown one. Not while the user changes tabs on the strip
  // itself (arrows, a click with the focus there): the focus stays on it.
  void keepFocus();
  ui::PageControl& pages_;
  bool changedOnStrip_ = false;
};

// A task pane takes the focus: Tab and the arrow keys move along its header
// and items and on to the next pane, Enter and Space click what has the
// focus, which a focus rectangle shows.
class TaskPaneWindow : public ChildWindow {
 public:
  static constexpr int HeaderTarget = ui::TaskPaneGroup::KeyHeader;
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
  DWORD extraStyle() const override { return WS_TABSTOP; }
  DWORD exStyle() const override { return 0; }
  void paint(HDC dc, const RECT& rc) override;

 private:
  void setHot(int target);
  // Tab, Shift+Tab and the arrows: the next place in the pane, else the
  // next control of the window, a pane entered at its near end.
  void step(bool forward);
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
  void update(const ui::Change& change) override;
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

  // Keys the form answers before the dialog manager sees them: Ctrl+Tab,
  // Alt plus a tab's letter, the arrows in a radio group. True when the
  // message was used up (the form may be gone then).
  bool preTranslate(const MSG& msg);

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void apply();
  void applyBounds();
  // The page control the keyboard's Ctrl+Tab acts on: the one holding the
  // focus, else the first one shown.
  ui::PageControl* keyboardPageControl();
  // The first control that takes the focus, or null.
  HWND firstTabStop();
  // Where Tab (or Shift+Tab, `back`) from `focus` goes when a page
  // control's tab strip is on the way; null when the dialog manager's
  // order holds.
  HWND tabStripStep(HWND focus, bool back);
  void reportBounds();
  void centreOnScreen();

  ui::Form& form_;
  HWND tooltip_ = nullptr;
  bool syncing_ = false;
  bool resync_ = false;
  bool shownApplied_ = false;
  bool contentsRealised_ = false;  // the controls, made when first shown
  bool enabledApplied_ = true;
  bool modalDone_ = false;
  HWND lastFocus_ = nullptr;  // the control that had the focus when the form lost it
  HWND opener_ = nullptr;     // the program's window that was active when the form was shown
};

}  // namespace ui::win32
