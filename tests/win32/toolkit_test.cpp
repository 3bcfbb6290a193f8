// Forms realised as real windows: sizes and styles, the application window,
// tool buttons and task panes fed by window messages, errors raised in
// handlers, modal showing, and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>
#include "chrome/WindowHeader.h"
#include "RecordingDialogs.h"
#include "Tooltips.h"
#include "platform/Dialogs.h"
#include "ui/CheckBox.h"
#include "ui/ListBox.h"
#include "ui/Panel.h"
#include "ui/TaskPaneGroup.h"
#include "ui/ToolButton.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

using ui::win32::Win32Toolkit;

RECT windowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}
RECT clientRect(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  return r;
}
// A child's rectangle in its parent's client coordinates.
RECT childRect(HWND w) {
  RECT r = windowRect(w);
  MapWindowPoints(HWND_DESKTOP, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void click(HWND w, int x, int y) {
  SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Runs fn from the message loop after `ms`, once.
class Later {
 public:
  Later(unsigned ms, std::function<void()> fn) : fn_(std::move(fn)) {
    current() = this;
    id_ = SetTimer(nullptr, 0, ms, &Later::tick);
  }
  ~Later() {
    KillTimer(nullptr, id_);
    if (current() == this) current() = nullptr;
  }

 private:
  static Later*& current() {
    static Later* later = nullptr;
    return later;
  }
  static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (Later* l = current()) {
      current() = nullptr;
      l->fn_();
    }
  }
  std::function<void()> fn_;
  UINT_PTR id_;
};

// A window of the program's kind: a bevelled panel filling the client area,
// the striped header with three tool buttons, and a panel of task panes.
class DemoForm : public chrome::HeaderForm {
 public:
  explicit DemoForm(ui::Toolkit& tk, std::string title = "  Tarnwick v3.4.1  ")
      : chrome::HeaderForm(tk, "frmDemo", 203, 163),
        btnClose(addHeaderButton("btnClose", ui::Glyph::Close, "Exit", [this] { log.push_back("exit"); })),
        btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { hide(); })),
        btnHelp(addHeaderButton("dxToolButton1", ui::Glyph::Help, "Show Help", [this] { log.push_back("help"); })),
        Panel2(&Panel1, "Panel2"),
        File1(&Panel2, "File1", "File"),
        Tools1(&Panel2, "Tools1", "Tools"),
        Settings(&Panel2, "Settings", "Options"),
        help(&Panel2, "help", "Help"),
        title_(std::move(title)) {
    setCaption("Tarnwick");
    setBorderStyle(ui::BorderStyle::Single);
    setPosition(ui::FormPosition::ScreenCenter);
    Panel2.bevelInner = ui::Bevel::Raised;
    Panel2.bevelOuter = ui::Bevel::Lowered;
    Panel2.setColor(14985086);
    Panel2.setAlign(ui::Align::Client);
    File1.addItem("Exit", [this] { log.push_back("File/Exit"); });
    Tools1.addItem("Erase", [this] { log.push_back("Tools/Erase"); });
    Tools1.addLabel("Erase manual:");
    for (const char* c : {"Cookies", "Recent Documents", "Temp Folder", "IE Cache", "IE History", "IE Address Bar",
                          "Empty Recycle Bin", "Run History", "Find History"})
      Tools1.addItem(c, [this, c] { log.push_back(std::string("Tools/") + c); });
    for (const char* c : {"Erase", "Browser", "Popup Blocker", "Misc", "Stats"}) Settings.addItem(c, nullptr);
    help.addItem("Help", nullptr);
    help.addLabel("-----------------------");
    help.addItem("Visit Home Page", nullptr);
    help.addItem("Check Latest Version", nullptr);
    help.addLabel("-----------------------");
    help.addItem("About", nullptr);
    for (ui::TaskPaneGroup* p : panes()) {
      p->setColor(14985086);
      p->setBounds(0, 0, 195, ui::TaskPaneGroup::CollapsedHeight);
      p->setExpandedHeight(ui::TaskPaneGroup::CollapsedHeight + 8 +
                           static_cast<int>(p->items().size()) * ui::TaskPaneGroup::ItemHeight);
      p->setAlign(ui::Align::Top);
      p->OnClick = [this, p] {
        log.push_back(p->caption() + " pane");
        accordion(*p);
      };
    }
    OnCreate = [this] { RemoveCaption(); };
  }
  ~DemoForm() override { destroy(); }

  std::vector<ui::TaskPaneGroup*> panes() { return {&File1, &Tools1, &Settings, &help}; }

  // Opening a pane folds the others and fits the window to it.
  void accordion(ui::TaskPaneGroup& pane) {
    const int folded = foldedHeight;
    if (!pane.collapsed()) {
      pane.setCollapsed(true);
      setHeight(folded);
    } else {
      setHeight(folded + pane.expandedHeight() - ui::TaskPaneGroup::CollapsedHeight);
    }
    for (ui::TaskPaneGroup* other : panes())
      if (other != &pane && !other->collapsed()) other->setCollapsed(true);
  }

  ui::ToolButton& btnClose;
  ui::ToolButton& btnMinimize;
  ui::ToolButton& btnHelp;
  ui::Panel Panel2;
  ui::TaskPaneGroup File1, Tools1, Settings, help;
  std::vector<std::string> log;
  int foldedHeight = 0;

 protected:
  std::string headerTitle() override { return title_; }

 private:
  std::string title_;
};

