#include "ui/win32/Win32Toolkit.h"
#include <commctrl.h>
#include <algorithm>
#include "platform/win32/resource.h"
#include "ui/TaskPaneGroup.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/MenuSession.h"
#include "ui/win32/Peers.h"

namespace ui::win32 {

namespace {

constexpr UINT ActivateLastPopup = WM_APP + 1;
// Sent to the application window by the installer and the uninstaller: the
// program ends as its Exit command ends it.
const UINT QuitMessage = RegisterWindowMessageA("TarnwickQuit");

}  // namespace

std::string applicationTitleFor(const std::string& exePath) {
  std::string name(exePath);
  const std::size_t slash = name.find_last_of("\\/:");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  if (name.size() > 1) CharLowerBuffA(&name[1], static_cast<DWORD>(name.size() - 1));
  return name;
}

namespace {

std::string startupTitle() {
  char path[MAX_PATH + 1] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return applicationTitleFor(path);
}

}  // namespace

Win32Toolkit::Win32Toolkit(platform::Dialogs& dialogs) : ui::Toolkit(dialogs), instance_(GetModuleHandleA(nullptr)) {
  font_ = createStandardFont(false);
  boldFont_ = createStandardFont(true);
  LOGFONTA lf{};
  GetObjectA(font_, sizeof lf, &lf);
  lf.lfUnderline = TRUE;
  linkFont_ = CreateFontIndirectA(&lf);
  registerClasses();
  // A caption and a minimise box make it the program's taskbar button; at
  // no size it shows nothing else.
  appWindow_ = CreateWindowExA(0, classes::App, startupTitle().c_str(),
                               WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                               GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                               nullptr, instance_, this);
  // Owned, so that it never gets a taskbar button while a menu shows it.
  menuHost_ = CreateWindowExA(WS_EX_TOOLWINDOW, classes::MenuHost, "", WS_POPUP, 0, 0, 0, 0, appWindow_, nullptr,
                              instance_, this);
}

Win32Toolkit::~Win32Toolkit() {
  // Forms that outlive the toolkit keep their models but lose their windows.
  for (auto& [raw, peer] : peers_) peer->control().attachPeer(nullptr);
  peers_.clear();
  forms_.clear();
  if (menuHost_) DestroyWindow(menuHost_);
  if (appWindow_) DestroyWindow(appWindow_);
  DeleteObject(font_);
  DeleteObject(boldFont_);
  DeleteObject(linkFont_);
}

void Win32Toolkit::registerClasses() {
  HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_MAIN));
  if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
  auto reg = [&](const char* name, WNDPROC proc, UINT style) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance_;
    wc.hIcon = icon;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);  // a second toolkit finds the classes registered
  };
  reg(classes::App, appWindowProc, 0);
  reg(classes::MenuHost, menuHostProc, 0);
  reg(classes::Form, WindowPeer::windowProc, 0);
  reg(classes::Panel, WindowPeer::windowProc, 0);
  reg(classes::ToolButton, WindowPeer::windowProc, 0);
  reg(classes::Button, WindowPeer::windowProc, 0);
  reg(classes::TaskPane, WindowPeer::windowProc, 0);
}

// ---------------------------------------------------------------------------
// Forms and their controls.

void Win32Toolkit::realise(ui::Form& form) {
  if (form.peer()) return;
  auto owned = std::make_unique<FormWindow>(*this, form);
  FormWindow& window = *owned;
  peers_.emplace(&window, std::move(owned));
  HWND owner = form.owner() ? windowOf(*form.owner()) : nullptr;
  window.create(owner ? owner : appWindow_);
  if (!window.hwnd()) {
    peers_.erase(&window);
    return;
  }
  forms_.push_back(&window);
}

// A form's controls are made when it is first shown: a program that waits
// hidden in the tray holds no child windows, and loads the common controls
// (whose classes, registered as the library loads, hold pictures of their
// own) only once a window comes up.
void Win32Toolkit::realiseContents(FormWindow& window) {
  if (!commonControls_) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    commonControls_ = true;
  }
  realiseChildren(window.form(), window);
}

