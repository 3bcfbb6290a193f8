// The toolkit's check boxes, radio buttons, group box, text, password,
// hot-key and spin fields and page control realised as the system's own
// controls on a real display, driven by real mouse and keyboard input: what
// the controls show, what reaches the models, and how the form answers the
// keyboard (Tab order, Space, Ctrl+Tab, Alt and a letter, Enter, Escape).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <cstdio>
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
#include "platform/win32/WideText.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"
#include "ui/win32/Peers.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

using ui::shortcut::Alt;
using ui::shortcut::Ctrl;
using ui::shortcut::Shift;

// A form with one of each control: two tabs, the first with a group box
// holding a check box, a radio group with a spin edit between its buttons,
// a text field and a password field; the second with a hot-key field and a
// check box. Apply is the default button, Close the cancel button. Every
// click and change is recorded in `events`.
class ControlsForm : public ui::Form {
 public:
  explicit ControlsForm(ui::Toolkit& tk)
      : ui::Form(tk, "frmControls"), Panel1(this, "Panel1"), PC(&Panel1, "PC"),
        tabGeneral(PC, "tabGeneral", "&General"), gbGroup(&tabGeneral, "gbGroup", "Group"),
        lbNote(&gbGroup, "lbNote"), cb_erase(&gbGroup, "cb_erase", "&Erase cookies"),
        rb_first(&gbGroup, "rb_first", "&First"), se_limit(&gbGroup, "se_limit"),
        rb_second(&gbGroup, "rb_second", "&Second"), ed_text(&gbGroup, "ed_text"),
        ed_pass(&gbGroup, "ed_pass"), tabKeys(PC, "tabKeys", "&Keys"), ed_hotkey(&tabKeys, "ed_hotkey"),
        cb_run(&tabKeys, "cb_run", "&Run at start"), btnApply(&Panel1, "btnApply", "&Apply"),
        btnClose(&Panel1, "btnClose", "&Close") {
    setCaption("Controls");
    setBorderStyle(ui::BorderStyle::Single);
    setPosition(ui::FormPosition::ScreenCenter);
    setClientSize(360, 290);
    paintSilver(*this);
    Panel1.bevelOuter = ui::Bevel::None;
    Panel1.setAlign(ui::Align::Client);
    struct Place { ui::Control* c; int x, y, w, h; };
    for (const Place& p :
         {Place{&PC, 8, 8, 344, 230}, {&gbGroup, 6, 6, 324, 180}, {&lbNote, 12, 150, 200, 13},
          {&cb_erase, 12, 20, 200, 17}, {&rb_first, 12, 46, 120, 17}, {&se_limit, 140, 44, 44, 21},
          {&rb_second, 12, 72, 120, 17}, {&ed_text, 12, 100, 140, 21}, {&ed_pass, 164, 100, 140, 21},
          {&ed_hotkey, 12, 20, 160, 21}, {&cb_run, 12, 52, 160, 17}, {&btnApply, 196, 252, 75, 25},
          {&btnClose, 277, 252, 75, 25}})
      p.c->setBounds(p.x, p.y, p.w, p.h);
    lbNote.setCaption("Note below the fields");
    cb_erase.setHint("Cleans the cookies");
    se_limit.setRange(0, 15);
    se_limit.setValue(5);
    rb_first.setChecked(true);
    ed_pass.setPasswordChar('*');
    ed_text.holdsPath = true;  // as the sound file's field does
    ed_hotkey.setHotKey('A' | Ctrl);
    btnApply.Default = true;
    btnClose.Cancel = true;

    for (ui::Control* c : std::initializer_list<ui::Control*>{&cb_erase, &rb_first, &rb_second, &cb_run,
                                                              &btnApply, &btnClose})
      c->OnClick = [this, c] { events.push_back(c->name()); };
    ed_text.OnChange = [this] { events.push_back("ed_text=" + ed_text.text()); };
    ed_pass.OnChange = [this] { events.push_back("ed_pass=" + ed_pass.text()); };
    ed_hotkey.OnChange = [this] { events.push_back("ed_hotkey"); };
    se_limit.OnChange = [this] { events.push_back("se_limit=" + std::to_string(se_limit.value())); };
    PC.OnChange = [this] { events.push_back("PC=" + std::to_string(PC.activePageIndex())); };
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
  ui::Edit ed_text, ed_pass;
  ui::TabSheet tabKeys;
  ui::HotKeyEdit ed_hotkey;
  ui::CheckBox cb_run;
  ui::Button btnApply, btnClose;
  std::vector<std::string> events;

 private:
  static void paintSilver(ui::Control& c) {
    c.setColor(ui::clSilver);
    for (ui::Control* child : c.children()) paintSilver(*child);
  }
};

// A key pressed with modifiers held, then everything released, as real
// input the system delivers.
void sendKey(WORD vk, const std::vector<WORD>& modifiers = {}) {
  auto event = [](WORD k, bool up) {
    const bool extended = (k >= VK_PRIOR && k <= VK_DOWN) || k == VK_INSERT || k == VK_DELETE;
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = k;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof in);
  };
  for (WORD m : modifiers) event(m, false);
  event(vk, false);
  event(vk, true);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) event(*it, true);
}