class ToolkitTest : public testing::Test {
 protected:
  void TearDown() override {
    tk.reset();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void pump(int ms = 50) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
      tk->processMessages();
      Sleep(5);
    } while (GetTickCount() < end);
  }
  HWND win(const ui::Control& c) { return tk->windowOf(c); }

  RecordingDialogs dialogs;
  std::unique_ptr<Win32Toolkit> tk = std::make_unique<Win32Toolkit>(dialogs);
};

TEST(ApplicationTitle, IsTheFileNameWithoutFolderOrExtensionLowerCasedAfterItsFirstCharacter) {
  EXPECT_EQ(ui::win32::applicationTitleFor("C:\\Program Files\\Tarnwick\\tarnwick.exe"), "tarnwick");
  EXPECT_EQ(ui::win32::applicationTitleFor("C:\\Apps\\TarnWick.EXE"), "Tarnwick");
  EXPECT_EQ(ui::win32::applicationTitleFor("D:/x/MY.COPY.exe"), "My.copy");
  EXPECT_EQ(ui::win32::applicationTitleFor("noext"), "noext");
  EXPECT_EQ(ui::win32::applicationTitleFor(""), "");
}

TEST_F(ToolkitTest, ApplicationWindowIsHiddenTitledAfterTheProgramAndOwnsEveryForm) {
  HWND app = reinterpret_cast<HWND>(tk->appWindow());
  ASSERT_TRUE(IsWindow(app));
  EXPECT_FALSE(IsWindowVisible(app));
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  EXPECT_EQ(tk->title(), ui::win32::applicationTitleFor(path));
  EXPECT_EQ(tk->title(), "win32_toolkit_test");

  tk->setTitle("Tarnwick v3.4.1");
  char text[64] = "";
  GetWindowTextA(app, text, sizeof text);
  EXPECT_STREQ(text, "Tarnwick v3.4.1");
  EXPECT_EQ(tk->title(), "Tarnwick v3.4.1");

  // Restored it is the program's taskbar button, and nothing else shows.
  tk->restoreAppWindow();
  EXPECT_TRUE(IsWindowVisible(app));
  EXPECT_EQ(GetWindow(app, GW_OWNER), nullptr);
  EXPECT_FALSE(GetWindowLongA(app, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  const RECT r = windowRect(app);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  tk->hideAppWindow();
  EXPECT_FALSE(IsWindowVisible(app));

  DemoForm form(*tk);
  form.create();
  EXPECT_EQ(GetWindow(win(form), GW_OWNER), app) << "forms have no taskbar button of their own";
  EXPECT_EQ(form.handle(), reinterpret_cast<platform::WindowId>(win(form)));
}

// Hiding the foreground window makes the system activate the next window
// below it; a window of another program there would take the keyboard. The
// toolkit keeps the activation in the program (on its hidden menu host) when
// nothing else of it is shown, and leaves the choice to the system otherwise.
TEST_F(ToolkitTest, HidingTheLastShownWindowKeepsTheActivationInTheProgram) {
  HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 10, 10, 120, 40, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(other);
  HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_POPUP | WS_VISIBLE, 20, 20, 120, 40, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(plain);
  ASSERT_EQ(GetForegroundWindow(), plain);
  ShowWindow(plain, SW_HIDE);
  EXPECT_EQ(GetForegroundWindow(), other) << "what the system does with a window it is not told about";
  DestroyWindow(plain);

  ui::Form first(*tk, "first"), second(*tk, "second");
  for (ui::Form* f : {&first, &second}) {
    f->setBorderStyle(ui::BorderStyle::Single);
    f->setClientSize(200, 100);
    f->create();
  }
  second.show();
  first.show();
  SetForegroundWindow(win(first));
  ASSERT_EQ(GetForegroundWindow(), win(first));
  first.hide();
  EXPECT_EQ(GetForegroundWindow(), win(second)) << "another shown form takes it as the system decides";

  second.hide();
  EXPECT_EQ(GetForegroundWindow(), tk->menuHost());
  EXPECT_FALSE(IsWindowVisible(tk->menuHost()));

  // The application window (the taskbar button) hidden last: the same.
  tk->restoreAppWindow();
  SetForegroundWindow(reinterpret_cast<HWND>(tk->appWindow()));
  ASSERT_EQ(GetForegroundWindow(), reinterpret_cast<HWND>(tk->appWindow()));
  tk->hideAppWindow();
  EXPECT_EQ(GetForegroundWindow(), tk->menuHost());
  DestroyWindow(other);
}

TEST_F(ToolkitTest, OuterSizeFollowsFromTheClientSizeAndTheBorder) {
  ui::Form plain(*tk, "plain");
  plain.setBorderStyle(ui::BorderStyle::None);
  plain.setClientSize(370, 264);
  plain.create();
  EXPECT_EQ(clientRect(win(plain)).right, 370);
  EXPECT_EQ(clientRect(win(plain)).bottom, 264);
  EXPECT_EQ(plain.width(), 370);
  EXPECT_EQ(plain.height(), 264);
  EXPECT_EQ(GetWindowLongA(win(plain), GWL_STYLE) & WS_CAPTION, 0);

  ui::Form single(*tk, "single");
  single.setBorderStyle(ui::BorderStyle::Single);
  single.setClientSize(203, 163);
  single.create();
  HWND w = win(single);
  EXPECT_EQ(clientRect(w).right, 203);
  EXPECT_EQ(clientRect(w).bottom, 163);
  const RECT outer = windowRect(w);
  EXPECT_EQ(single.width(), outer.right - outer.left);
  EXPECT_EQ(single.height(), outer.bottom - outer.top);
  EXPECT_GE(single.height(), 163 + GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, WS_CAPTION);

  // A new client size later resizes the window around it.
  single.setClientSize(250, 100);
  EXPECT_EQ(clientRect(w).right, 250);
  EXPECT_EQ(clientRect(w).bottom, 100);
  EXPECT_EQ(single.clientWidth(), 250);
}

TEST_F(ToolkitTest, ModelHeightResizesTheWindowAndAlignedPanelsFollow) {
  DemoForm form(*tk);
  form.create();
  form.show();
  form.foldedHeight = form.height();
  HWND w = win(form);
  // The caption is gone: the header is the only title bar.
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, WS_BORDER);

  form.setHeight(form.height() + 100);
  EXPECT_EQ(windowRect(w).bottom - windowRect(w).top, form.height());
  const RECT client = clientRect(w);
  EXPECT_EQ(form.clientHeight(), client.bottom);
  // Panel1 fills the client area, Panel2 what the header leaves of it.
  EXPECT_EQ(childRect(win(form.Panel1)).bottom, client.bottom);
  EXPECT_EQ(childRect(win(form.Panel2)).bottom, client.bottom - 2);
  EXPECT_EQ(childRect(win(form.Panel2)).top, 2 + chrome::HeaderHeight);
  EXPECT_EQ(childRect(win(form.cntHeader)).right - childRect(win(form.cntHeader)).left, client.right - 4);
}

TEST_F(ToolkitTest, ScreenCentredFormIsCentredWhenShownAndTheModelFollowsTheWindow) {
  DemoForm form(*tk);
  form.create();
  HWND w = win(form);
  EXPECT_FALSE(IsWindowVisible(w));
  form.show();
  pump();
  EXPECT_TRUE(IsWindowVisible(w));
  const RECT r = windowRect(w);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(form.left(), r.left);

  // Moved by the system (a drag does this), the model takes the new place.
  SetWindowPos(w, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(form.left(), 40);
  EXPECT_EQ(form.top(), 30);
  form.hide();
  EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(ToolkitTest, ToolButtonsClickShowHintsAndLeaveTheHeaderDragToThePanel) {
  DemoForm form(*tk);
  int headerDowns = 0;
  form.cntHeader.OnMouseDown = [&](ui::MouseButton, int, int) { ++headerDowns; };
  form.create();
  form.show();
  pump();

  // The buttons sit at the header's left end, 15 x 15 each.
  const RECT help = childRect(win(form.btnHelp));
  EXPECT_EQ(help.left, 30);
  EXPECT_EQ(help.right - help.left, 15);
  EXPECT_EQ(help.bottom - help.top, 15);

  click(win(form.btnHelp), 7, 7);
  click(win(form.btnClose), 7, 7);
  EXPECT_EQ(form.log, std::vector<std::string>({"help", "exit"}));
  EXPECT_EQ(headerDowns, 0) << "a click on a button is the button's";

  // Released outside the button it is no click.
  HWND b = win(form.btnHelp);
  SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
  SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 7));
  SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(40, 7));
  EXPECT_EQ(form.log.size(), 2u);

  // Elsewhere on the strip the header gets the press (and drags).
  SendMessageA(win(form.cntHeader), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 7));
  EXPECT_EQ(headerDowns, 1);

  // One tool per hinted button in the form's tooltip, with the hint's text.
  HWND tip = tooltipOf(win(form));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
  EXPECT_EQ(tooltipText(tip, win(form), win(form.btnMinimize)), "Hide");
  form.btnMinimize.setHint("");
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

  // "Hide" hides the form.
  click(win(form.btnMinimize), 7, 7);
  EXPECT_FALSE(form.visible());
  EXPECT_FALSE(IsWindowVisible(win(form)));
}

