// The toolkit's check boxes, radio buttons, group box, text, password,
// hot-key and spin fields and page control realised as the system's own
// controls on a real display, driven by real mouse and keyboard input: what
// the controls show, what reaches the models, and how the form answers the
// keyboard (Tab order, Space, Ctrl+Tab, Alt and a letter, Enter, Escape).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>
#include "Dib.h"
#include "RecordingDialogs.h"
#include "Tooltips.h"
#include "popup/uOpozorilo.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/win32/Peers.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

// A form with one of each control: two tabs, the first with a group box
// holding a check box, a radio group with a spin edit between its buttons,
// a text field and a password field; the second with a hot-key field and a
// check box. Apply is the default button, Close the cancel button.
class ControlsForm : public ui::Form {
 public:
  explicit ControlsForm(ui::Toolkit& tk)
      : ui::Form(tk, "frmControls"),
        Panel1(this, "Panel1"),
        PC(&Panel1, "PC"),
        tabGeneral(PC, "tabGeneral", "&General"),
        gbGroup(&tabGeneral, "gbGroup", "Group"),
        lbNote(&gbGroup, "lbNote"),
        cb_erase(&gbGroup, "cb_erase", "&Erase cookies"),
        rb_first(&gbGroup, "rb_first", "&First"),
        se_limit(&gbGroup, "se_limit"),
        rb_second(&gbGroup, "rb_second", "&Second"),
        ed_text(&gbGroup, "ed_text"),
        ed_pass(&gbGroup, "ed_pass"),
        tabKeys(PC, "tabKeys", "&Keys"),
        ed_hotkey(&tabKeys, "ed_hotkey"),
        cb_run(&tabKeys, "cb_run", "&Run at start"),
        btnApply(&Panel1, "btnApply", "&Apply"),
        btnClose(&Panel1, "btnClose", "&Close") {
    setCaption("Controls");
    setBorderStyle(ui::BorderStyle::Single);
    setPosition(ui::FormPosition::ScreenCenter);
    setClientSize(360, 290);
    paintSilver(*this);
    Panel1.bevelOuter = ui::Bevel::None;
    Panel1.setAlign(ui::Align::Client);
    PC.setBounds(8, 8, 344, 230);
    gbGroup.setBounds(6, 6, 324, 180);
    lbNote.setBounds(12, 150, 200, 13);
    lbNote.setCaption("Note below the fields");
    cb_erase.setBounds(12, 20, 200, 17);
    cb_erase.setHint("Cleans the cookies");
    rb_first.setBounds(12, 46, 120, 17);
    se_limit.setBounds(140, 44, 44, 21);
    se_limit.setRange(0, 15);
    se_limit.setValue(5);
    rb_second.setBounds(12, 72, 120, 17);
    rb_first.setChecked(true);
    ed_text.setBounds(12, 100, 140, 21);
    ed_pass.setBounds(164, 100, 140, 21);
    ed_pass.setPasswordChar('*');
    ed_hotkey.setBounds(12, 20, 160, 21);
    ed_hotkey.setHotKey('A' | ui::shortcut::Ctrl);
    cb_run.setBounds(12, 52, 160, 17);
    btnApply.setBounds(196, 252, 75, 25);
    btnApply.Default = true;
    btnClose.setBounds(277, 252, 75, 25);
    btnClose.Cancel = true;

    for (ui::Control* c : std::initializer_list<ui::Control*>{&cb_erase, &rb_first, &rb_second, &cb_run, &btnApply,
                                                              &btnClose})
      c->OnClick = [this, c] { clicks.push_back(c->name()); };
    ed_text.OnChange = [this] { changes.push_back("ed_text=" + ed_text.text()); };
    ed_pass.OnChange = [this] { changes.push_back("ed_pass=" + ed_pass.text()); };
    ed_hotkey.OnChange = [this] { changes.push_back("ed_hotkey=" + std::to_string(ed_hotkey.hotKey())); };
    se_limit.OnChange = [this] { changes.push_back("se_limit=" + std::to_string(se_limit.value())); };
    PC.OnChange = [this] { changes.push_back("PC=" + std::to_string(PC.activePageIndex())); };
  }
  ~ControlsForm() override { destroy(); }

