// What a model change sends to its real control, traced by a subclass that
// sees every message before the toolkit's realisation does: one line is one
// message, a whole list one update with drawing held, an unchanged value
// nothing, and a change of one aspect nothing for another.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>
#include "RecordingDialogs.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/ProgressBar.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

struct Sent {
  UINT msg;
  WPARAM wp;
};

// Messages the system makes on its own (drawing, the mouse, asking the
// parent for colours), which no model change decides.
bool systemsOwn(UINT msg) {
  switch (msg) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_ERASEBKGND:
    case WM_GETDLGCODE:
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_TIMER:
    case WM_GETOBJECT:
    case WM_PRINTCLIENT:
    case WM_SYNCPAINT: return true;
    default: return false;
  }
}

// Records what reaches a real control, from the moment it is made on.
class Trace {
 public:
  explicit Trace(HWND w) : w_(w) { SetWindowSubclass(w_, &Trace::proc, 77, reinterpret_cast<DWORD_PTR>(this)); }
  ~Trace() { RemoveWindowSubclass(w_, &Trace::proc, 77); }
  std::vector<Sent> take() { return std::exchange(sent_, {}); }
  std::vector<UINT> takeMessages() {
    std::vector<UINT> out;
    for (const Sent& s : take()) out.push_back(s.msg);
    return out;
  }

 private:
  static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (!systemsOwn(msg)) reinterpret_cast<Trace*>(ref)->sent_.push_back({msg, wp});
    return DefSubclassProc(w, msg, wp, lp);
  }
  HWND w_;
  std::vector<Sent> sent_;
};

// What the realisation sends about lines and drawing; the rest (a scroll
// bar coming or going, say) the control does to itself.
std::vector<UINT> listMessages(const std::vector<UINT>& all) {
  std::vector<UINT> out;
  for (UINT m : all)
    if (m == WM_SETREDRAW || (m >= LB_ADDSTRING && m <= LB_MSGMAX)) out.push_back(m);
  return out;
}

class MirrorForm : public ui::Form {
 public:
  explicit MirrorForm(ui::Toolkit& tk)
      : ui::Form(tk, "frmMirror"), list(this, "lbBlock"), box(this, "cb_sound", "&Sound"), edit(this, "ed_sound"),
        bar(this, "pbDownload") {
    setBorderStyle(ui::BorderStyle::Single);
    setClientSize(320, 240);
    list.setBounds(8, 8, 200, 150);
    box.setBounds(216, 8, 96, 17);
    edit.setBounds(216, 32, 96, 21);
    bar.setBounds(8, 170, 304, 16);
    list.setSorted(true);
  }
  ui::ListBox list;
  ui::CheckBox box;
  ui::Edit edit;
  ui::ProgressBar bar;
};

class Mirror : public testing::Test {
 protected:
  void SetUp() override {
    form.create();
    form.show();
  }
  HWND win(const ui::Control& c) { return tk.windowOf(c); }
  std::string lineOf(int i) {
    const LRESULT n = SendMessageA(win(form.list), LB_GETTEXTLEN, i, 0);
    if (n < 0) return "<none>";
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    SendMessageA(win(form.list), LB_GETTEXT, i, reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(n));
    return s;
  }
  // The control holds the model's lines and selection.
  void expectShown() {
    ASSERT_EQ(SendMessageA(win(form.list), LB_GETCOUNT, 0, 0), form.list.count());
    for (int i = 0; i < form.list.count(); ++i) ASSERT_EQ(lineOf(i), form.list.items()[i]) << "line " << i;
    EXPECT_EQ(SendMessageA(win(form.list), LB_GETCURSEL, 0, 0), form.list.itemIndex());
  }

  RecordingDialogs dialogs;
  ui::win32::Win32Toolkit tk{dialogs};
  MirrorForm form{tk};
};