TEST_F(ToolkitTest, PaneHeaderClickRunsTheHandlerThenTogglesAndPanesBelowFollow) {
  DemoForm form(*tk);
  form.create();
  form.foldedHeight = form.height();
  form.show();
  HWND tools = win(form.Tools1), settings = win(form.Settings);
  const int expanded = form.Tools1.expandedHeight();
  EXPECT_EQ(childRect(tools).bottom - childRect(tools).top, ui::TaskPaneGroup::CollapsedHeight);
  const int settingsTop = childRect(settings).top;
  EXPECT_EQ(settingsTop, childRect(tools).bottom) << "panes are stacked";

  bool collapsedInHandler = false;
  form.Tools1.OnClick = [&] {
    collapsedInHandler = form.Tools1.collapsed();
    form.accordion(form.Tools1);
  };
  click(tools, 50, 20);
  EXPECT_TRUE(collapsedInHandler) << "the handler sees the state before the toggle";
  EXPECT_FALSE(form.Tools1.collapsed());
  EXPECT_EQ(childRect(tools).bottom - childRect(tools).top, expanded);
  EXPECT_EQ(childRect(settings).top, settingsTop + expanded - ui::TaskPaneGroup::CollapsedHeight);
  EXPECT_EQ(windowRect(win(form)).bottom - windowRect(win(form)).top, form.foldedHeight + expanded - 35);

  // Opening another folds this one.
  click(settings, 50, 20);
  EXPECT_TRUE(form.Tools1.collapsed());
  EXPECT_FALSE(form.Settings.collapsed());
  EXPECT_EQ(childRect(tools).bottom - childRect(tools).top, ui::TaskPaneGroup::CollapsedHeight);
  EXPECT_EQ(childRect(settings).top, settingsTop);

  click(settings, 50, 20);
  EXPECT_TRUE(form.Settings.collapsed());
  EXPECT_EQ(windowRect(win(form)).bottom - windowRect(win(form)).top, form.foldedHeight);
}