std::unique_ptr<ChildWindow> Win32Toolkit::createPeer(ui::Control& control) {
  if (auto* pane = dynamic_cast<ui::TaskPaneGroup*>(&control)) return std::make_unique<TaskPaneWindow>(*this, *pane);
  if (auto* label = dynamic_cast<ui::Label*>(&control)) return std::make_unique<FocusLabelWindow>(*this, *label);
  if (auto* button = dynamic_cast<ui::ToolButton*>(&control))
    return std::make_unique<ToolButtonWindow>(*this, *button);
  if (auto* button = dynamic_cast<ui::Button*>(&control)) return std::make_unique<ButtonWindow>(*this, *button);
  if (auto* box = dynamic_cast<ui::CheckBox*>(&control)) return std::make_unique<CheckBoxWindow>(*this, *box);
  if (auto* radio = dynamic_cast<ui::RadioButton*>(&control))
    return std::make_unique<RadioButtonWindow>(*this, *radio);
  if (auto* group = dynamic_cast<ui::GroupBox*>(&control)) return std::make_unique<GroupBoxWindow>(*this, *group);
  if (auto* edit = dynamic_cast<ui::Edit*>(&control)) return std::make_unique<EditWindow>(*this, *edit);
  if (auto* hotKey = dynamic_cast<ui::HotKeyEdit*>(&control))
    return std::make_unique<HotKeyEditWindow>(*this, *hotKey);
  if (auto* spin = dynamic_cast<ui::SpinEdit*>(&control)) return std::make_unique<SpinEditWindow>(*this, *spin);
  if (auto* bar = dynamic_cast<ui::ProgressBar*>(&control)) return std::make_unique<ProgressBarWindow>(*this, *bar);
  if (auto* list = dynamic_cast<ui::ListBox*>(&control)) return std::make_unique<ListBoxWindow>(*this, *list);
  if (auto* pages = dynamic_cast<ui::PageControl*>(&control))
    return std::make_unique<PageControlWindow>(*this, *pages);
  if (auto* panel = dynamic_cast<ui::Panel*>(&control)) return std::make_unique<PanelWindow>(*this, *panel);
  // Any other control, a tab sheet too: its colour and its paint event.
  return std::make_unique<ChildWindow>(*this, control);
}

void Win32Toolkit::realiseChildren(ui::Control& parent, WindowPeer& parentWindow) {
  for (ui::Control* child : parent.children()) {
    if (child->peer()) continue;
    // Graphic controls are drawn by the panel they sit on, unless they take
    // the focus.
    if (auto* graphic = dynamic_cast<ui::GraphicControl*>(child); graphic && !graphic->tabStop) {
      if (auto* host = dynamic_cast<ChildWindow*>(&parentWindow)) host->adoptGraphic(*graphic);
      continue;
    }
    std::unique_ptr<ChildWindow> owned = createPeer(*child);
    ChildWindow& window = *owned;
    peers_.emplace(&window, std::move(owned));
    window.create(parentWindow.hwnd());
    if (!window.hwnd()) {
      peers_.erase(&window);
      continue;
    }
    child->attachPeer(&window);
    window.updateHint();
    realiseChildren(*child, window);
  }
}

void Win32Toolkit::release(WindowPeer* peer) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), peer), forms_.end());
  peers_.erase(peer);
}

HWND Win32Toolkit::windowOf(const ui::Control& control) const {
  auto* peer = dynamic_cast<WindowPeer*>(control.peer());
  return peer && alive(peer) ? peer->hwnd() : nullptr;
}

FormWindow* Win32Toolkit::formOf(HWND hwnd) const {
  for (FormWindow* f : forms_)
    if (f->hwnd() == hwnd) return f;
  return nullptr;
}

ui::Form* Win32Toolkit::focusedForm() {
  HWND focus = GetFocus();
  if (!focus) return nullptr;
  FormWindow* f = formOf(GetAncestor(focus, GA_ROOT));
  return f ? &f->form() : nullptr;
}

// ---------------------------------------------------------------------------
// Popup menus.

void Win32Toolkit::popup(ui::PopupMenu& menu, int x, int y) {
  if (menu_) return;  // one menu at a time
  MenuSession session(*this, menu);
  menu_ = &session;
  ui::MenuItem* chosen = nullptr;
  try {
    chosen = session.track(x, y);
  } catch (...) {
    menu_ = nullptr;
    throw;
  }
  menu_ = nullptr;
  // The menu is closed before the command runs, as after a click, and the
  // window that was in front has the foreground again; a window the
  // command shows takes it while the program handles the user's choice.
  keepActivation(menuHost_);
  if (chosen)
    menu.choose(*chosen);
  else if (session.helpAsked())
    menu.help();
}

