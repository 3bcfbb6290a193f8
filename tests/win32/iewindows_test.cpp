// The IE-window queries against real top-level windows of class "IEFrame"
// made by this test: which of them the lists take, how lookups follow the Z
// order, what the active window is, and the close request.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <thread>
#include <vector>
#include "platform/win32/TimersWin32.h"
#include "platform/win32/WindowsWin32.h"
#include "popup/IEWindows.h"

namespace w32 = platform::win32;
using popup::IEWindow;

namespace {

const std::string Suffix = " - Microsoft Internet Explorer";

struct CloseSeen {
  HWND hwnd;
  WPARAM wp;
  LPARAM lp;
};
std::vector<CloseSeen> closes;

// Notes WM_CLOSE and keeps the window, as a browser asking the user would.
LRESULT CALLBACK ieProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CLOSE) {
    closes.push_back({h, w, l});
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class IEWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* cls : {"IEFrame", "TarnwickNotIE"}) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = ieProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = cls;
      RegisterClassA(&wc);
    }
  }
  void TearDown() override {
    // Visible windows are slow to go on a display without a window manager:
    // hide them all first, then destroy.
    for (HWND h : made_) ShowWindow(h, SW_HIDE);
    for (HWND h : made_) DestroyWindow(h);
    pump();
    closes.clear();
  }
  HWND make(const std::string& title, bool visible = false, DWORD exStyle = 0, HWND owner = nullptr,
            const char* cls = "IEFrame") {
    HWND h = CreateWindowExA(exStyle, cls, title.c_str(), WS_POPUP | (visible ? WS_VISIBLE : 0), 10, 10, 120,
                             80, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(h, nullptr) << title;
    made_.push_back(h);
    return h;
  }
  // A title no other window of the session bears.
  std::string unique(const std::string& what) { return what + " " + std::to_string(GetCurrentProcessId()); }
  // The entries of a list that belong to this test's windows.
  std::vector<IEWindow> ours(const std::vector<IEWindow>& list) {
    std::vector<IEWindow> out;
    for (auto& e : list)
      if (std::find(made_.begin(), made_.end(), w32::toHwnd(e.handle)) != made_.end()) out.push_back(e);
    return out;
  }
  static platform::WindowId id(HWND h) { return w32::toId(h); }
  // The visible list from an enumeration taken now.
  std::vector<IEWindow> visible() {
    popup::WindowCensus census(windows_, clock_);
    return ours(popup::EnumVisibleIEWindows(windows_, census));
  }

  std::vector<HWND> made_;
  w32::Windows windows_;
  w32::Clock clock_;
  popup::WindowCensus census_{windows_, clock_};
};

}  // namespace

TEST_F(IEWindows, ListsTakeHiddenOwnedAndToolWindowsAsTheQueriesSay) {
  const std::string main = unique("Main") + Suffix;
  HWND shown = make(main, true);
  HWND hidden = make(unique("Hidden"));
  HWND owned = make(unique("Owned"), true, 0, shown);
  HWND tool = make(unique("Tool"), true, WS_EX_TOOLWINDOW);
  HWND other = make(main, false, 0, nullptr, "TarnwickNotIE");
  HWND tooLong = make(unique(std::string(300, 'L')));
  ASSERT_TRUE(shown && hidden && owned && tool && other && tooLong);

  // Z order: the newest window on top. The non-IE window's title brings a
  // copy of the IE window it names; the cut 254-character title of the long
  // one finds nothing.
  EXPECT_EQ(ours(popup::EnumIEWindowTitles(windows_)), (std::vector<IEWindow>{{main, id(shown)},
                                                                              {unique("Tool"), id(tool)},
                                                                              {unique("Owned"), id(owned)},
                                                                              {unique("Hidden"), id(hidden)},
                                                                              {main, id(shown)}}));
  EXPECT_EQ(visible(), (std::vector<IEWindow>{{main, id(shown)}}));
}

TEST_F(IEWindows, SameTitlePairFollowsTheZOrderAndVisibleTitlesAreCut) {
  // Titles of 200 characters: whole in the title list, 128 in the visible list.
  std::string title = unique("Pair") + Suffix;
  title = std::string(200 - title.size(), 'P') + title;
  HWND first = make(title, true);
  HWND second = make(title, true);
  ASSERT_TRUE(first && second);

  for (HWND top : {first, second, first}) {
    SCOPED_TRACE(top == first ? "first on top" : "second on top");
    ASSERT_TRUE(BringWindowToTop(top));
    HWND below = top == first ? second : first;
    EXPECT_EQ(popup::FindIEWindowByTitle(windows_, title), id(top));
    EXPECT_EQ(ours(popup::EnumIEWindowTitles(windows_)),
              (std::vector<IEWindow>{{title, id(top)}, {title, id(top)}}))
        << "the pair is listed twice, both times with the topmost one";
    EXPECT_EQ(visible(),
              (std::vector<IEWindow>{{title.substr(0, 128), id(top)}, {title.substr(0, 128), id(below)}}));
  }
  std::string upper = title;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  EXPECT_EQ(popup::FindIEWindowByTitle(windows_, upper), id(first)) << "the lookup ignores case";
  EXPECT_EQ(popup::FindIEWindowByTitle(windows_, title.substr(0, 199)), 0u) << "whole titles only";
}