TEST_F(ToolkitTest, PaneItemClickRunsTheItemsCommandBeforeThePanesHandler) {
  DemoForm form(*tk);
  form.create();
  form.foldedHeight = form.height();
  form.show();
  HWND tools = win(form.Tools1);
  click(tools, 50, 20);  // open
  form.log.clear();

  // Rows of ItemHeight below the header: 0 Erase, 1 the label, 2 Cookies.
  auto rowY = [](int i) { return ui::TaskPaneGroup::CollapsedHeight + 4 + i * ui::TaskPaneGroup::ItemHeight + 10; };
  click(tools, 40, rowY(2));
  EXPECT_EQ(form.log, std::vector<std::string>({"Tools/Cookies", "Tools pane"}));
  EXPECT_TRUE(form.Tools1.collapsed()) << "choosing a command folds the pane";

  click(tools, 50, 20);
  form.log.clear();
  click(tools, 40, rowY(1));  // the disabled label
  EXPECT_TRUE(form.log.empty());
  click(tools, 40, rowY(0));
  EXPECT_EQ(form.log, std::vector<std::string>({"Tools/Erase", "Tools pane"}));

  // A folded pane has no items to click.
  form.log.clear();
  click(tools, 40, rowY(0));
  EXPECT_TRUE(form.log.empty());
}