TEST_F(Mirror, ListBoxLinesOneMessageEachAndAWholeListOneUpdate) {
  Trace trace(win(form.list));
  std::vector<std::string> lines;
  for (int i = 0; i < 1000; ++i) lines.push_back("Entry " + std::to_string(1000 - i));
  lines.push_back("entry 5");  // equal to one but for letter case: kept, after it
  form.list.setItems(lines);
  const std::vector<Sent> load = trace.take();
  ASSERT_GE(load.size(), 5u);
  EXPECT_EQ(load[0].msg, static_cast<UINT>(WM_SETREDRAW));
  EXPECT_EQ(load[0].wp, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(load[1].msg, static_cast<UINT>(LB_RESETCONTENT));
  EXPECT_EQ(load[2].msg, static_cast<UINT>(LB_INITSTORAGE));
  EXPECT_EQ(load[2].wp, 1001u);
  std::vector<UINT> sent;
  for (const Sent& s : load) sent.push_back(s.msg);
  sent = listMessages(sent);
  EXPECT_EQ(sent.back(), static_cast<UINT>(WM_SETREDRAW));
  EXPECT_EQ(std::count(sent.begin(), sent.end(), static_cast<UINT>(LB_ADDSTRING)), 1001);
  EXPECT_EQ(sent.size(), 1001u + 4) << "no other line or redraw message reaches the control";
  expectShown();
  const auto& shown = form.list.items();
  const auto twin = std::find(shown.begin(), shown.end(), "Entry 5");
  ASSERT_NE(twin, shown.end());
  EXPECT_EQ(*(twin + 1), "entry 5") << "equal lines in the order they came";

  // One line added, removed, selected: one message each, at the line's place.
  form.list.setItemIndex(10);
  trace.take();
  const int at = form.list.add("Entry 0");
  EXPECT_EQ(at, 0);
  std::vector<Sent> one = trace.take();
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].msg, static_cast<UINT>(LB_INSERTSTRING));
  EXPECT_EQ(one[0].wp, 0u);
  EXPECT_EQ(form.list.itemIndex(), 11) << "the selection moves with its line";
  expectShown();
  trace.take();

  form.list.remove(500);
  one = trace.take();
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].msg, static_cast<UINT>(LB_DELETESTRING));
  EXPECT_EQ(one[0].wp, 500u);
  expectShown();
  trace.take();

  form.list.setItemIndex(11);
  EXPECT_TRUE(trace.take().empty()) << "the selection it has";
  form.list.remove(11);  // the selected line: none is selected then
  EXPECT_EQ(trace.takeMessages(), (std::vector<UINT>{LB_DELETESTRING, LB_SETCURSEL}));
  expectShown();
  trace.take();

  form.list.clear();
  EXPECT_EQ(listMessages(trace.takeMessages()), (std::vector<UINT>{WM_SETREDRAW, LB_RESETCONTENT, WM_SETREDRAW}));
  form.list.clear();
  EXPECT_TRUE(trace.take().empty()) << "an empty list emptied again";
}

TEST_F(Mirror, AnUnchangedValueSendsNothingAndOneAspectNothingForAnother) {
  form.box.setChecked(true);
  form.edit.setText("C:\\sounds\\ding.wav");
  form.bar.setMax(3000);
  form.bar.setPosition(1500);
  Trace box(win(form.box)), edit(win(form.edit)), bar(win(form.bar));

  // Each present value again.
  form.box.setChecked(true);
  form.box.setCaption("&Sound");
  form.edit.setText("C:\\sounds\\ding.wav");
  form.bar.setPosition(1500);
  form.bar.setMax(3000);
  form.box.setBounds(216, 8, 96, 17);
  form.box.setEnabled(true);
  EXPECT_TRUE(box.take().empty());
  EXPECT_TRUE(edit.take().empty());
  EXPECT_TRUE(bar.take().empty());

  // One aspect changed: the control hears of that one only.
  form.box.setChecked(false);
  EXPECT_EQ(box.takeMessages(), (std::vector<UINT>{BM_SETCHECK}));
  EXPECT_EQ(SendMessageA(win(form.box), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  box.take();
  form.box.setCaption("&Play a sound");
  for (UINT m : box.takeMessages()) EXPECT_NE(m, static_cast<UINT>(BM_SETCHECK));
  form.box.setEnabled(false);
  for (UINT m : box.takeMessages()) {
    EXPECT_NE(m, static_cast<UINT>(BM_SETCHECK));
    EXPECT_NE(m, static_cast<UINT>(WM_SETTEXT));
  }
  form.edit.setPasswordChar('*');
  for (UINT m : edit.takeMessages()) EXPECT_NE(m, static_cast<UINT>(WM_SETTEXT));

  // A bar moves when its share in thousandths does, and not before.
  form.bar.setPosition(1501);
  EXPECT_TRUE(bar.take().empty()) << "still 500 thousandths";
  form.bar.setPosition(2250);
  EXPECT_EQ(bar.takeMessages(), (std::vector<UINT>{PBM_SETPOS}));
  bar.take();
  EXPECT_EQ(SendMessageA(win(form.bar), PBM_GETPOS, 0, 0), 750);
}

}  // namespace