  ui::Panel Panel1;
  ui::PageControl PC;
  ui::TabSheet tabGeneral;
  ui::GroupBox gbGroup;
  ui::Label lbNote;
  ui::CheckBox cb_erase;
  ui::RadioButton rb_first;
  ui::SpinEdit se_limit;
  ui::RadioButton rb_second;
  ui::Edit ed_text;
  ui::Edit ed_pass;
  ui::TabSheet tabKeys;
  ui::HotKeyEdit ed_hotkey;
  ui::CheckBox cb_run;
  ui::Button btnApply;
  ui::Button btnClose;

  std::vector<std::string> clicks;
  std::vector<std::string> changes;

 private:
  static void paintSilver(ui::Control& c) {
    c.setColor(ui::clSilver);
    for (ui::Control* child : c.children()) paintSilver(*child);
  }
};

// ---------------------------------------------------------------------------
// Real input, as the system delivers it.

bool extended(WORD vk) {
  return vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_DELETE || vk == VK_INSERT ||
         vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT;
}

void keyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &in, sizeof in);
}

void mouseEvent(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

// Runs `act` every 100 ms from whichever message loop is running.
class Ticker {
 public:
  explicit Ticker(std::function<void()> act) : act_(std::move(act)) {
    current_ = this;
    id_ = SetTimer(nullptr, 0, 100, &Ticker::tick);
  }
  ~Ticker() {
    KillTimer(nullptr, id_);
    current_ = nullptr;
  }

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) current_->act_();
  }
  static inline Ticker* current_ = nullptr;
  std::function<void()> act_;
  UINT_PTR id_ = 0;
};

class Controls : public testing::Test {
 protected:
  void SetUp() override {
    form.create();
    form.show();
    HWND w = win(form);
    SetForegroundWindow(w);
    // Keys follow the pointer on a display without a window manager.
    RECT r;
    GetWindowRect(w, &r);
    SetCursorPos(r.left + 3, r.top + 3);
    pump(200);
  }
  void TearDown() override {
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
  }

  HWND win(const ui::Control& c) { return tk.windowOf(c); }

  void pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
      tk.processMessages();
      Sleep(5);
    } while (GetTickCount() < end);
  }

  // Pumps until `done` holds, for two seconds at most.
  bool waitFor(const std::function<bool()>& done) {
    const DWORD end = GetTickCount() + 2000;
    while (!done() && GetTickCount() < end) {
      tk.processMessages();
      Sleep(5);
    }
    return done();
  }

  // A key pressed with modifiers held, then everything released.
  void press(WORD vk, std::initializer_list<WORD> modifiers = {}) {
    for (WORD m : modifiers) keyEvent(m, false);
    keyEvent(vk, false);
    keyEvent(vk, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) keyEvent(*it, true);
    pump(120);
  }

  // A left click at a point of a control's client area (its middle unless
  // given).
  void click(const ui::Control& c, int x = -1, int y = -1) {
    HWND w = win(c);
    RECT rc;
    GetClientRect(w, &rc);
    POINT p{x < 0 ? rc.right / 2 : x, y < 0 ? rc.bottom / 2 : y};
    ClientToScreen(w, &p);
    SetCursorPos(p.x, p.y);
    pump(50);
    mouseEvent(MOUSEEVENTF_LEFTDOWN);
    mouseEvent(MOUSEEVENTF_LEFTUP);
    pump(150);
  }

  std::string nameOf(HWND w) {
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &form.cb_erase, &form.rb_first, &form.se_limit, &form.rb_second, &form.ed_text, &form.ed_pass,
             &form.ed_hotkey, &form.cb_run, &form.btnApply, &form.btnClose, &form.PC})
      if (win(*c) == w) return c->name();
    return w ? "other" : "none";
  }
  std::string focused() { return nameOf(GetFocus()); }

  LRESULT checkOf(const ui::Control& c) { return SendMessageA(win(c), BM_GETCHECK, 0, 0); }
  std::string textOf(const ui::Control& c) {
    char text[256] = "";
    SendMessageA(win(c), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }

  RecordingDialogs dialogs;
  ui::win32::Win32Toolkit tk{dialogs};
  ControlsForm form{tk};
};