TEST_F(ToolkitTest, HandlerExceptionGoesToTheErrorBoxWithTheTitleAndTheProgramGoesOn) {
  tk->setTitle("Tarnwick v3.4.1");
  DemoForm form(*tk);
  form.create();
  form.show();
  form.btnHelp.OnClick = [] { throw std::runtime_error("Cannot open file help.chm"); };
  form.btnClose.OnClick = [] { throw 42; };
  click(win(form.btnHelp), 7, 7);
  click(win(form.btnClose), 7, 7);
  ASSERT_EQ(dialogs.errors.size(), 2u);
  EXPECT_EQ(dialogs.errors[0], "Tarnwick v3.4.1: Cannot open file help.chm");
  EXPECT_EQ(dialogs.errors[1].rfind("Tarnwick v3.4.1: ", 0), 0u);

  // Still alive: the panes still work.
  form.foldedHeight = form.height();
  click(win(form.File1), 50, 20);
  EXPECT_FALSE(form.File1.collapsed());
  // An exception in a pane's handler: the toggle still happens afterwards.
  form.File1.OnClick = [] { throw std::runtime_error("pane"); };
  click(win(form.File1), 50, 20);
  EXPECT_EQ(dialogs.errors.size(), 3u);
  EXPECT_TRUE(form.File1.collapsed());
}