// One step of a test: something done, what the form then shows (as the
// test's view puts it) and the events it raised, space-separated.
struct Step {
  std::function<void()> act;
  std::string view, events;
};

class Controls : public testing::Test {
 protected:
  void SetUp() override {
    form.create();
    form.show();
    SetForegroundWindow(win(form));
    // Keys follow the pointer on a display without a window manager.
    RECT r;
    GetWindowRect(win(form), &r);
    SetCursorPos(r.left + 3, r.top + 3);
    pump(200);
  }
  void TearDown() override { EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front(); }

  HWND win(const ui::Control& c) { return tk.windowOf(c); }
  HWND arrows() { return GetWindow(win(form.se_limit), GW_HWNDNEXT); }
  LRESULT send(const ui::Control& c, UINT msg) { return SendMessageA(win(c), msg, 0, 0); }

  // Pumps messages until `done` holds, for `ms` at most.
  void pump(int ms, const std::function<bool()>& done = [] { return false; }) {
    for (const DWORD end = GetTickCount() + DWORD(ms); !done() && GetTickCount() < end; Sleep(5))
      tk.processMessages();
  }

  std::function<void()> key(WORD vk, std::vector<WORD> modifiers = {}) {
    return [=, this] { sendKey(vk, modifiers), pump(120); };
  }
  // A real left click on a window, at the fraction (fx, fy) of its client
  // area or, for fx of 1 or more, at that point.
  std::function<void()> clickAt(std::function<HWND()> w, double fx = .5, double fy = .5) {
    return [=, this] {
      RECT rc;
      GetClientRect(w(), &rc);
      POINT p{fx < 1 ? LONG(rc.right * fx) : LONG(fx), fy < 1 ? LONG(rc.bottom * fy) : LONG(fy)};
      ClientToScreen(w(), &p);
      SetCursorPos(p.x, p.y);
      pump(50);
      INPUT in[2]{};
      in[0].type = in[1].type = INPUT_MOUSE;
      in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(2, in, sizeof in[0]);
      pump(150);
    };
  }
  std::function<void()> click(const ui::Control& c, double x = .5) {
    return clickAt([this, &c] { return win(c); }, x);
  }
  std::function<void()> clickArrow(bool up) {
    return clickAt([this] { return arrows(); }, .5, up ? .25 : .75);
  }

