// The window header drawn through the GDI canvas into a memory bitmap and
// read back pixel by pixel, and the caption removal on a real window.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "chrome/WindowHeader.h"
#include "Dib.h"
#include "RecordingDialogs.h"
#include "platform/Dialogs.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Win32Toolkit.h"

namespace {

constexpr COLORREF Blue = RGB(0, 0, 255);
// Never produced by the drawing: shows a pixel was left untouched.
constexpr COLORREF Untouched = RGB(17, 99, 45);

// A 32-bit top-down bitmap of the header's size, pre-filled with Untouched,
// painted with paintHeader and read back.
class HeaderBitmap {
 public:
  HeaderBitmap(int width, int height, const std::string& title) : dib_(width, height) {
    HBRUSH fill = CreateSolidBrush(Untouched);
    RECT all{0, 0, width, height};
    FillRect(dib_.dc(), &all, fill);
    DeleteObject(fill);
    font_ = ui::win32::createStandardFont();
    ui::win32::GdiCanvas canvas(dib_.dc(), font_);
    chrome::paintHeader(canvas, ui::Rect{0, 0, width, height}, title);
  }
  ~HeaderBitmap() { DeleteObject(font_); }

  COLORREF at(int x, int y) const { return dib_.at(x, y); }
  int width() const { return dib_.width(); }
  int height() const { return dib_.height(); }
  HDC dc() const { return dib_.dc(); }
  HFONT font() const { return font_; }

  // Columns [left, right) of the button-face box on a row, found by scanning
  // from the right edge; left == right when there is none.
  std::pair<int, int> faceRun(int y) const {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int right = width();
    while (right > 0 && at(right - 1, y) != face) --right;
    int left = right;
    while (left > 0 && at(left - 1, y) != Blue && at(left - 1, y) != Untouched) --left;
    return {left, right};
  }

 private:
  Dib dib_;
  HFONT font_;
};

int textWidth(HDC dc, HFONT font, const std::string& s) {
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
  SelectObject(dc, old);
  return size.cx;
}

TEST(Header, EmptyTitleGivesStripesOnEveryEvenRowInsideTheEdgeColumns) {
  HeaderBitmap h(199, 15, "");
  for (int y = 0; y < h.height(); ++y) {
    EXPECT_EQ(h.at(0, y), Untouched) << "row " << y;
    EXPECT_EQ(h.at(h.width() - 1, y), Untouched) << "row " << y;
    for (int x = 1; x < h.width() - 1; ++x) {
      const COLORREF expected = (y % 2 == 0) ? Blue : Untouched;
      ASSERT_EQ(h.at(x, y), expected) << "at " << x << "," << y;
    }
  }
}

TEST(Header, TitleSitsOnAButtonFaceBoxFlushRightWithStripesToItsLeft) {
  const std::string title = "  Options  ";
  HeaderBitmap h(199, 15, title);
  const int expectedWidth = textWidth(h.dc(), h.font(), title);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);

  // The box hides the stripes of the middle rows; the text is centred, so
  // the box spans the text cell and leaves the outermost stripes.
  const auto [left, right] = h.faceRun(h.height() / 2 + 1);
  EXPECT_EQ(right, h.width()) << "the box ends at the strip's right edge";
  EXPECT_NEAR(right - left, expectedWidth, 1);

  int boxTop = -1, boxBottom = -1;
  for (int y = 0; y < h.height(); ++y)
    if (h.at(h.width() - 2, y) == face) {
      if (boxTop < 0) boxTop = y;
      boxBottom = y + 1;
    }
  ASSERT_GE(boxTop, 0);
  EXPECT_NEAR(boxTop + boxBottom, h.height(), 1) << "vertically centred: " << boxTop << ".." << boxBottom;

  for (int y = 0; y < h.height(); ++y) {
    // Left of the box the stripes are as without a title.
    for (int x = 1; x < left; ++x) ASSERT_EQ(h.at(x, y), y % 2 == 0 ? Blue : Untouched) << x << "," << y;
    EXPECT_EQ(h.at(0, y), Untouched);
    // Outside the box's rows nothing but stripes.
    if (y < boxTop || y >= boxBottom) {
      for (int x = 1; x < h.width() - 1; ++x) ASSERT_EQ(h.at(x, y), y % 2 == 0 ? Blue : Untouched) << x << "," << y;
    }
  }
  // Inside the box: glyph pixels in the text colour, the rest button face.
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  int glyphPixels = 0;
  for (int y = boxTop; y < boxBottom; ++y)
    for (int x = left; x < right; ++x) {
      const COLORREF c = h.at(x, y);
      ASSERT_TRUE(c == face || c == text) << "at " << x << "," << y;
      if (c == text) ++glyphPixels;
    }
  EXPECT_GT(glyphPixels, 20);
}