TEST_F(ToolkitTest, SystemCloseAsksTheModel) {
  DemoForm form(*tk);
  form.create();
  form.show();
  ui::CloseAction decided = ui::CloseAction::Free;
  form.OnClose = [&](ui::CloseAction& a) {
    decided = a;
    a = ui::CloseAction::None;
  };
  SendMessageA(win(form), WM_CLOSE, 0, 0);
  EXPECT_EQ(decided, ui::CloseAction::Hide);
  EXPECT_TRUE(IsWindowVisible(win(form))) << "OnClose refused";
  form.OnClose = nullptr;
  SendMessageA(win(form), WM_SYSCOMMAND, SC_CLOSE, 0);
  pump();
  EXPECT_FALSE(form.visible());
  EXPECT_FALSE(IsWindowVisible(win(form)));
  EXPECT_TRUE(IsWindow(win(form))) << "closing hides; the form lives on";
}

TEST_F(ToolkitTest, ModalFormReturnsAfterCloseWhileTheOthersWaitDisabled) {
  DemoForm main(*tk);
  main.create();
  main.show();
  DemoForm about(*tk, "  About  ");
  about.create();
  bool mainEnabledDuring = true, aboutVisibleDuring = false;
  int shows = 0, hides = 0;
  about.OnShow = [&] { ++shows; };
  about.OnHide = [&] { ++hides; };
  {
    Later later(100, [&] {
      mainEnabledDuring = IsWindowEnabled(win(main)) != 0;
      aboutVisibleDuring = IsWindowVisible(win(about)) != 0;
      click(win(about.btnMinimize), 7, 7);  // "Hide" closes... by hiding
    });
    about.showModal();
  }
  EXPECT_FALSE(mainEnabledDuring);
  EXPECT_TRUE(aboutVisibleDuring);
  EXPECT_TRUE(IsWindowEnabled(win(main)));
  EXPECT_FALSE(IsWindowVisible(win(about)));
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(hides, 1);

  // Closed from the system (Alt+F4) it returns as well, and can be shown again.
  {
    Later later(100, [&] { PostMessageA(win(about), WM_CLOSE, 0, 0); });
    about.showModal();
  }
  EXPECT_FALSE(about.visible());
  EXPECT_TRUE(IsWindowEnabled(win(main)));
  EXPECT_EQ(shows, 2);

  // Closed while it is being shown, before its loop has begun.
  about.OnShow = [&] {
    ++shows;
    about.close();
  };
  about.showModal();
  EXPECT_EQ(shows, 3);
  EXPECT_FALSE(IsWindowVisible(win(about)));
  EXPECT_TRUE(IsWindowEnabled(win(main)));
}

TEST_F(ToolkitTest, MessageLoopRunsUntilTerminateAndProcessMessagesDispatches) {
  bool ticked = false;
  {
    Later later(50, [&] {
      ticked = true;
      tk->terminate();
    });
    tk->run();
  }
  EXPECT_TRUE(ticked);
  EXPECT_TRUE(tk->terminated());
  tk->run();  // returns at once once terminated
}

TEST_F(ToolkitTest, ProcessMessagesDispatchesWhatIsQueued) {
  DemoForm form(*tk);
  form.create();
  form.show();
  PostMessageA(win(form), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.visible());
  tk->processMessages();
  EXPECT_FALSE(form.visible());
}

TEST_F(ToolkitTest, FocusedFormIsTheOneHoldingTheFocus) {
  DemoForm form(*tk);
  form.create();
  EXPECT_EQ(tk->focusedForm(), nullptr);
  form.show();
  SetFocus(win(form));
  pump();
  EXPECT_EQ(tk->focusedForm(), &form);
  form.hide();
  SetFocus(nullptr);
  EXPECT_EQ(tk->focusedForm(), nullptr);
}