  // Runs the steps, each checked against `view` once it holds or two seconds
  // have passed.
  void run(const std::function<std::string()>& view, const std::vector<Step>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
      form.events.clear();
      steps[i].act();
      pump(2000, [&] { return view() == steps[i].view; });
      std::string events;
      for (const std::string& e : form.events) events += (events.empty() ? "" : " ") + e;
      EXPECT_EQ(view(), steps[i].view) << "step " << i;
      EXPECT_EQ(events, steps[i].events) << "step " << i;
    }
  }

  std::string focused() {
    for (const ui::Control* c : std::initializer_list<const ui::Control*>{
             &form.cb_erase, &form.rb_first, &form.se_limit, &form.rb_second, &form.ed_text, &form.ed_pass,
             &form.ed_hotkey, &form.cb_run, &form.btnApply, &form.btnClose, &form.PC})
      if (win(*c) == GetFocus()) {
        // The tab strip draws its focus rectangle unless the state hides it.
        const bool hidden = c == &form.PC && (send(*c, WM_QUERYUISTATE) & UISF_HIDEFOCUS);
        return c->name() + (hidden ? " (no focus rectangle)" : "");
      }
    return GetFocus() ? "other" : "none";
  }
  // The ticked boxes and chosen radio buttons and the page shown, with "?"
  // wherever the model and the system's control disagree.
  std::string choices() {
    std::string s;
    auto mark = [&](bool model, const ui::Control& c) {
      const bool shown = send(c, BM_GETCHECK) == BST_CHECKED;
      if (model || shown) s += c.name() + (model == shown ? " " : "? ");
    };
    mark(form.cb_erase.checked(), form.cb_erase);
    mark(form.rb_first.checked(), form.rb_first);
    mark(form.rb_second.checked(), form.rb_second);
    mark(form.cb_run.checked(), form.cb_run);
    const int page = form.PC.activePageIndex();
    const bool agree = send(form.PC, TCM_GETCURSEL) == page &&
                       IsWindowVisible(win(form.tabGeneral)) == (page == 0) &&
                       IsWindowVisible(win(form.tabKeys)) == (page == 1);
    return s + "page" + std::to_string(page) + (agree ? "" : "?");
  }
  // As UTF-8: the path field's letters are outside the code page.
  std::string textOf(HWND w) {
    wchar_t text[256] = L"";
    GetWindowTextW(w, text, 256);
    return platform::win32::pathFromWide(text).value_or("?");
  }

  RecordingDialogs dialogs;
  ui::win32::Win32Toolkit tk{dialogs};
  ControlsForm form{tk};
};

