// The notice window on a real display: both kinds with a text long enough
// to wrap, pictures of each saved beside this program, what lies inside and
// outside the text's 353 x 41 area, the symbol, the stripes-only header,
// both ways of closing, and the tray menu held shut while it is up.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "Dib.h"
#include "RecordingDialogs.h"
#include "popup/uOpozorilo.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

constexpr COLORREF PanelBlue = RGB(0, 0, 164);
constexpr COLORREF StripeBlue = RGB(0, 0, 255);
constexpr RECT TextArea{52, 24, 52 + 353, 24 + 41};
constexpr RECT SymbolArea{12, 30, 12 + 28, 30 + 28};

const std::string LongText =
    "You have to select one of the options in Erase tab in order to use this option! Please choose only one "
    "option, either to clear whole IE Address Bar or to clear only last typed urls, and then try again. "
    "Nothing has been changed: every setting stays as it was until you apply it.";

// The window's client area as it is on the screen.
class Picture {
 public:
  Picture() = default;
  explicit Picture(HWND w) {
    RECT rc;
    GetClientRect(w, &rc);
    width_ = rc.right;
    height_ = rc.bottom;
    HDC src = GetDC(w);
    Dib dib(width_, height_);
    BitBlt(dib.dc(), 0, 0, width_, height_, src, 0, 0, SRCCOPY);
    ReleaseDC(w, src);
    pixels_.assign(dib.bits(), dib.bits() + width_ * height_);
  }

  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF at(int x, int y) const { return Dib::toColor(pixels_[y * width_ + x]); }
  int count(const RECT& r, const std::function<bool(COLORREF)>& pred) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (pred(at(x, y))) ++n;
    return n;
  }

  // A bottom-up 24-bit BMP, for people to look at.
  bool save(const std::string& path) const {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const int stride = (width_ * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * height_;
    ih.biSize = sizeof ih;
    ih.biWidth = width_;
    ih.biHeight = height_;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biCompression = BI_RGB;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    std::vector<unsigned char> row(stride, 0);
    for (int y = height_ - 1; y >= 0; --y) {
      for (int x = 0; x < width_; ++x) {
        const COLORREF c = at(x, y);
        row[3 * x] = GetBValue(c);
        row[3 * x + 1] = GetGValue(c);
        row[3 * x + 2] = GetRValue(c);
      }
      std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

std::string besideThisProgram(const std::string& name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  dir.erase(dir.find_last_of("\\/") + 1);
  return dir + name;
}

// Rows of the area that hold at least one pixel of the colour, as bands of
// consecutive rows (the lines of text).
int lineBands(const Picture& pic, const RECT& r, COLORREF c) {
  int bands = 0;
  bool inBand = false;
  for (int y = r.top; y < r.bottom; ++y) {
    bool any = false;
    for (int x = r.left; x < r.right && !any; ++x) any = pic.at(x, y) == c;
    if (any && !inBand) ++bands;
    inBand = any;
  }
  return bands;
}

// Height the text needs when wrapped at the label's width in its font.
int wrappedHeight(const popup::TfrmOpozorilo& n) {
  HDC screen = GetDC(nullptr);
  HFONT font = ui::win32::createFont(n.lb_vsebina.font());
  HGDIOBJ old = SelectObject(screen, font);
  RECT r{0, 0, n.lb_vsebina.width(), 0};
  DrawTextA(screen, LongText.c_str(), -1, &r, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return r.bottom;
}

// Runs `act` once, from inside the message loop that is running then.
class Later {
 public:
  explicit Later(std::function<void()> act) : act_(std::move(act)) {
    current_ = this;
    id_ = SetTimer(nullptr, 0, 400, &Later::fire);
  }
  ~Later() {
    if (id_) KillTimer(nullptr, id_);
    current_ = nullptr;
  }
  bool ran() const { return ran_; }

 private:
  static void CALLBACK fire(HWND, UINT, UINT_PTR, DWORD) {
    Later* self = current_;
    if (!self || self->ran_) return;
    KillTimer(nullptr, self->id_);
    self->id_ = 0;
    self->ran_ = true;
    self->act_();
  }
  static inline Later* current_ = nullptr;
  std::function<void()> act_;
  UINT_PTR id_ = 0;
  bool ran_ = false;
};

// A left click as the mouse gives it, posted to a control's window.
void click(HWND w) {
  RECT rc;
  GetClientRect(w, &rc);
  const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
  PostMessageA(w, WM_MOUSEMOVE, 0, at);
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(w, WM_LBUTTONUP, 0, at);
}

struct Notice : ::testing::Test {
  RecordingDialogs dialogs;
  ui::win32::Win32Toolkit tk{dialogs};
  ui::Form owner{tk, "owner"};
  ui::PopupMenu tray{tk, "tray"};

  void SetUp() override {
    owner.setClientSize(200, 100);
    owner.create();
  }

  // Shows a notice; while it is up, checks it, takes its picture and closes
  // it by clicking the control `closer` picks. Returns the picture.
  Picture show(popup::NoticeKind kind, const char* shot,
               const std::function<ui::Control&(popup::TfrmOpozorilo&)>& closer) {
    Picture taken;
    Later during([&] {
      auto* n = dynamic_cast<popup::TfrmOpozorilo*>(tk.focusedForm());
      if (!n && !tk.forms().empty()) n = dynamic_cast<popup::TfrmOpozorilo*>(&tk.forms().back()->form());
      if (!n) {
        ADD_FAILURE() << "no notice is up";
        return;
      }
      EXPECT_FALSE(tray.autoPopup) << "the tray menu is shut while the notice is up";
      HWND w = reinterpret_cast<HWND>(n->handle());
      EXPECT_TRUE(IsWindowVisible(w));
      EXPECT_EQ(GetWindow(w, GW_OWNER), tk.windowOf(owner))
          << "owned by the calling window";
      RECT outer;
      GetWindowRect(w, &outer);
      EXPECT_EQ(outer.right - outer.left, 487);
      EXPECT_EQ(outer.bottom - outer.top, 72);
      EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
      EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
      EXPECT_GE(wrappedHeight(*n), 41 + 15) << "the text needs lines more than the label has room for";
      RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      taken = Picture(w);
      EXPECT_TRUE(taken.save(besideThisProgram(shot)));
      HWND target = tk.windowOf(closer(*n));
      ASSERT_NE(target, nullptr);
      click(target);
    });
    popup::ShowNotice(owner, tray, kind, LongText);
    EXPECT_TRUE(during.ran());
    EXPECT_TRUE(tray.autoPopup) << "the tray menu opens again once the notice has closed";
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    return taken;
  }
};

// What both kinds share: the text wraps onto several lines inside its area
// and nothing of it shows outside; the header has stripes and no title.
void checkLayout(const Picture& pic, COLORREF text) {
  ASSERT_EQ(pic.width(), 487);
  ASSERT_EQ(pic.height(), 72);
  const int lines = lineBands(pic, TextArea, text);
  EXPECT_GE(lines, 2) << "the long text wraps";
  EXPECT_LE(lines, 4) << "a 41-pixel area holds three lines of a 12-pixel font at most";
  EXPECT_GT(pic.count(TextArea, [text](COLORREF c) { return c == text; }), 150);
  // Right of the text area up to the button, and below it down to the
  // panel's bevel: the panel's blue, no text.
  const RECT right{TextArea.right, TextArea.top, 409, TextArea.bottom};
  const RECT below{TextArea.left, TextArea.bottom, TextArea.right, 70};
  for (const RECT& r : {right, below})
    EXPECT_EQ(pic.count(r, [](COLORREF c) { return c != PanelBlue; }), 0)
        << "outside the text area at " << r.left << "," << r.top;
  // Header: stripes across the whole strip, right of the hide button, no
  // title box at the right end.
  for (int x : {40, 240, 480}) {
    EXPECT_EQ(pic.at(x, 2), StripeBlue) << x;
    EXPECT_EQ(pic.at(x, 16), StripeBlue) << x;
    EXPECT_EQ(pic.at(x, 3), GetSysColor(COLOR_BTNFACE)) << x;
  }
  EXPECT_EQ(pic.at(440, 64), PanelBlue);
}

TEST_F(Notice, BothKindsWrapTheirTextInsideItsAreaAndCloseByEitherButton) {
  const Picture info = show(popup::NoticeKind::Information, "notice-information.bmp",
                            [](popup::TfrmOpozorilo& n) -> ui::Control& { return n.dialog_close; });
  checkLayout(info, RGB(255, 255, 255));
  EXPECT_EQ(info.count(TextArea, [](COLORREF c) { return c == RGB(255, 255, 0); }), 0) << "no yellow text";

  const Picture warning = show(popup::NoticeKind::Warning, "notice-warning.bmp",
                               [](popup::TfrmOpozorilo& n) -> ui::Control& { return n.btnMinimize; });
  checkLayout(warning, RGB(255, 255, 0));
  EXPECT_EQ(warning.count(TextArea, [](COLORREF c) { return c == RGB(255, 255, 255); }), 0) << "no white text";

  // A symbol in the same place in both, and not the same symbol.
  EXPECT_GT(info.count(SymbolArea, [](COLORREF c) { return c != PanelBlue; }), 200);
  EXPECT_GT(warning.count(SymbolArea, [](COLORREF c) { return c != PanelBlue; }), 200);
  int differ = 0;
  for (int y = SymbolArea.top; y < SymbolArea.bottom; ++y)
    for (int x = SymbolArea.left; x < SymbolArea.right; ++x)
      if (info.at(x, y) != warning.at(x, y)) ++differ;
  EXPECT_GT(differ, 100);
  // Nothing of a symbol outside its 28 x 28 square.
  const RECT leftOfText{4, 20, TextArea.left, 70};
  EXPECT_EQ(info.count(leftOfText, [](COLORREF c) { return c != PanelBlue; }),
            info.count(SymbolArea, [](COLORREF c) { return c != PanelBlue; }));
}

}  // namespace