// A form that waits hidden holds only its own window; its controls are made
// as it first comes up, with what the models became meanwhile, and stay.
TEST_F(ToolkitTest, ControlsAreMadeWhenTheFormIsFirstShown) {
  DemoForm form(*tk);
  ui::CheckBox box(&form.Panel2, "cb_popup", "");
  ui::ListBox list(&form.Panel2, "lbBlock");
  form.create();
  ASSERT_TRUE(IsWindow(win(form)));
  EXPECT_EQ(GetWindow(win(form), GW_CHILD), nullptr);
  EXPECT_EQ(win(form.btnHelp), nullptr);
  box.setCaption("&Enable popup blocker");
  box.setChecked(true);
  list.setItems({"a", "b"});
  list.insert(1, "ab");

  form.show();
  HWND listWindow = win(list);
  ASSERT_TRUE(IsWindow(listWindow));
  ASSERT_TRUE(IsWindow(win(box)));
  EXPECT_EQ(GetParent(listWindow), win(form.Panel2));
  EXPECT_EQ(SendMessageA(listWindow, LB_GETCOUNT, 0, 0), 3);
  char text[64] = "";
  GetWindowTextA(win(box), text, sizeof text);
  EXPECT_STREQ(text, "&Enable popup blocker");
  EXPECT_EQ(SendMessageA(win(box), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsWindow(win(form.btnHelp)));

  form.hide();
  form.show();
  EXPECT_EQ(win(list), listWindow) << "made once";
}

TEST_F(ToolkitTest, DestroyedModelsTakeTheirWindowsWithThem) {
  HWND formWindow, buttonWindow;
  {
    DemoForm form(*tk);
    form.create();
    form.show();
    formWindow = win(form);
    buttonWindow = win(form.btnHelp);
    ASSERT_TRUE(IsWindow(buttonWindow));
  }
  EXPECT_FALSE(IsWindow(buttonWindow));
  EXPECT_FALSE(IsWindow(formWindow));
  pump();  // nothing left that points at the dead models
}

// Real mouse input, as the system delivers it.
void mouse(DWORD flags, int dx = 0, int dy = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

TEST_F(ToolkitTest, DraggingTheHeaderMovesTheWindowAndAClickLeavesItWhereItWas) {
  DemoForm form(*tk);
  form.create();
  form.show();
  pump(100);
  const RECT before = windowRect(win(form));
  POINT grip{100, 7};  // on the stripes, right of the buttons
  ClientToScreen(win(form.cntHeader), &grip);

  // Press, move in steps from another thread (the move loop runs on this
  // one), release.
  SetCursorPos(grip.x, grip.y);
  pump(50);
  std::thread hand([] {
    Sleep(150);
    for (int i = 0; i < 6; ++i) {
      mouse(MOUSEEVENTF_MOVE, 5, 4);
      Sleep(30);
    }
    Sleep(100);
    mouse(MOUSEEVENTF_LEFTUP);
  });
  mouse(MOUSEEVENTF_LEFTDOWN);
  pump(800);
  hand.join();
  pump(100);
  const RECT after = windowRect(win(form));
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 24);
  EXPECT_EQ(form.left(), after.left) << "the model follows the window";
  EXPECT_EQ(after.right - after.left, before.right - before.left);

  // Pressed and released without moving: it stays.
  std::thread tap([] {
    Sleep(150);
    mouse(MOUSEEVENTF_LEFTUP);
  });
  mouse(MOUSEEVENTF_LEFTDOWN);
  pump(500);
  tap.join();
  pump(100);
  EXPECT_EQ(windowRect(win(form)).left, after.left);
  EXPECT_EQ(windowRect(win(form)).top, after.top);
}

TEST_F(ToolkitTest, HintAppearsAsATooltipWhenTheMouseRestsOnAButton) {
  DemoForm form(*tk);
  form.create();
  form.show();
  pump(100);
  POINT p{7, 7};
  ClientToScreen(win(form.btnMinimize), &p);
  SetCursorPos(p.x, p.y);
  HWND shown = nullptr;
  const DWORD end = GetTickCount() + 3000;
  while (!shown && GetTickCount() < end) {
    mouse(MOUSEEVENTF_MOVE, 0, 0);
    pump(50);
    for (HWND t = nullptr; (t = FindWindowExA(nullptr, t, TOOLTIPS_CLASSA, nullptr));)
      if (GetWindow(t, GW_OWNER) == win(form) && IsWindowVisible(t)) shown = t;
  }
  ASSERT_NE(shown, nullptr) << "no tooltip within 3 s";
  char text[64] = "";
  GetWindowTextA(shown, text, sizeof text);
  EXPECT_STREQ(text, "Hide");
  SetCursorPos(0, 0);
}

// Shows the demo window for a person (or a screenshot) to look at, when
// TARNWICK_DEMO_HOLD_MS is set: the Tools pane open with an item under the
// mouse, then a button's tooltip, then the tray menu with its Erase sub-menu.
TEST_F(ToolkitTest, DemoWindowLook) {
  const char* hold = std::getenv("TARNWICK_DEMO_HOLD_MS");
  const int holdMs = hold ? std::atoi(hold) : 0;
  tk->setTitle("Tarnwick v3.4.1");
  DemoForm form(*tk);
  form.create();
  form.foldedHeight = form.height();
  form.show();
  click(win(form.Tools1), 50, 20);
  // The pointer rests on "Cookies".
  POINT p{40, 35 + 4 + 2 * 20 + 10};
  ClientToScreen(win(form.Tools1), &p);
  SetCursorPos(p.x, p.y);
  mouse(MOUSEEVENTF_MOVE, 0, 0);
  pump(200);
  EXPECT_FALSE(form.Tools1.collapsed());
  if (holdMs <= 0) return;
  std::printf("[demo] window\n");
  std::fflush(stdout);
  pump(holdMs);

  POINT b{7, 7};
  ClientToScreen(win(form.btnHelp), &b);
  SetCursorPos(b.x, b.y);
  mouse(MOUSEEVENTF_MOVE, 0, 0);
  pump(1200);
  std::printf("[demo] tooltip\n");
  std::fflush(stdout);
  pump(holdMs);
  SetCursorPos(0, 0);

  ui::PopupMenu menu(*tk, "PopupMenu1");
  menu.add("PopupsClosed1", "Closed Popups: 12").enabled = false;
  menu.add("N4", "-");
  menu.add("Eraseall1", "&Erase");
  ui::MenuItem& erase = menu.add("Erase1", "E&rase...");
  for (const char* c : {"&Cookies", "&Recent Documents", "&Temp Folder", "IE Cac&he", "I&E History",
                        "IE &Address bar", "Em&pty Recycle Bin", "Run &History", "&Find History"})
    erase.add(c, c);
  menu.add("N1", "-");
  menu.add("ShowBlockList1", "Show Block &List");
  menu.add("Configurate1", "&Options");
  menu.add("Show1", "&Show");
  menu.add("N2", "-");
  menu.add("CheckLatestVersion1", "&Check Latest Version...");
  menu.add("N3", "-");
  menu.add("Help1", "&Help");
  menu.add("About1", "&About");
  menu.add("N5", "-");
  menu.add("Exit2", "E&xit");
  form.hide();
  std::thread keys([holdMs] {
    HWND m = nullptr;
    for (int i = 0; i < 300 && !(m = FindWindowA("#32768", nullptr)); ++i) Sleep(10);
    Sleep(100);
    PostMessageA(m, WM_CHAR, 'r', 1);  // opens the sub-menu
    Sleep(100);
    PostMessageA(m, WM_KEYDOWN, VK_DOWN, 1);
    std::printf("[demo] menu\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(holdMs));
    for (int i = 0; i < 3; ++i) {
      if (HWND w = FindWindowA("#32768", nullptr)) PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 1);
      Sleep(100);
    }
  });
  menu.popup(500, 200);
  keys.join();
}

}  // namespace