LRESULT CALLBACK Win32Toolkit::menuHostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
  auto* tk = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (tk && tk->menu_) {
    LRESULT result = 0;
    try {
      if (tk->menu_->onHostMessage(msg, wp, lp, result)) return result;
    } catch (...) {
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// ---------------------------------------------------------------------------
// The application window.

void Win32Toolkit::setTitle(const std::string& title) { SetWindowTextA(appWindow_, title.c_str()); }

std::string Win32Toolkit::title() {
  char buffer[514] = "";
  // Without an application window (no display) nothing is read.
  const int n = GetWindowTextA(appWindow_, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

platform::WindowId Win32Toolkit::appWindow() { return reinterpret_cast<platform::WindowId>(appWindow_); }

namespace {

// A window of another program that the system would activate: shown,
// enabled, neither a tool window nor one that refuses activation (such as
// the taskbar).
bool activatableElsewhere(HWND w) {
  DWORD process = 0;
  if (!w || !IsWindow(w) || w == GetDesktopWindow() || !GetWindowThreadProcessId(w, &process)) return false;
  return process != GetCurrentProcessId() && IsWindowVisible(w) && IsWindowEnabled(w) &&
         !(GetWindowLongA(w, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE));
}

}  // namespace

void Win32Toolkit::rememberFront(HWND front) { front_ = activatableElsewhere(front) ? front : nullptr; }

// Hiding the foreground window makes the system activate another one. With
// no other window of the program shown and enabled, the window that was in
// front before the program took the foreground gets it back (the browser
// the user was in). Without one the system would pick another program's
// window (under Wine the desktop's taskbar, which then holds the keyboard
// and keeps the keys pressed on the tray menu opened next): the hidden menu
// host takes the activation instead.
void Win32Toolkit::keepActivation(HWND hiding) {
  if (!hiding || GetForegroundWindow() != hiding) return;
  auto takesOver = [hiding](HWND w) { return w && w != hiding && IsWindowVisible(w) && IsWindowEnabled(w); };
  if (takesOver(appWindow_)) return;
  for (FormWindow* f : forms_)
    if (takesOver(f->hwnd())) return;
  if (activatableElsewhere(front_))
    SetForegroundWindow(front_);
  else if (hiding != menuHost_)
    SetForegroundWindow(menuHost_);
}

void Win32Toolkit::hideAppWindow() {
  keepActivation(appWindow_);
  ShowWindow(appWindow_, SW_HIDE);
  // Wine's taskbar looks at the windows again only when one is made,
  // destroyed or activated, and may have looked at the activation moved
  // away above while this window was still shown; the window's own
  // deactivation, told now, has it look once more and drop the button.
  SendMessageA(appWindow_, WM_NCACTIVATE, FALSE, 0);
}

void Win32Toolkit::restoreAppWindow() { ShowWindow(appWindow_, SW_RESTORE); }

LRESULT CALLBACK Win32Toolkit::appWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
  auto* tk = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!tk) return DefWindowProcA(hwnd, msg, wp, lp);
  try {
    return tk->onAppMessage(hwnd, msg, wp, lp);
  } catch (...) {
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

LRESULT Win32Toolkit::onAppMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == QuitMessage && QuitMessage != 0) {
    terminate();
    return 0;
  }
  switch (msg) {
    case WM_CLOSE: {
      // Closing the taskbar button asks the main form (the first one) to
      // close, as the system menu of that form would.
      if (!forms_.empty()) {
        ui::Form& main = forms_.front()->form();
        dispatch([&main] { main.close(); });
      } else {
        terminate();
      }
      return 0;
    }
    case WM_SETFOCUS:
      // Activating the taskbar button activates the program's window.
      PostMessageA(hwnd, ActivateLastPopup, 0, 0);
      return 0;
    case ActivateLastPopup: {
      HWND popup = GetLastActivePopup(hwnd);
      if (popup && popup != hwnd && IsWindowVisible(popup) && IsWindowEnabled(popup)) SetForegroundWindow(popup);
      return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

// ---------------------------------------------------------------------------
// Message loops.

bool Win32Toolkit::pumpOne() {
  MSG msg;
  const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0) {
    terminated_ = true;
    // Loops further out (another modal form, a message box) end too.
    PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  if (got < 0) return false;
  deliver(msg);
  return true;
}

// Keys go through the dialog manager of the form they were pressed in, so
// that every form answers the keyboard as a dialog does: Tab and Shift+Tab,
// the "&" letters, Enter and Escape, Space on a focused button.
void Win32Toolkit::deliver(MSG& msg) {
  if (msg.hwnd && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (FormWindow* form = formOf(root)) {
      if (form->preTranslate(msg)) return;  // the form may be gone now
      if (IsWindow(root) && IsDialogMessageA(root, &msg)) return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void Win32Toolkit::run() {
  while (!terminated_)
    if (!pumpOne()) break;
}

void Win32Toolkit::terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void Win32Toolkit::processMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    deliver(msg);
  }
}

}  // namespace ui::win32
