#include <gtest/gtest.h>
#include "chrome/WindowHeader.h"
#include "FakePlatform.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

namespace {

// Records the drawing of a paint handler.
struct RecordingCanvas : ui::Canvas {
  std::vector<std::string> ops;
  void setPenColor(ui::Color c) override { ops.push_back("pen " + std::to_string(c)); }
  void setBrushColor(ui::Color c) override { ops.push_back("brush " + std::to_string(c)); }
  void setBrushClear() override { ops.push_back("clear"); }
  void rectangle(int l, int t, int r, int b) override {
    ops.push_back("rect " + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," +
                  std::to_string(b));
  }
  void drawText(const std::string& text, ui::Rect r, unsigned flags) override {
    ops.push_back("text '" + text + "' " + std::to_string(r.right) + " " + std::to_string(flags));
  }
};

struct Dialog : chrome::HeaderForm {
  Dialog(ui::Toolkit& tk, ui::BorderStyle b) : chrome::HeaderForm(tk, "dlg", 200, 100) { setBorderStyle(b); }
  std::string headerTitle() override { return "  Log in...  "; }
};

}  // namespace

TEST(Header, PaintsStripesOnEveryOtherRowThenTheTitle) {
  RecordingCanvas c;
  chrome::paintHeader(c, ui::Rect{0, 0, 199, 15}, "  Options  ");
  ASSERT_EQ(c.ops.size(), 2u + 16u + 2u);
  EXPECT_EQ(c.ops[0], "clear");
  EXPECT_EQ(c.ops[1], "pen " + std::to_string(ui::clBlue));
  EXPECT_EQ(c.ops[2], "rect 1,0,198,1");
  EXPECT_EQ(c.ops[3], "rect 1,2,198,3");
  EXPECT_EQ(c.ops[2 + 7], "rect 1,14,198,15");
  EXPECT_EQ(c.ops[2 + 15], "rect 1,30,198,31") << "rows past the strip are clipped by the canvas";
  EXPECT_EQ(c.ops[18], "brush " + std::to_string(ui::clBtnFace));
  EXPECT_EQ(c.ops[19], "text '  Options  ' 199 " + std::to_string(0x8026));
}

TEST(Header, RemoveCaptionByBorderStyle) {
  fake::FakeDialogs dialogs;
  fake::FakeToolkit tk(dialogs);
  Dialog single(tk, ui::BorderStyle::Single);
  single.create();
  const int designed = single.height();
  single.RemoveCaption();
  EXPECT_EQ(single.formPeer()->style() & ui::windowstyle::Caption, ui::windowstyle::Border)
      << "the caption goes, a one-pixel border stays";
  EXPECT_EQ(single.height(), designed - fake::FakeCaptionHeight);
  EXPECT_EQ(single.clientHeight(), 100) << "the client area keeps its size";
  single.RemoveCaption();
  EXPECT_EQ(single.height(), designed - fake::FakeCaptionHeight) << "a second call finds no caption";

  Dialog dialog(tk, ui::BorderStyle::Dialog);
  dialog.create();
  dialog.RemoveCaption();
  EXPECT_EQ(dialog.formPeer()->style() & (ui::windowstyle::Caption | ui::windowstyle::ModalFrame),
            ui::windowstyle::DlgFrame | ui::windowstyle::ModalFrame);

  Dialog tool(tk, ui::BorderStyle::ToolWindow);
  tool.create();
  const std::uint32_t toolStyle = tool.formPeer()->style();
  const int toolHeight = tool.height();
  tool.RemoveCaption();
  EXPECT_EQ(tool.formPeer()->style(), toolStyle);
  EXPECT_EQ(tool.height(), toolHeight - fake::FakeCaptionHeight);

  Dialog none(tk, ui::BorderStyle::None);
  none.create();
  const int noneHeight = none.height();
  none.RemoveCaption();
  EXPECT_EQ(none.height(), noneHeight);
}

TEST(Header, LayoutAndDrag) {
  fake::FakeDialogs dialogs;
  fake::FakeToolkit tk(dialogs);
  Dialog d(tk, ui::BorderStyle::None);
  d.create();
  EXPECT_EQ(d.cntHeader.left(), 2);
  EXPECT_EQ(d.cntHeader.top(), 2);
  EXPECT_EQ(d.cntHeader.width(), 196);
  EXPECT_EQ(d.cntHeader.height(), 15);
  d.cntHeader.OnMouseDown(ui::MouseButton::Right, 50, 5);
  EXPECT_EQ(tk.peerOf(d)->drags, 1);
}

TEST(Menu, AcceleratorsAndDefault) {
  EXPECT_EQ(ui::MenuItem("a", "E&xit").accelerator(), 'X');
  EXPECT_EQ(ui::MenuItem("a", "IE Cac&he").accelerator(), 'H');
  EXPECT_EQ(ui::MenuItem("a", "Fish && &Chips").accelerator(), 'C');
  EXPECT_EQ(ui::MenuItem("a", "Plain").accelerator(), 0);
  EXPECT_EQ(ui::MenuItem("a", "Trailing&").accelerator(), 0);

  fake::FakeDialogs dialogs;
  fake::FakeToolkit tk(dialogs);
  ui::PopupMenu menu(tk, "m");
  int runs = 0;
  auto& sub = menu.add("sub", "&Sub");
  sub.add("inner", "&Inner", [&] { ++runs; });
  auto& off = menu.add("off", "&Off", [&] { ++runs; });
  off.enabled = false;
  menu.choose(off);
  menu.choose(sub);
  EXPECT_EQ(runs, 0) << "disabled items and submenu headers run nothing";
  menu.choose(*menu.find("inner"));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(menu.defaultItem(), nullptr);
}

TEST(Menu, ShownItemsDropHiddenItemsAndEmptySections) {
  fake::FakeDialogs dialogs;
  fake::FakeToolkit tk(dialogs);
  ui::PopupMenu menu(tk, "m");
  menu.add("s0", "-");
  menu.add("a", "&A");
  menu.add("s1", "-");
  menu.add("hidden", "&Hidden").visible = false;
  menu.add("s2", "-");
  menu.add("b", "&B");
  menu.add("s3", "-");
  auto names = [&] {
    std::vector<std::string> out;
    for (ui::MenuItem* item : ui::shownItems(menu.items())) out.push_back(item->name());
    return out;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"a", "s1", "b"}));
  menu.find("a")->visible = false;
  menu.find("b")->visible = false;
  EXPECT_TRUE(names().empty()) << "a menu of separators shows nothing";
}

TEST(Timer, TicksWhileEnabledOnVirtualTime) {
  fake::FakePlatform f;
  ui::Timer t(f.toolkit, f.time, 1000, false);
  int ticks = 0;
  t.OnTimer = [&] { ++ticks; };
  f.time.advance(5000);
  EXPECT_EQ(ticks, 0);
  t.setEnabled(true);
  f.time.advance(2500);
  EXPECT_EQ(ticks, 2);
  // A blocking sleep moves time without ticks, and no missed ticks pile up.
  f.time.sleep(10000);
  f.time.advance(0);
  EXPECT_EQ(ticks, 3) << "one late tick, not ten";
  t.setInterval(300);
  f.time.advance(900);
  EXPECT_EQ(ticks, 6);
  t.setEnabled(false);
  f.time.advance(10000);
  EXPECT_EQ(ticks, 6);
  EXPECT_EQ(f.time.running(), 0u);
}