TEST(Header, TitleTooLongForTheStripIsCutWithAnEllipsisAndStillEndsFlushRight) {
  const std::string title = "  A title much longer than this narrow strip  ";
  HeaderBitmap h(60, 15, title);
  // What the system makes of it when told to cut with an ellipsis.
  std::vector<char> buffer(title.begin(), title.end());
  buffer.resize(title.size() + 8, '\0');
  RECT rc{0, 0, h.width(), h.height()};
  HGDIOBJ old = SelectObject(h.dc(), h.font());
  DrawTextA(h.dc(), buffer.data(), -1, &rc,
            DT_CALCRECT | DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_MODIFYSTRING);
  SelectObject(h.dc(), old);
  const std::string shown(buffer.data());
  EXPECT_NE(shown, title);
  EXPECT_NE(shown.find("..."), std::string::npos) << shown;

  const auto [left, right] = h.faceRun(h.height() / 2 + 1);
  EXPECT_EQ(right, h.width());
  EXPECT_LE(right - left, h.width());
  EXPECT_NEAR(right - left, textWidth(h.dc(), h.font(), shown), 1);
}

class Window : public chrome::HeaderForm {
 public:
  Window(ui::Toolkit& tk, ui::BorderStyle border) : chrome::HeaderForm(tk, "frmTest", 203, 163) {
    setBorderStyle(border);
  }
  ~Window() override { destroy(); }

 protected:
  std::string headerTitle() override { return "  Log in...  "; }
};

int windowHeight(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r.bottom - r.top;
}

TEST(RemoveCaption, SingleBorderWindowLosesItsCaptionKeepsAOnePixelBorderAndGetsShorter) {
  RecordingDialogs dialogs;
  ui::win32::Win32Toolkit tk(dialogs);
  Window form(tk, ui::BorderStyle::Single);
  form.create();
  HWND w = reinterpret_cast<HWND>(form.handle());
  const LONG before = GetWindowLongA(w, GWL_STYLE);
  ASSERT_EQ(before & WS_CAPTION, WS_CAPTION);
  const int height = windowHeight(w);
  RECT outer;
  GetWindowRect(w, &outer);

  form.RemoveCaption();
  const LONG after = GetWindowLongA(w, GWL_STYLE);
  EXPECT_EQ(after & WS_CAPTION, WS_BORDER) << "the caption bits go, the thin border stays";
  EXPECT_EQ(after & ~WS_CAPTION, before & ~WS_CAPTION) << "nothing else changes";
  EXPECT_EQ(windowHeight(w), height - GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(form.height(), windowHeight(w));
  // Without the caption the client area starts one border pixel below the
  // window's top.
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(origin.y - outer.top, GetSystemMetrics(SM_CYBORDER));
  // The header strip is still at the top of the client area, full width.
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(form.cntHeader.width(), client.right - 4);

  // Only once: a second call finds no caption and changes nothing.
  form.RemoveCaption();
  EXPECT_EQ(windowHeight(w), height - GetSystemMetrics(SM_CYCAPTION));
}

TEST(HeaderWindow, SilverStripShowsStripesAndAButtonFaceTitleBoxOnScreen) {
  RecordingDialogs dialogs;
  ui::win32::Win32Toolkit tk(dialogs);
  Window form(tk, ui::BorderStyle::None);
  form.Panel1.setColor(ui::clSilver);
  form.cntHeader.setColor(ui::clSilver);
  form.setPosition(ui::FormPosition::ScreenCenter);
  form.create();
  form.show();
  HWND header = tk.windowOf(form.cntHeader);
  ASSERT_NE(header, nullptr);
  UpdateWindow(reinterpret_cast<HWND>(form.handle()));
  tk.processMessages();
  RECT rc;
  GetClientRect(header, &rc);
  EXPECT_EQ(rc.bottom, chrome::HeaderHeight);
  EXPECT_EQ(rc.right, 203 - 4);

  HDC dc = GetDC(header);
  const COLORREF silver = RGB(192, 192, 192), face = GetSysColor(COLOR_BTNFACE);
  ASSERT_NE(silver, face);
  EXPECT_EQ(GetPixel(dc, 100, 0), Blue);
  EXPECT_EQ(GetPixel(dc, 100, 1), silver) << "between the stripes the strip's own colour";
  EXPECT_EQ(GetPixel(dc, 100, 14), Blue);
  EXPECT_EQ(GetPixel(dc, rc.right - 1, 0), silver) << "the last column has no stripe";
  EXPECT_EQ(GetPixel(dc, rc.right - 1, 7), face) << "the title box reaches the right edge";
  ReleaseDC(header, dc);
}

TEST(RemoveCaption, BorderlessWindowIsLeftAlone) {
  RecordingDialogs dialogs;
  ui::win32::Win32Toolkit tk(dialogs);
  Window form(tk, ui::BorderStyle::None);
  form.create();
  HWND w = reinterpret_cast<HWND>(form.handle());
  const LONG before = GetWindowLongA(w, GWL_STYLE);
  const int height = windowHeight(w);
  form.RemoveCaption();
  EXPECT_EQ(GetWindowLongA(w, GWL_STYLE), before);
  EXPECT_EQ(windowHeight(w), height);
  EXPECT_EQ(height, 163);
}

}  // namespace