TEST_F(IEWindows, ActiveWindowExistenceAndClose) {
  EXPECT_FALSE(popup::AnyIEWindowExists(windows_)) << "this session has no IE window yet";
  const std::string page = unique("Page") + Suffix;
  HWND ie = make(page);
  EXPECT_TRUE(popup::AnyIEWindowExists(windows_)) << "a hidden IE window counts";

  // The foreground window is not an IE window, but bears an IE window's
  // title (in other letter case): that IE window is the active one.
  std::string lower = page;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  HWND front = make(lower, true, 0, nullptr, "TarnwickNotIE");
  SetForegroundWindow(front);
  pump();
  ASSERT_EQ(GetForegroundWindow(), front);
  EXPECT_EQ(popup::GetActiveIEWindow(windows_), (IEWindow{page, id(ie)}));
  SetWindowTextA(front, "Nothing of IE");
  EXPECT_EQ(popup::GetActiveIEWindow(windows_), std::nullopt);

  // The close request is posted, not sent: nothing arrives before the loop runs.
  popup::CloseIEWindow(windows_, id(ie));
  EXPECT_TRUE(closes.empty());
  pump();
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0].hwnd, ie);
  EXPECT_EQ(closes[0].wp, 0u);
  EXPECT_EQ(closes[0].lp, 0);

  // Closing "no window" posts nothing, not even to this thread's queue.
  popup::CloseIEWindow(windows_, popup::FindIEWindowByTitle(windows_, "gone"));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  pump();
  EXPECT_EQ(closes.size(), 1u);
}

// The closing loop's lookup of each entry, from one enumeration, against
// the system's own search for the entry's caption.
TEST_F(IEWindows, OneEnumerationAnswersEveryEntryAsTheSystemDoes) {
  const std::string page = unique("Caf\xE9 News"), longPage = unique(std::string(300, 'L'));
  HWND hidden = make(page + Suffix);
  HWND shown = make(page + Suffix, true);
  HWND tall = make(longPage + Suffix);
  make(page + Suffix, true, 0, nullptr, "TarnwickNotIE");
  ASSERT_TRUE(hidden && shown && tall);
  // Letters of the code page whose case the system folds its own way.
  const std::string sharp = unique("Stra\xDF" "e"), ydots = unique("\xFF" "ber");
  HWND street = make(sharp + Suffix), over = make(ydots + Suffix);
  ASSERT_TRUE(street && over);
  // Wine cuts a narrow title short after this letter: the title is given
  // in wide form, as the system holds it.
  wchar_t wide[300] = L"";
  MultiByteToWideChar(CP_ACP, 0, (ydots + Suffix).c_str(), -1, wide, 300);
  SetWindowTextW(over, wide);
  std::string ydotsUpper = ydots;
  ydotsUpper[ydotsUpper.find('\xFF')] = '\x9F';  // the same letter in capitals

  popup::IEWindowIndex index(windows_, census_, popup::CaptionEndings({popup::IETitleSuffix}));
  auto lookUp = [&](const std::string& entry) { return index.findEntryKey(index.keyOf(entry)); };
  std::string upper = page, lower = page;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  upper.replace(upper.find('\xE9'), 1, "\xC9");  // the accented letter in capitals too
  for (const std::string& entry : {page, upper, lower, longPage, longPage.substr(0, 254 - Suffix.size()),
                                   page.substr(1), page + " ", std::string(), sharp, ydots, ydotsUpper,
                                   unique("STRASSE")}) {
    SCOPED_TRACE(entry.substr(0, 40));
    EXPECT_EQ(lookUp(entry), id(FindWindowA("IEFrame", (entry + Suffix).c_str())));
  }
  EXPECT_EQ(lookUp(upper), id(shown)) << "the topmost of the pair, whatever the letter case";
  EXPECT_EQ(lookUp(longPage), id(tall));
  EXPECT_EQ(lookUp(sharp), id(street));
  EXPECT_EQ(lookUp(ydots), id(over));

  // The index is what it was when taken, until it is taken again.
  DestroyWindow(shown);
  EXPECT_EQ(lookUp(page), id(shown));
  index.retake();
  EXPECT_EQ(lookUp(page), id(hidden));
  EXPECT_FALSE(popup::CloseIEWindow(windows_, id(shown))) << "a window that is gone is not asked";
}

TEST_F(IEWindows, AWindowThatDoesNotAnswerIsPassedOverUntilItDoes) {
  // The window's thread sits on an event instead of its messages.
  const std::string page = unique("Busy") + Suffix;
  HANDLE wake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND busy = nullptr;
  DWORD ownerThread = 0;
  HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {
    busy = CreateWindowExA(0, "IEFrame", page.c_str(), WS_POPUP | WS_VISIBLE, 10, 10, 120, 80, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    ownerThread = GetCurrentThreadId();
    SetEvent(made);
    WaitForSingleObject(wake, INFINITE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(busy);
  });
  WaitForSingleObject(made, INFINITE);
  ASSERT_NE(busy, nullptr);

  EXPECT_EQ(windows_.answeredText(id(busy), popup::VisibleBuffer), std::nullopt);
  EXPECT_TRUE(visible().empty());
  const popup::IEWindowIndex index(windows_, census_, popup::CaptionEndings({popup::IETitleSuffix}));
  EXPECT_EQ(index.findEntryKey(index.keyOf(unique("Busy"))), id(busy)) << "the lookup asks the window nothing";

  SetEvent(wake);
  EXPECT_EQ(windows_.answeredText(id(busy), popup::VisibleBuffer), page);
  PostThreadMessageA(ownerThread, WM_QUIT, 0, 0);
  owner.join();
  CloseHandle(wake);
  CloseHandle(made);
}
