// The toolkit realised with user32, gdi32 and comctl32: forms become
// top-level windows owned by the application's hidden window, their controls
// child windows, popup menus flat owner-drawn menus. Every handler the window
// system triggers runs through dispatch().
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Toolkit.h"

namespace ui::win32 {

class WindowPeer;
class ChildWindow;
class FormWindow;
class MenuSession;

// The application window's title at start for an executable path: the file
// name without folder and extension, its first character as stored and the
// rest lower-cased ("C:\\Tools\\TarnWick.EXE" gives "Tarnwick").
std::string applicationTitleFor(const std::string& exePath);

class Win32Toolkit : public ui::Toolkit {
 public:
  explicit Win32Toolkit(platform::Dialogs& dialogs);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  void realise(ui::Form& form) override;
  void popup(ui::PopupMenu& menu, int x, int y) override;

  void setTitle(const std::string& title) override;
  std::string title() override;
  platform::WindowId appWindow() override;
  void hideAppWindow() override;
  void restoreAppWindow() override;
  void run() override;
  void terminate() override;
  void processMessages() override;
  ui::Form* focusedForm() override;

  // Creates the controls of a realised form that have no window yet.
  void realiseContents(FormWindow& window);
  // The window realising a control, or null.
  HWND windowOf(const ui::Control& control) const;
  // The hidden window that owns the popup menus.
  HWND menuHost() const { return menuHost_; }
  // Called just before one of the program's windows is hidden, and by the
  // menu host once its menu has closed: the foreground, when that window
  // has it, goes back to the window that was in front before.
  void keepActivation(HWND hiding);
  // The window in front when the program takes the foreground for its
  // menu: kept when it is another program's window that the system could
  // activate, else forgotten.
  void rememberFront(HWND front);
  bool terminated() const { return terminated_; }

  // Used by the realised controls.
  HINSTANCE instance() const { return instance_; }
  HFONT font() const { return font_; }
  HFONT boldFont() const { return boldFont_; }
  HFONT linkFont() const { return linkFont_; }  // underlined, for hot links
  // Realised forms in the order they were created.
  const std::vector<FormWindow*>& forms() const { return forms_; }
  FormWindow* formOf(HWND hwnd) const;
  // Runs a nested message loop until done() or the program ends.
  template <class Done>
  void loopUntil(Done done);
  // The model is gone: forget its realisation.
  void release(WindowPeer* peer);
  bool alive(const WindowPeer* peer) const { return peers_.count(const_cast<WindowPeer*>(peer)) != 0; }

 private:
  void registerClasses();
  void realiseChildren(ui::Control& parent, WindowPeer& parentWindow);
  std::unique_ptr<ChildWindow> createPeer(ui::Control& control);
  bool pumpOne();
  void deliver(MSG& msg);
  static LRESULT CALLBACK appWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK menuHostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT onAppMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HINSTANCE instance_;
  HWND appWindow_ = nullptr;
  HWND menuHost_ = nullptr;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HFONT linkFont_ = nullptr;
  bool terminated_ = false;
  bool commonControls_ = false;  // initialised
  HWND front_ = nullptr;  // see rememberFront
  std::unordered_map<WindowPeer*, std::unique_ptr<WindowPeer>> peers_;
  std::vector<FormWindow*> forms_;
  MenuSession* menu_ = nullptr;  // while a popup menu is open
};

template <class Done>
void Win32Toolkit::loopUntil(Done done) {
  while (!terminated_ && !done())
    if (!pumpOne()) break;
}

}  // namespace ui::win32
