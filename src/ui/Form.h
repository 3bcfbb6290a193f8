// A top-level window with its life-cycle events. Forms are built with their
// components as members, then create() realises them and runs OnCreate.
#pragma once
#include <cstdint>
#include <functional>
#include "platform/Windows.h"
#include "ui/Control.h"
#include "ui/Toolkit.h"

namespace ui {

// The bits of a form's window style (FormPeer::style), numbered as the
// platform numbers them.
namespace windowstyle {
constexpr std::uint32_t Popup = 0x80000000;
constexpr std::uint32_t Caption = 0x00C00000;
constexpr std::uint32_t Border = 0x00800000;
constexpr std::uint32_t DlgFrame = 0x00400000;
constexpr std::uint32_t SysMenu = 0x00080000;
constexpr std::uint32_t ThickFrame = 0x00040000;
constexpr std::uint32_t ModalFrame = 0x00000080;
}  // namespace windowstyle

enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };
enum class FormPosition { Designed, ScreenCenter };
enum class CloseAction { None, Hide, Free };
enum class FormKey { Enter, Escape, Letter };

class FormPeer : public ControlPeer {
 public:
  virtual void show() = 0;
  virtual void hide() = 0;
  // Shows the form and runs a nested message loop until endModal().
  virtual void runModal() = 0;
  virtual void endModal() = 0;
  virtual std::uint32_t style() = 0;
  virtual void setStyle(std::uint32_t style) = 0;
  virtual int captionHeight() = 0;
  // Lets the user move the window with the mouse, as a caption drag does.
  virtual void beginDrag() = 0;
  virtual platform::WindowId handle() = 0;
  // The model's client size changed after realisation: resizes the window so
  // that its client area has that size and returns true, or returns false
  // when the peer leaves the bounds to the model.
  virtual bool clientSizeChanged() { return false; }
};

class Form : public Control {
 public:
  Form(Toolkit& toolkit, std::string name);
  ~Form() override;

  Toolkit& toolkit() { return toolkit_; }
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c);
  BorderStyle borderStyle() const { return borderStyle_; }
  void setBorderStyle(BorderStyle b) { borderStyle_ = b; }
  // The window this one stays in front of; set before create().
  Form* owner() const { return owner_; }
  void setOwner(Form* owner) { owner_ = owner; }
  FormPosition position() const { return position_; }
  void setPosition(FormPosition p) { position_ = p; }
  // Client size at design; the window size follows from it and the border.
  // Once the form is realised its bounds are the outer window's.
  void setClientSize(int w, int h);
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  Rect insideRect() const override { return Rect{0, 0, clientWidth_, clientHeight_}; }
  // The realisation reports the client area after every change of size.
  void clientResized(int w, int h);

  void create();
  // Runs OnDestroy once. A form with an OnDestroy handler calls it from its
  // own destructor, while its components still exist.
  void destroy();
  void show();
  void hide();
  // A close request, as from the system menu or Alt+F4: OnClose decides.
  void close();
  // A key the form answers: Enter clicks the default button, Escape the
  // cancel button (closes a form that has none), a letter the button its
  // caption marks. Only a visible, enabled button takes a key. True if used.
  bool keyPressed(FormKey key, char letter = 0);
  // Shows the form modally; returns once it has closed.
  void showModal();
  bool modal() const { return modal_; }

  FormPeer* formPeer() const { return static_cast<FormPeer*>(peer()); }
  platform::WindowId handle() const { return formPeer() ? formPeer()->handle() : 0; }

  std::function<void()> OnCreate;
  std::function<void()> OnShow;
  std::function<void()> OnHide;
  std::function<void(CloseAction&)> OnClose;
  // The control that has the focus when the form first comes up; without
  // one, the first that takes it.
  Control* ActiveControl = nullptr;
  // F1 in the form: its help page.
  std::function<void()> OnHelp;
  std::function<void()> OnDestroy;
  // Observers of the window being shown, seen before OnShow (the tray icon
  // watches its owner this way).
  std::vector<std::function<void()>> shownObservers;

 private:
  Toolkit& toolkit_;
  std::string caption_;
  BorderStyle borderStyle_ = BorderStyle::Sizeable;
  FormPosition position_ = FormPosition::Designed;
  Form* owner_ = nullptr;
  int clientWidth_ = 0, clientHeight_ = 0;
  bool modal_ = false;
  bool created_ = false;
};

}  // namespace ui