TEST_F(Controls, RealisedAsTheSystemsControlsInTheFormsColours) {
  const struct {
    HWND w;
    const char* cls;
    LONG type;  // the button kind, -1 for another class
  } kinds[] = {{win(form.cb_erase), "Button", BS_CHECKBOX},  {win(form.rb_first), "Button", BS_RADIOBUTTON},
               {win(form.gbGroup), "Button", BS_GROUPBOX},   {win(form.ed_text), "Edit", -1},
               {win(form.ed_hotkey), HOTKEY_CLASSA, -1},     {win(form.PC), WC_TABCONTROLA, -1},
               {arrows(), UPDOWN_CLASSA, -1}};
  for (const auto& k : kinds) {
    char name[64] = "";
    GetClassNameA(k.w, name, sizeof name);
    EXPECT_STREQ(name, k.cls);
    EXPECT_EQ(k.type < 0 ? -1 : GetWindowLongA(k.w, GWL_STYLE) & BS_TYPEMASK, k.type) << k.cls;
  }
  EXPECT_EQ(GetParent(win(form.cb_erase)), win(form.gbGroup)) << "the group's controls are inside it";
  EXPECT_EQ(GetParent(win(form.tabGeneral)), win(form.PC));
  EXPECT_EQ(send(form.PC, TCM_GETITEMCOUNT), 2);
  EXPECT_EQ(reinterpret_cast<HFONT>(send(form.cb_erase, WM_GETFONT)), tk.font());

  // The sheets fill the display area below the tabs; the model's tab height
  // is the control's.
  RECT display, sheet;
  GetClientRect(win(form.PC), &display);
  SendMessageA(win(form.PC), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  GetWindowRect(win(form.tabGeneral), &sheet);
  MapWindowPoints(HWND_DESKTOP, win(form.PC), reinterpret_cast<POINT*>(&sheet), 2);
  EXPECT_EQ(sheet.top, display.top);
  EXPECT_EQ(form.PC.tabHeight + 2, display.top);

  // Each control answers its colour request with the model's colour: the
  // silver of the form shows round the check box's text, inside the group
  // box and on the sheet; the label on the group box is drawn on it.
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
    for (int y = 150; y < 163; ++y) labelInk += at(form.gbGroup, x, y) != silver;
  EXPECT_GT(labelInk, 30) << "the label's text on the group box";

  // The hint is the control's tooltip.
  HWND tip = tooltipOf(win(form));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(tooltipText(tip, win(form), win(form.cb_erase)), "Cleans the cookies");
}

// A click reaches the model once; a change from code shows at once and
// raises the model's event once, nothing coming back from the control.
TEST_F(Controls, ClicksAndTheProgramsChangesReachTheModelOnce) {
  RECT tab;
  SendMessageA(win(form.PC), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  run([this] { return choices(); },
      {{click(form.cb_erase, 8), "cb_erase rb_first page0", "cb_erase"},
       {[&] { form.cb_erase.setChecked(false); }, "rb_first page0", "cb_erase"},
       {[&] { form.cb_erase.setChecked(false); }, "rb_first page0", ""},
       {[&] { form.cb_erase.setEnabled(false); }, "rb_first page0", ""},
       {click(form.cb_erase, 8), "rb_first page0", ""},  // disabled: no click
       {[&] { form.cb_erase.setEnabled(true); }, "rb_first page0", ""},
       {click(form.rb_second, 8), "rb_second page0", "rb_second"},
       {click(form.rb_second, 8), "rb_second page0", ""},  // chosen again
       {[&] { form.rb_first.setChecked(true); }, "rb_first page0", "rb_first"},
       {clickAt([&] { return win(form.PC); }, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2),
        "rb_first page1", "PC=1"},
       {[&] { form.PC.setActivePage(&form.tabGeneral); }, "rb_first page0", "PC=0"}});
}

// Tab and Shift+Tab in creation order, into the group box and out of the
// page control, the tab strip before the sheet it shows, of the radio group
// only the chosen button; Space, the arrows in the radio group, Enter for
// the default button and Escape for the cancel one (Enter presses a focused
// push button itself), Alt and a letter, and Ctrl+Tab through the pages: the
// focus left on a hidden sheet moves to the first control of the shown one.
// On the tab strip the arrows change tabs and the focus stays there, drawn
// as the system's focus rectangle.
TEST_F(Controls, TheKeyboardMovesThroughTheFormAndReachesItsControls) {
  const std::vector<WORD> shift{VK_SHIFT}, alt{VK_MENU}, ctrl{VK_CONTROL}, ctrlShift{VK_CONTROL, VK_SHIFT};
  // The first control that takes the focus has it when the form comes up.
  std::vector<Step> steps{{[] {}, "cb_erase: rb_first page0", ""}};
  using Order = std::pair<std::vector<WORD>, std::vector<std::string>>;
  for (const auto& [modifiers, order] :
       {Order{{}, {"rb_first", "se_limit", "ed_text", "ed_pass", "btnApply", "btnClose", "PC", "cb_erase"}},
        Order{shift, {"PC", "btnClose", "btnApply", "ed_pass", "ed_text", "se_limit", "rb_first", "cb_erase"}}})
    for (const std::string& f : order) steps.push_back({key(VK_TAB, modifiers), f + ": rb_first page0", ""});
  steps.insert(steps.end(), {
       {key(VK_SPACE), "cb_erase: cb_erase rb_first page0", "cb_erase"},
       {key(VK_SPACE), "cb_erase: rb_first page0", "cb_erase"},
       {key(VK_TAB), "rb_first: rb_first page0", ""},
       {key(VK_DOWN), "rb_second: rb_second page0", "rb_second"},
       {key(VK_UP), "rb_first: rb_first page0", "rb_first"},
       {key(VK_RETURN), "rb_first: rb_first page0", "btnApply"},
       {key(VK_ESCAPE), "rb_first: rb_first page0", "btnClose"},
       {key(VK_TAB, shift), "cb_erase: rb_first page0", ""},
       {key(VK_TAB, shift), "PC: rb_first page0", ""},
       {key(VK_TAB, shift), "btnClose: rb_first page0", ""},
       {key(VK_RETURN), "btnClose: rb_first page0", "btnClose"},
       {key(VK_SPACE), "btnClose: rb_first page0", "btnClose"},
       {key('E', alt), "cb_erase: cb_erase rb_first page0", "cb_erase"},
       {key('S', alt), "rb_second: cb_erase rb_second page0", "rb_second"},
       {key('A', alt), "rb_second: cb_erase rb_second page0", "btnApply"},
       // In the hot-key field Alt and a letter are a combination.
       {key('K', alt), "ed_hotkey: cb_erase rb_second page1", "PC=1"},
       {key(VK_TAB), "cb_run: cb_erase rb_second page1", ""},
       {key('G', alt), "cb_erase: cb_erase rb_second page0", "PC=0"},
       {key(VK_TAB), "se_limit: cb_erase rb_second page0", ""},  // the chosen radio button comes after it
       {key(VK_TAB, ctrl), "ed_hotkey: cb_erase rb_second page1", "PC=1"},
       {key(VK_TAB, ctrl), "cb_erase: cb_erase rb_second page0", "PC=0"},
       {key(VK_TAB, ctrlShift), "ed_hotkey: cb_erase rb_second page1", "PC=1"},
       {key(VK_TAB), "cb_run: cb_erase rb_second page1", ""},
       {key(VK_TAB), "btnApply: cb_erase rb_second page1", ""},
       {key(VK_TAB), "btnClose: cb_erase rb_second page1", ""},
       {key(VK_TAB), "PC: cb_erase rb_second page1", ""},
       {key(VK_LEFT), "PC: cb_erase rb_second page0", "PC=0"},
       {key(VK_RIGHT), "PC: cb_erase rb_second page1", "PC=1"},
       {key(VK_RIGHT), "PC: cb_erase rb_second page1", ""},  // the last tab
       {key(VK_TAB, ctrl), "cb_erase: cb_erase rb_second page0", "PC=0"},
       {key(VK_TAB, shift), "PC: cb_erase rb_second page0", ""},
       {key(VK_TAB), "cb_erase: cb_erase rb_second page0", ""}});
  run([this] { return focused() + ": " + choices(); }, steps);
  // Ctrl+Tab and Alt+K left the hot-key field as it was.
  EXPECT_EQ(form.ed_hotkey.hotKey(), 'A' | Ctrl);
  EXPECT_EQ(send(form.ed_hotkey, HKM_GETHOTKEY), MAKEWORD('A', HOTKEYF_CONTROL));
}

// Typed text reaches the model a character at a time, and a path keeps
// every letter both ways (a Cyrillic one set, a letter typed after it); the password field
// holds the text and shows "*"; the spin edit refuses typing and steps
// within 0 to 15 on its arrow keys and arrow buttons, clamping what the
// program sets.
TEST_F(Controls, TypedTextAndSpinArrowsGoToTheModels) {
  // Each field's model, then what its control holds where that differs (for
  // the spin edit, its text and the arrows' position).
  auto both = [](const std::string& model, const std::string& shown) {
    return model == shown ? model : model + "/" + shown;
  };
  const auto view = [&, this] {
    const std::string spin = textOf(win(form.se_limit));
    const std::string pos = std::to_string(SendMessageA(arrows(), UDM_GETPOS32, 0, 0));
    return both(form.ed_text.text(), textOf(win(form.ed_text))) + "|" +
           both(form.ed_pass.text(), textOf(win(form.ed_pass))) + "|" +
           both(std::to_string(form.se_limit.value()), spin == pos ? spin : spin + "@" + pos);
  };
  const std::string cyrillic = "C:\\\xD0\x97\xD0\xB2\xD1\x83\xD0\xBA\xD0\xB8\\";  // "C:\Звуки\"
  std::string ups;
  for (int v = 7; v <= 15; ++v) ups += (v == 7 ? "" : " ") + ("se_limit=" + std::to_string(v));
  run(view, {{click(form.ed_text), "||5", ""},
             {key('A'), "a||5", "ed_text=a"},
             {key('B', {VK_SHIFT}), "aB||5", "ed_text=aB"},
             {key('C'), "aBc||5", "ed_text=aBc"},
             {[&] { form.ed_text.setText(cyrillic); }, cyrillic + "||5", "ed_text=" + cyrillic},
             {key(VK_END), cyrillic + "||5", ""},
             {key('D'), cyrillic + "d||5", "ed_text=" + cyrillic + "d"},
             {[&] { form.ed_text.setText("set"); }, "set||5", "ed_text=set"},
             {key(VK_TAB), "set||5", ""},
             {key('P'), "set|p|5", "ed_pass=p"},
             {key('W'), "set|pw|5", "ed_pass=pw"},
             {click(form.se_limit, 8), "set|pw|5", ""},
             {key('9'), "set|pw|5", ""},
             {key(VK_UP), "set|pw|6", "se_limit=6"},
             {[&] { for (int i = 0; i < 10; ++i) key(VK_UP)(); }, "set|pw|15", ups},
             {key(VK_DOWN), "set|pw|14", "se_limit=14"},
             {clickArrow(true), "set|pw|15", "se_limit=15"},
             {clickArrow(true), "set|pw|15", ""},
             {clickArrow(false), "set|pw|14", "se_limit=14"},
             {[&] { form.se_limit.setValue(40); }, "set|pw|15", "se_limit=15"},
             {[&] { form.se_limit.setValue(3); }, "set|pw|3", "se_limit=3"},
             {clickArrow(true), "set|pw|4", "se_limit=4"}});
  EXPECT_EQ(send(form.ed_pass, EM_GETPASSWORDCHAR), '*');
}

// The hot-key field: a bare key holds Ctrl with it, a combination is held as
// pressed, modifiers alone change nothing, Alt and a letter (even Alt+F4)
// are the field's and not the form's, and so is F1, which elsewhere asks for
// the form's help; the program's value shows, the arrow keys with their
// extended flag; Backspace empties it.
TEST_F(Controls, TheHotKeyFieldHoldsCombinations) {
  auto hk = [](unsigned model, LRESULT shown) {
    char s[32];
    std::snprintf(s, sizeof s, "%#x/%#x", model, static_cast<unsigned>(shown));
    return std::string(s);
  };
  const std::string ctrlShiftK = hk('K' | Ctrl | Shift, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
  form.PC.setActivePage(&form.tabKeys);
  form.OnHelp = [this] { form.events.push_back("help"); };
  pump(100);
  run([&] { return hk(form.ed_hotkey.hotKey(), send(form.ed_hotkey, HKM_GETHOTKEY)); },
      {{click(form.ed_hotkey), hk('A' | Ctrl, MAKEWORD('A', HOTKEYF_CONTROL)), ""},
       {key('B'), hk('B' | Ctrl, MAKEWORD('B', HOTKEYF_CONTROL)), "ed_hotkey"},
       {key('K', {VK_CONTROL, VK_SHIFT}), ctrlShiftK, "ed_hotkey"},
       {key(VK_CONTROL), ctrlShiftK, ""},  // modifiers alone change nothing
       {key('R', {VK_MENU}), hk('R' | Alt, MAKEWORD('R', HOTKEYF_ALT)), "ed_hotkey"},
       {key(VK_F4, {VK_MENU}), hk(VK_F4 | Alt, MAKEWORD(VK_F4, HOTKEYF_ALT)), "ed_hotkey"},
       {key(VK_F1, {VK_CONTROL}), hk(VK_F1 | Ctrl, MAKEWORD(VK_F1, HOTKEYF_CONTROL)), "ed_hotkey"},
       {[&] { form.ed_hotkey.setHotKey(VK_UP | Ctrl); },
        hk(VK_UP | Ctrl, MAKEWORD(VK_UP, HOTKEYF_CONTROL | HOTKEYF_EXT)), "ed_hotkey"},
       {key(VK_BACK), hk(0, 0), "ed_hotkey"},
       {click(form.cb_run), hk(0, 0), "cb_run"},
       {key(VK_F1), hk(0, 0), "help"}});
  EXPECT_TRUE(IsWindowVisible(win(form))) << "Alt+F4 in the field is a key, no close";
}

// The forms that had keys before the dialog manager answers them keep them:
// the notice closes on Enter, Escape and Alt+C, each pressing its Close
// button once.
TEST_F(Controls, TheNoticeClosesOnceOnEachOfItsKeys) {
  static std::function<void()> tick;
  ui::PopupMenu tray(tk, "tray");
  const std::pair<WORD, std::vector<WORD>> keys[] = {{VK_RETURN, {}}, {VK_ESCAPE, {}}, {'C', {VK_MENU}}};
  for (const auto& [vk, modifiers] : keys) {
    int closes = 0;
    bool pressed = false;
    const DWORD giveUp = GetTickCount() + 3000;
    // Every 100 ms from the notice's own message loop: the keys once it is
    // up; after three seconds a close, so that the test cannot hang.
    tick = [&] {
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
      notice->dialog_close.OnClick = [&closes, close] { ++closes, close(); };
      RECT r;
      GetWindowRect(win(*notice), &r);
      SetCursorPos(r.left + 5, r.top + 30);
      sendKey(vk, modifiers);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { tick(); });
    popup::ShowNotice(form, tray, popup::NoticeKind::Information, "Nothing to erase.");
    KillTimer(nullptr, timer);
    EXPECT_TRUE(pressed) << vk;
    EXPECT_EQ(closes, 1) << vk;
    pump(100);
  }
}

}  // namespace