using Strings = std::vector<std::string>;

TEST_F(Controls, RealisedAsTheSystemsControlsInTheFormsColours) {
  auto classOf = [this](const ui::Control& c) {
    char name[64] = "";
    GetClassNameA(win(c), name, sizeof name);
    return std::string(name);
  };
  auto style = [this](const ui::Control& c) { return GetWindowLongA(win(c), GWL_STYLE); };
  EXPECT_EQ(classOf(form.cb_erase), "Button");
  EXPECT_EQ(style(form.cb_erase) & BS_TYPEMASK, BS_CHECKBOX);
  EXPECT_EQ(style(form.rb_first) & BS_TYPEMASK, BS_RADIOBUTTON);
  EXPECT_EQ(style(form.gbGroup) & BS_TYPEMASK, BS_GROUPBOX);
  EXPECT_EQ(GetParent(win(form.cb_erase)), win(form.gbGroup)) << "the group's controls are inside it";
  EXPECT_EQ(classOf(form.ed_text), "Edit");
  EXPECT_EQ(classOf(form.ed_hotkey), HOTKEY_CLASSA);
  EXPECT_EQ(classOf(form.PC), WC_TABCONTROLA);
  EXPECT_EQ(GetParent(win(form.tabGeneral)), win(form.PC));
  EXPECT_EQ(SendMessageA(win(form.PC), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(textOf(form.cb_erase), "&Erase cookies");
  EXPECT_EQ(checkOf(form.rb_first), BST_CHECKED);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(win(form.cb_erase), WM_GETFONT, 0, 0)), tk.font());

  // The sheets fill the display area below the tabs; the model's tab height
  // is the control's.
  RECT display;
  GetClientRect(win(form.PC), &display);
  SendMessageA(win(form.PC), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  RECT sheet;
  GetWindowRect(win(form.tabGeneral), &sheet);
  MapWindowPoints(HWND_DESKTOP, win(form.PC), reinterpret_cast<POINT*>(&sheet), 2);
  EXPECT_EQ(sheet.top, display.top);
  EXPECT_EQ(form.PC.tabHeight + 2, display.top);
  EXPECT_TRUE(IsWindowVisible(win(form.tabGeneral)));
  EXPECT_FALSE(IsWindowVisible(win(form.tabKeys)));

  // Each control answers its colour request with the model's colour: the
  // silver of the form shows round the check box's text and inside the
  // group box, the label on the group box is drawn on it.
  RedrawWindow(win(form), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pump(100);
  RECT r;
  GetWindowRect(win(form), &r);
  Dib shot(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(shot.dc(), 0, 0, shot.width(), shot.height(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  auto at = [&](const ui::Control& c, int x, int y) {
    POINT p{x, y};
    ClientToScreen(win(c), &p);
    return shot.at(p.x - r.left, p.y - r.top);
  };
  const COLORREF silver = RGB(192, 192, 192);
  EXPECT_EQ(at(form.cb_erase, 190, 8), silver) << "right of the check box's text";
  EXPECT_EQ(at(form.gbGroup, 250, 60), silver) << "inside the group box";
  EXPECT_EQ(at(form.tabGeneral, 336, 200), silver) << "the sheet below the group box";
  int labelInk = 0;
  for (int x = 12; x < 120; ++x)
    for (int y = 150; y < 163; ++y)
      if (at(form.gbGroup, x, y) != silver) ++labelInk;
  EXPECT_GT(labelInk, 30) << "the label's text on the group box";

  // The hint is the control's tooltip.
  HWND tip = tooltipOf(win(form));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(tooltipText(tip, win(form), win(form.cb_erase)), "Cleans the cookies");
}

TEST_F(Controls, ClicksAndTheProgramsChangesReachTheModelOnce) {
  // A click on the check box: ticked, one OnClick.
  click(form.cb_erase, 8);
  EXPECT_TRUE(waitFor([&] { return form.cb_erase.checked(); }));
  EXPECT_EQ(checkOf(form.cb_erase), BST_CHECKED);
  EXPECT_EQ(form.clicks, Strings{"cb_erase"});

  // Set from code: the control shows it, OnClick runs once, nothing comes
  // back from the control.
  form.cb_erase.setChecked(false);
  pump(150);
  EXPECT_EQ(checkOf(form.cb_erase), BST_UNCHECKED);
  EXPECT_EQ(form.clicks, (Strings{"cb_erase", "cb_erase"}));
  form.cb_erase.setChecked(false);
  pump(50);
  EXPECT_EQ(form.clicks.size(), 2u) << "the same state fires nothing";

  // A disabled check box takes no click.
  form.cb_erase.setEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(win(form.cb_erase)));
  click(form.cb_erase, 8);
  EXPECT_FALSE(form.cb_erase.checked());
  form.cb_erase.setEnabled(true);

  // The radio group: a click on the second chooses it and clears the first,
  // in the models and on the screen; Tab now reaches the group there.
  form.clicks.clear();
  click(form.rb_second, 8);
  EXPECT_TRUE(waitFor([&] { return form.rb_second.checked(); }));
  EXPECT_FALSE(form.rb_first.checked());
  EXPECT_EQ(checkOf(form.rb_second), BST_CHECKED);
  EXPECT_EQ(checkOf(form.rb_first), BST_UNCHECKED);
  EXPECT_EQ(form.clicks, Strings{"rb_second"});
  EXPECT_TRUE(GetWindowLongA(win(form.rb_second), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongA(win(form.rb_first), GWL_STYLE) & WS_TABSTOP);
  // Chosen again: nothing.
  click(form.rb_second, 8);
  EXPECT_EQ(form.clicks, Strings{"rb_second"});
  // From code.
  form.rb_first.setChecked(true);
  pump(100);
  EXPECT_EQ(checkOf(form.rb_first), BST_CHECKED);
  EXPECT_EQ(checkOf(form.rb_second), BST_UNCHECKED);
  EXPECT_EQ(form.clicks, (Strings{"rb_second", "rb_first"}));

  // A click on a tab selects its sheet through the model.
  form.changes.clear();
  const int tabs = static_cast<int>(SendMessageA(win(form.PC), TCM_GETITEMCOUNT, 0, 0));
  ASSERT_EQ(tabs, 2);
  RECT tab;
  SendMessageA(win(form.PC), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  click(form.PC, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  EXPECT_TRUE(waitFor([&] { return form.PC.activePage() == &form.tabKeys; }));
  EXPECT_TRUE(IsWindowVisible(win(form.tabKeys)));
  EXPECT_FALSE(IsWindowVisible(win(form.tabGeneral)));
  EXPECT_EQ(form.changes, Strings{"PC=1"});
  // From code: the tab follows, no second change comes back.
  form.PC.setActivePage(&form.tabGeneral);
  pump(100);
  EXPECT_EQ(SendMessageA(win(form.PC), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(win(form.tabGeneral)));
  EXPECT_EQ(form.changes, (Strings{"PC=1", "PC=0"}));
}

TEST_F(Controls, TheKeyboardMovesThroughTheFormAndReachesItsControls) {
  // The first control that takes the focus has it when the form comes up.
  ASSERT_TRUE(waitFor([&] { return focused() == "cb_erase"; })) << focused();

  // Tab in creation order, into the group box and out of the page control;
  // of the radio group only the chosen button; Shift+Tab back.
  Strings order;
  for (int i = 0; i < 7; ++i) {
    press(VK_TAB);
    order.push_back(focused());
  }
  EXPECT_EQ(order, (Strings{"rb_first", "se_limit", "ed_text", "ed_pass", "btnApply", "btnClose", "cb_erase"}));
  order.clear();
  for (int i = 0; i < 3; ++i) {
    press(VK_TAB, {VK_SHIFT});
    order.push_back(focused());
  }
  EXPECT_EQ(order, (Strings{"btnClose", "btnApply", "ed_pass"}));
  EXPECT_TRUE(form.clicks.empty());

  // Space toggles the focused check box.
  press(VK_TAB, {VK_SHIFT});
  press(VK_TAB, {VK_SHIFT});
  press(VK_TAB, {VK_SHIFT});
  press(VK_TAB, {VK_SHIFT});
  ASSERT_EQ(focused(), "cb_erase");
  press(VK_SPACE);
  EXPECT_TRUE(form.cb_erase.checked());
  EXPECT_EQ(checkOf(form.cb_erase), BST_CHECKED);
  press(VK_SPACE);
  EXPECT_FALSE(form.cb_erase.checked());
  EXPECT_EQ(form.clicks, (Strings{"cb_erase", "cb_erase"}));

  // The arrows choose within the radio group.
  form.clicks.clear();
  press(VK_TAB);
  ASSERT_EQ(focused(), "rb_first");
  press(VK_DOWN);
  EXPECT_TRUE(form.rb_second.checked());
  EXPECT_EQ(focused(), "rb_second");
  EXPECT_EQ(checkOf(form.rb_second), BST_CHECKED);
  press(VK_UP);
  EXPECT_TRUE(form.rb_first.checked());
  EXPECT_EQ(form.clicks, (Strings{"rb_second", "rb_first"}));

  // Enter is the default button, Escape the cancel button, wherever the
  // focus is but on another push button, which Enter then presses itself.
  form.clicks.clear();
  press(VK_RETURN);
  press(VK_ESCAPE);
  EXPECT_EQ(form.clicks, (Strings{"btnApply", "btnClose"}));
  form.clicks.clear();
  form.changes.clear();
  press(VK_TAB, {VK_SHIFT});
  press(VK_TAB, {VK_SHIFT});
  ASSERT_EQ(focused(), "btnClose");
  press(VK_RETURN);
  press(VK_SPACE);
  EXPECT_EQ(form.clicks, (Strings{"btnClose", "btnClose"}));

  // Alt and a letter: the check box toggles, the radio button is chosen,
  // the button is clicked, the tab's sheet is selected.
  form.clicks.clear();
  press('E', {VK_MENU});
  EXPECT_TRUE(form.cb_erase.checked());
  press('S', {VK_MENU});
  EXPECT_TRUE(form.rb_second.checked());
  press('A', {VK_MENU});
  EXPECT_EQ(form.clicks, (Strings{"cb_erase", "rb_second", "btnApply"}));
  press('K', {VK_MENU});
  EXPECT_EQ(form.PC.activePage(), &form.tabKeys);
  // The focus went with the hidden sheet: it is on the first control of the
  // shown one, the hot-key field, where Alt and a letter are a combination.
  EXPECT_EQ(focused(), "ed_hotkey");
  press(VK_TAB);
  press('G', {VK_MENU});
  EXPECT_EQ(form.PC.activePage(), &form.tabGeneral);
  EXPECT_EQ(form.changes, (Strings{"PC=1", "PC=0"}));

  // Ctrl+Tab and Ctrl+Shift+Tab step through the tabs, wrapping round; the
  // focus left on a hidden sheet moves to the first control of the shown one.
  form.changes.clear();
  press(VK_TAB);
  ASSERT_EQ(focused(), "se_limit") << "the chosen radio button comes after it";
  press(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(form.PC.activePage(), &form.tabKeys);
  EXPECT_EQ(SendMessageA(win(form.PC), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(IsWindowVisible(win(form.tabKeys)));
  EXPECT_FALSE(IsWindowVisible(win(form.tabGeneral)));
  EXPECT_EQ(focused(), "ed_hotkey");
  press(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(form.PC.activePage(), &form.tabGeneral);
  EXPECT_EQ(form.ed_hotkey.hotKey(), 'A' | ui::shortcut::Ctrl) << "Ctrl+Tab leaves the hot-key field as it was";
  EXPECT_EQ(SendMessageA(win(form.ed_hotkey), HKM_GETHOTKEY, 0, 0), MAKEWORD('A', HOTKEYF_CONTROL));
  press(VK_TAB, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(form.PC.activePage(), &form.tabKeys);
  EXPECT_EQ(form.changes, (Strings{"PC=1", "PC=0", "PC=1"}));
  // Tab on the second sheet: its controls, then the buttons.
  press(VK_TAB);
  EXPECT_EQ(focused(), "cb_run");
  press(VK_TAB);
  EXPECT_EQ(focused(), "btnApply");
}

TEST_F(Controls, TypedTextHotKeysAndSpinArrowsGoToTheModels) {
  // Typing in the text field: one change per character.
  click(form.ed_text);
  ASSERT_EQ(focused(), "ed_text");
  press('A');
  press('B', {VK_SHIFT});
  press('C');
  EXPECT_EQ(form.ed_text.text(), "aBc");
  EXPECT_EQ(form.changes, (Strings{"ed_text=a", "ed_text=aB", "ed_text=aBc"}));
  // From code: shown, one change, nothing back.
  form.changes.clear();
  form.ed_text.setText("set");
  pump(100);
  EXPECT_EQ(textOf(form.ed_text), "set");
  EXPECT_EQ(form.changes, Strings{"ed_text=set"});

  // The password field shows "*" for each character and holds the text.
  form.changes.clear();
  press(VK_TAB);
  ASSERT_EQ(focused(), "ed_pass");
  press('P');
  press('W');
  EXPECT_EQ(form.ed_pass.text(), "pw");
  EXPECT_EQ(textOf(form.ed_pass), "pw");
  EXPECT_EQ(SendMessageA(win(form.ed_pass), EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_TRUE(GetWindowLongA(win(form.ed_pass), GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(form.changes, (Strings{"ed_pass=p", "ed_pass=pw"}));

  // The spin edit: typing is refused, Up and Down step within 0 to 15.
  form.changes.clear();
  click(form.se_limit, 8);
  ASSERT_EQ(focused(), "se_limit");
  press('9');
  EXPECT_EQ(textOf(form.se_limit), "5");
  EXPECT_EQ(form.se_limit.value(), 5);
  press(VK_UP);
  EXPECT_EQ(form.se_limit.value(), 6);
  EXPECT_EQ(textOf(form.se_limit), "6");
  EXPECT_EQ(form.changes, Strings{"se_limit=6"});
  for (int i = 0; i < 11; ++i) press(VK_UP);
  EXPECT_EQ(form.se_limit.value(), 15);
  EXPECT_EQ(textOf(form.se_limit), "15");
  EXPECT_EQ(form.changes.size(), 10u) << "no change past the upper bound";
  press(VK_DOWN);
  EXPECT_EQ(form.se_limit.value(), 14);
  // The arrows of the up-down control under the mouse.
  HWND arrows = GetWindow(win(form.se_limit), GW_HWNDNEXT);
  char cls[32] = "";
  GetClassNameA(arrows, cls, sizeof cls);
  ASSERT_STREQ(cls, UPDOWN_CLASSA);
  RECT ar;
  GetClientRect(arrows, &ar);
  auto clickArrow = [&](bool up) {
    POINT p{ar.right / 2, up ? ar.bottom / 4 : ar.bottom * 3 / 4};
    ClientToScreen(arrows, &p);
    SetCursorPos(p.x, p.y);
    pump(50);
    mouseEvent(MOUSEEVENTF_LEFTDOWN);
    mouseEvent(MOUSEEVENTF_LEFTUP);
    pump(150);
  };
  clickArrow(true);
  EXPECT_EQ(form.se_limit.value(), 15);
  clickArrow(true);
  EXPECT_EQ(form.se_limit.value(), 15);
  clickArrow(false);
  EXPECT_EQ(form.se_limit.value(), 14);
  EXPECT_EQ(textOf(form.se_limit), "14");
  // From code, clamped; the arrows go on from there.
  form.se_limit.setValue(40);
  pump(50);
  EXPECT_EQ(textOf(form.se_limit), "15");
  form.se_limit.setValue(3);
  pump(50);
  EXPECT_EQ(textOf(form.se_limit), "3");
  EXPECT_EQ(SendMessageA(arrows, UDM_GETPOS32, 0, 0), 3);
  clickArrow(true);
  EXPECT_EQ(form.se_limit.value(), 4);

  // The hot-key field: a bare letter holds Ctrl with it; a combination is
  // held as pressed; Alt and a letter are the field's, not a control's.
  form.PC.setActivePage(&form.tabKeys);
  pump(100);
  click(form.ed_hotkey);
  ASSERT_EQ(focused(), "ed_hotkey");
  EXPECT_EQ(SendMessageA(win(form.ed_hotkey), HKM_GETHOTKEY, 0, 0), MAKEWORD('A', HOTKEYF_CONTROL));
  press('B');
  EXPECT_EQ(form.ed_hotkey.hotKey(), 'B' | ui::shortcut::Ctrl);
  EXPECT_EQ(SendMessageA(win(form.ed_hotkey), HKM_GETHOTKEY, 0, 0), MAKEWORD('B', HOTKEYF_CONTROL));
  form.changes.clear();
  press('K', {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(form.ed_hotkey.hotKey(), 'K' | ui::shortcut::Ctrl | ui::shortcut::Shift);
  EXPECT_EQ(form.changes, Strings{"ed_hotkey=" + std::to_string('K' | ui::shortcut::Ctrl | ui::shortcut::Shift)})
      << "the modifiers alone change nothing";
  // Modifiers pressed and released alone: the field still shows the key.
  press(VK_CONTROL);
  EXPECT_EQ(form.ed_hotkey.hotKey(), 'K' | ui::shortcut::Ctrl | ui::shortcut::Shift);
  EXPECT_EQ(SendMessageA(win(form.ed_hotkey), HKM_GETHOTKEY, 0, 0), MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
  form.clicks.clear();
  press('R', {VK_MENU});
  EXPECT_EQ(form.ed_hotkey.hotKey(), 'R' | ui::shortcut::Alt);
  EXPECT_TRUE(form.clicks.empty()) << "Alt+R stays in the field";
  EXPECT_FALSE(form.cb_run.checked());
  press(VK_F4, {VK_MENU});
  EXPECT_EQ(form.ed_hotkey.hotKey(), VK_F4 | ui::shortcut::Alt);
  EXPECT_TRUE(IsWindowVisible(win(form))) << "Alt+F4 in the field is a key, no close";
  // From code: shown, with the arrow keys' extended flag.
  form.ed_hotkey.setHotKey(VK_UP | ui::shortcut::Ctrl);
  pump(50);
  EXPECT_EQ(SendMessageA(win(form.ed_hotkey), HKM_GETHOTKEY, 0, 0), MAKEWORD(VK_UP, HOTKEYF_CONTROL | HOTKEYF_EXT));
  // Backspace empties the field, and the model with it.
  press(VK_BACK);
  EXPECT_EQ(form.ed_hotkey.hotKey(), 0);
}

// The forms that had keys before the dialog manager answers them keep them:
// the notice closes on Enter, Escape and Alt+C, each pressing its Close
// button once.
TEST_F(Controls, TheNoticeClosesOnceOnEachOfItsKeys) {
  ui::PopupMenu tray(tk, "tray");
  struct Case {
    WORD key;
    std::initializer_list<WORD> modifiers;
  };
  for (const Case& c : {Case{VK_RETURN, {}}, Case{VK_ESCAPE, {}}, Case{'C', {VK_MENU}}}) {
    int closes = 0;
    bool pressed = false;
    const DWORD giveUp = GetTickCount() + 3000;
    // From the notice's own message loop: the keys once it is up; after
    // three seconds a close, so that the test cannot hang.
    Ticker ticker([&] {
      auto* notice = dynamic_cast<popup::TfrmOpozorilo*>(tk.focusedForm());
      if (GetTickCount() > giveUp) {
        if (!notice && !tk.forms().empty())
          notice = dynamic_cast<popup::TfrmOpozorilo*>(&tk.forms().back()->form());
        if (notice) notice->close();
        return;
      }
      if (pressed || !notice) return;
      pressed = true;
      auto close = notice->dialog_close.OnClick;
      notice->dialog_close.OnClick = [&closes, close] {
        ++closes;
        close();
      };
      RECT r;
      GetWindowRect(win(*notice), &r);
      SetCursorPos(r.left + 5, r.top + 30);
      for (WORD m : c.modifiers) keyEvent(m, false);
      keyEvent(c.key, false);
      keyEvent(c.key, true);
      for (WORD m : c.modifiers) keyEvent(m, true);
    });
    popup::ShowNotice(form, tray, popup::NoticeKind::Information, "Nothing to erase.");
    EXPECT_TRUE(pressed) << c.key;
    EXPECT_EQ(closes, 1) << c.key;
    pump(100);
  }
}

}  // namespace
