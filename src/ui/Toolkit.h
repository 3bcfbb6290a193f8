// The toolkit's connection to a window system: it realises forms as real
// windows, opens menus, runs the message loop and owns the application's
// hidden top-level window. Every event handler runs through dispatch(), which
// shows an exception's message in the error box instead of ending the program
// (an Abort ends the handler quietly).
#pragma once
#include <exception>
#include <functional>
#include <string>
#include "platform/Dialogs.h"
#include "platform/Windows.h"

namespace ui {

class Form;
class PopupMenu;

// Ends an event handler without a message, for a failure the user has
// already been told about.
class Abort : public std::exception {
 public:
  const char* what() const noexcept override { return "Operation aborted"; }
};

class Toolkit {
 public:
  explicit Toolkit(platform::Dialogs& dialogs) : dialogs_(dialogs) {}
  virtual ~Toolkit() = default;

  // Creates the form's window and the controls of its tree.
  virtual void realise(Form& form) = 0;
  // Opens the menu at screen position (x, y); returns after it has closed and
  // the chosen item's handler has run.
  virtual void popup(PopupMenu& menu, int x, int y) = 0;

  // The application: title, message loop, its hidden top-level window.
  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() = 0;
  virtual platform::WindowId appWindow() = 0;
  virtual void hideAppWindow() = 0;
  virtual void restoreAppWindow() = 0;
  virtual void run() = 0;
  virtual void terminate() = 0;
  virtual void processMessages() = 0;
  // The form that holds the focused control, or null.
  virtual Form* focusedForm() = 0;

  void dispatch(const std::function<void()>& handler);

 private:
  platform::Dialogs& dialogs_;
};

}  // namespace ui
