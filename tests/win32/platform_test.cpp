// The Win32 platform services against the real system: the single-instance
// mutex, timers in a message loop, the GUI-thread hand-over, top-level
// windows, message boxes, help and the URL-history object.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>
#include "eraser/EraseEngine.h"
#include "platform/win32/DialogsWin32.h"
#include "platform/win32/FilesWin32.h"
#include "platform/win32/GuiThreadWin32.h"
#include "platform/win32/HelpWin32.h"
#include "platform/win32/InstanceWin32.h"
#include "platform/win32/TimersWin32.h"
#include "platform/win32/UrlHistoryWin32.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowsWin32.h"

namespace w32 = platform::win32;

namespace {

bool underWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

void pumpOnce() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Visible top-level windows are slow to hide or destroy on a display without
// a window manager (Wine waits about 2 s for one), so the tests show few.

// Runs this thread's message loop until `done` or the time is up.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    pumpOnce();
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    // Short waits: `done` may be set by another thread without a message.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now < 10 ? end - now : 10),
                              QS_ALLINPUT);
  }
}

void pumpFor(DWORD ms) {
  pumpUntil([] { return false; }, ms);
}

std::string uniqueName(const char* what) {
  return std::string("PREVINST:") + what + "-" + std::to_string(GetCurrentProcessId());
}

TEST(Instance, FirstClaimWinsAndTheMutexStaysOwned) {
  w32::Instance instance;
  const std::string name = uniqueName("tarnwick");
  EXPECT_TRUE(instance.claim(name));
  EXPECT_FALSE(instance.claim(name)) << "the name is taken now";
  EXPECT_TRUE(instance.claim(name + "x")) << "another executable name is another program";

  // Another program asking for the same name is told it exists...
  HANDLE other = CreateMutexA(nullptr, TRUE, name.c_str());
  DWORD err = GetLastError();
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(err, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(other);
  // ...and cannot take it over: this thread owns it.
  DWORD wait = 0;
  std::thread([&] {
    HANDLE h = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    wait = h ? WaitForSingleObject(h, 0) : WAIT_FAILED;
    if (h) CloseHandle(h);
  }).join();
  EXPECT_EQ(wait, static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(Instance, ANameHeldElsewhereIsNotClaimed) {
  const std::string name = uniqueName("held");
  HANDLE first = CreateMutexA(nullptr, TRUE, name.c_str());
  ASSERT_NE(first, nullptr);
  w32::Instance instance;
  EXPECT_FALSE(instance.claim(name));
  CloseHandle(first);
}

TEST(Timers, TicksComeFromTheMessageLoopUntilStopped) {
  w32::Timers timers;
  int ticks = 0;
  platform::TimerId id = 0;
  id = timers.start(30, [&] {
    if (++ticks == 3) timers.stop(id);  // a tick may stop its own timer
  });
  ASSERT_NE(id, 0u);
  pumpFor(10);
  EXPECT_EQ(ticks, 0) << "the first tick comes after one interval";
  ASSERT_TRUE(pumpUntil([&] { return ticks >= 3; }, 3000));
  pumpFor(200);
  EXPECT_EQ(ticks, 3) << "no tick after stop";
  EXPECT_EQ(timers.running(), 0u);
  timers.stop(id);  // stopping twice is harmless
}

TEST(Timers, ATickMayStartAndStopOtherTimers) {
  w32::Timers timers;
  int a = 0, b = 0;
  platform::TimerId idA = 0, idB = 0;
  idA = timers.start(20, [&] {
    ++a;
    timers.stop(idA);
    idB = timers.start(20, [&] { ++b; });
  });
  ASSERT_TRUE(pumpUntil([&] { return b >= 2; }, 3000));
  EXPECT_EQ(a, 1);
  EXPECT_NE(idA, idB);
  timers.stop(idB);
  EXPECT_EQ(timers.running(), 0u);
}

TEST(Timers, ABlockedLoopGetsOneTickNotABacklog) {
  w32::Timers timers;
  int ticks = 0;
  platform::TimerId id = timers.start(100, [&] { ++ticks; });
  Sleep(550);  // five intervals without a message loop
  pumpFor(40);
  EXPECT_EQ(ticks, 1);
  timers.stop(id);
}

TEST(GuiThread, AWorkerRunsItsFunctionOnTheGuiThreadAndWaits) {
  w32::GuiThread gui;
  const DWORD guiId = GetCurrentThreadId();
  DWORD ranOn = 0;
  int value = 0;
  int seenAfterReturn = -1;
  std::string error;
  std::atomic<bool> finished{false};

  std::thread worker([&] {
    gui.sendSync([&] {
      ranOn = GetCurrentThreadId();
      value = 42;
    });
    seenAfterReturn = value;
    try {
      gui.sendSync([] { throw std::runtime_error("Cannot open file x"); });
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    finished = true;
  });
  bool done = pumpUntil([&] { return finished.load(); }, 5000);
  worker.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(ranOn, guiId);
  EXPECT_EQ(seenAfterReturn, 42) << "sendSync returns after the function has run";
  EXPECT_EQ(error, "Cannot open file x") << "the worker gets the exception, not the message loop";

  // On the GUI thread itself the function runs at once, without a loop.
  int direct = 0;
  gui.sendSync([&] { direct = GetCurrentThreadId() == guiId ? 1 : 2; });
  EXPECT_EQ(direct, 1);
}

TEST(Files, TempFolderEndsWithABackslashAndExists) {
  w32::Files files;
  const std::string temp = files.tempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  DWORD attrs = GetFileAttributesA(temp.c_str());
  ASSERT_NE(attrs, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);

  const std::string folder = w32::programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  EXPECT_EQ(std::string(exe).rfind(folder, 0), 0u) << "the folder of " << exe;
}

// What the system's change notifications report of a folder: a file
// arriving in it or in a watched folder below it; nothing before anything
// happened.
// A folder removed while watched is held until its watch ends.
TEST(Files, AFolderWatchSeesWhatArrivesBelowTheFolderAndHoldsTheFolder) {
  w32::Files files;
  const std::string base = files.tempFolder() + "tarnwick-watch-" + std::to_string(GetCurrentProcessId());
  const std::string sub = base + "\\sub";
  for (const std::string& folder : {base, sub})  // perhaps left by a run that failed
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
  // The system tells of a change a moment after it; the wait is bounded.
  auto seen = [](platform::FolderWatch& watch) { return pumpUntil([&] { return watch.changed(); }, 5000); };

  auto top = files.watch(base + "\\");
  auto below = files.watch(sub);
  ASSERT_TRUE(top && below);
  EXPECT_FALSE(top->changed() || below->changed());
  ASSERT_TRUE(files.writeFile(sub + "\\a.tmp", "x"));
  EXPECT_TRUE(seen(*top)) << "a file in a watched folder below";
  EXPECT_TRUE(seen(*below));
  EXPECT_TRUE(top->changed()) << "and it stays seen";

  // A watched folder removed stays while a watch holds it, and goes after.
  ASSERT_TRUE(files.deleteFile(sub + "\\a.tmp"));
  ASSERT_TRUE(files.removeFolder(sub));
  EXPECT_NE(GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);
  below.reset();
  EXPECT_EQ(GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);

  EXPECT_EQ(files.watch(base + "\\missing"), nullptr);
  top.reset();
  files.removeFolder(base);
}

class TestWindows : public ::testing::Test {
 protected:
  static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "IEFrame";
    RegisterClassA(&wc);
  }
  void TearDown() override {
    for (HWND h : made_) DestroyWindow(h);
  }
  HWND make(const char* title, DWORD style = WS_OVERLAPPEDWINDOW) {
    HWND h = CreateWindowExA(0, "IEFrame", title, style, 10, 10, 200, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    made_.push_back(h);
    return h;
  }
  std::vector<HWND> made_;
  w32::Windows windows_;
};

TEST_F(TestWindows, FindIgnoresCaseAndContinuesAfterAWindow) {
  const std::string title =
      "Tarnwick test " + std::to_string(GetCurrentProcessId()) + " - Microsoft Internet Explorer";
  HWND first = make(title.c_str());
  HWND second = make(title.c_str());
  ASSERT_TRUE(first && second);

  std::string lower = title;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  platform::WindowId found = windows_.find("ieframe", lower);
  ASSERT_NE(found, 0u);
  platform::WindowId next = windows_.find("IEFrame", title, found);
  ASSERT_NE(next, 0u);
  EXPECT_NE(next, found);
  EXPECT_EQ(windows_.find("IEFrame", title, next), 0u) << "two windows, no third";
  std::vector<platform::WindowId> both{w32::toId(first), w32::toId(second)};
  EXPECT_NE(std::find(both.begin(), both.end(), found), both.end());
  EXPECT_NE(std::find(both.begin(), both.end(), next), both.end());

  EXPECT_EQ(windows_.className(found), "IEFrame");
  EXPECT_EQ(windows_.text(found), title);
  EXPECT_EQ(windows_.processOf(found), windows_.currentProcess());
  EXPECT_EQ(windows_.find("IEFrame", title + " (not open)"), 0u);
}

// The list is EnumWindows' own: other programs' windows (the desktop's)
// included, hidden or shown, front first, and no message-only window
// (Wine's EnumDesktopWindows of no desktop lists those too). Taken again
// when a window came or went between the two lists.
TEST_F(TestWindows, TopLevelListIsEnumWindowsList) {
  HWND hidden = make("Tarnwick hidden", WS_POPUP);
  HWND shown = make("Tarnwick shown", WS_POPUP | WS_VISIBLE);
  ASSERT_TRUE(hidden && shown);
  std::vector<platform::WindowId> enumerated, listed;
  for (int attempt = 0; attempt < 3 && (attempt == 0 || listed != enumerated); ++attempt) {
    enumerated.clear();
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
          reinterpret_cast<std::vector<platform::WindowId>*>(p)->push_back(w32::toId(h));
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&enumerated));
    listed = windows_.topLevel();
  }
  EXPECT_EQ(listed, enumerated);
  EXPECT_NE(std::find(listed.begin(), listed.end(), w32::toId(hidden)), listed.end());
  EXPECT_NE(std::find(listed.begin(), listed.end(), w32::toId(shown)), listed.end());
  const bool others = std::any_of(listed.begin(), listed.end(), [&](platform::WindowId w) {
    return windows_.processOf(w) != windows_.currentProcess();
  });
  EXPECT_TRUE(others) << "the desktop's windows belong to another program";
  ShowWindow(shown, SW_HIDE);
}

TEST_F(TestWindows, TextsAreCutAt255Characters) {
  const std::string longTitle(300, 'T');
  HWND h = make(longTitle.c_str());
  EXPECT_EQ(windows_.text(w32::toId(h)), std::string(255, 'T'));
}

TEST_F(TestWindows, StateAndActivationRequests) {
  HWND h = make("Tarnwick state test");
  const platform::WindowId w = w32::toId(h);
  EXPECT_FALSE(windows_.isVisible(w));
  ShowWindow(h, SW_SHOWNORMAL);
  EXPECT_TRUE(windows_.isVisible(w));
  EXPECT_TRUE(windows_.isEnabled(w));
  EnableWindow(h, FALSE);
  EXPECT_FALSE(windows_.isEnabled(w));
  EnableWindow(h, TRUE);

  ShowWindow(h, SW_MINIMIZE);
  EXPECT_TRUE(windows_.isIconic(w));
  windows_.restore(w);
  EXPECT_FALSE(windows_.isIconic(w));

  EXPECT_EQ(windows_.lastActivePopup(w), w) << "no popup: the window itself";
  HWND popup = CreateWindowExA(0, "IEFrame", "owned popup", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, h, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  made_.insert(made_.begin(), popup);
  SetActiveWindow(popup);
  EXPECT_EQ(windows_.lastActivePopup(w), w32::toId(popup));
  windows_.bringToTop(w32::toId(popup));
  windows_.setForeground(w);
  pumpOnce();
}

// Answers the next message box with the given caption from another thread.
class BoxAnswerer {
 public:
  BoxAnswerer(std::string caption, int button, HWND watched)
      : thread_([this, caption = std::move(caption), button, watched] {
          const ULONGLONG end = GetTickCount64() + 10000;
          while (GetTickCount64() < end) {
            // A box is built with every button and drops those it does not
            // need before it is shown: only a shown box tells its buttons.
            HWND box = FindWindowA("#32770", caption.c_str());
            if (box && IsWindowVisible(box)) {
              hadYes = GetDlgItem(box, IDYES) != nullptr;
              hadNo = GetDlgItem(box, IDNO) != nullptr;
              hadOk = GetDlgItem(box, IDOK) != nullptr;
              watchedEnabled = watched && IsWindowEnabled(watched);
              PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
              found = true;
              return;
            }
            Sleep(20);
          }
        }) {}
  ~BoxAnswerer() {
    if (thread_.joinable()) thread_.join();
  }
  void join() { thread_.join(); }

  std::atomic<bool> found{false};
  bool hadYes = false, hadNo = false, hadOk = false, watchedEnabled = true;

 private:
  std::thread thread_;
};

TEST_F(TestWindows, MessageBoxesHaveTheirButtonsAndBlockThisThreadsWindows) {
  w32::Dialogs dialogs;
  HWND mine = make("Tarnwick main window", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  // A caption per box: a box that was answered may linger while it goes.
  const std::string caption = "Tarnwick box " + std::to_string(GetCurrentProcessId());
  {
    BoxAnswerer answer(caption + " 1", IDYES, mine);
    EXPECT_TRUE(dialogs.question("Import the block list?", caption + " 1"));
    answer.join();
    ASSERT_TRUE(answer.found);
    EXPECT_TRUE(answer.hadYes);
    EXPECT_TRUE(answer.hadNo);
    EXPECT_FALSE(answer.watchedEnabled) << "task-modal: this thread's windows wait for the answer";
  }
  {
    BoxAnswerer answer(caption + " 2", IDNO, nullptr);
    EXPECT_FALSE(dialogs.question("Import the block list?", caption + " 2"));
    answer.join();
    ASSERT_TRUE(answer.found);
  }
  {
    BoxAnswerer answer(caption + " 3", IDOK, nullptr);
    dialogs.error("Cannot open file x", caption + " 3");
    answer.join();
    ASSERT_TRUE(answer.found);
    EXPECT_TRUE(answer.hadOk);
    EXPECT_FALSE(answer.hadYes);
  }
  EXPECT_TRUE(IsWindowEnabled(mine)) << "enabled again once the box is gone";
}

TEST(Help, FileNamesAndTopicsAreResolvedNextToTheProgram) {
  const std::string folder = w32::programFolder();
  EXPECT_EQ(w32::resolveHelpFile("help.chm"), folder + "help.chm");
  EXPECT_EQ(w32::resolveHelpFile("C:\\docs\\help.chm"), "C:\\docs\\help.chm");
  EXPECT_EQ(w32::resolveHelpFile("\\\\server\\share\\help.chm"), "\\\\server\\share\\help.chm");
  EXPECT_EQ(w32::helpTopicUrl("C:\\p\\help.chm", "Introduction"), "C:\\p\\help.chm::/Introduction.htm");
  EXPECT_EQ(w32::helpTopicUrl("C:\\p\\help.chm", "MainWindow.html"), "C:\\p\\help.chm::/MainWindow.html");
  EXPECT_EQ(w32::helpTopicUrl("C:\\p\\help.chm", "dir.v2/Page"), "C:\\p\\help.chm::/dir.v2/Page.htm");
}

TEST(Help, AMissingHelpFileShowsNothingAndDoesNotBlock) {
  w32::Help help;
  const ULONGLONG start = GetTickCount64();
  help.contents("no-such-help.chm");
  help.topic("no-such-help.chm", "Introduction");
  help.closeAll();
  EXPECT_LT(GetTickCount64() - start, 5000u);
  EXPECT_EQ(FindWindowA("HH Parent", nullptr), nullptr);
}

TEST(UrlHistory, CreatedOnTheGuiThreadOrNull) {
  w32::UrlHistoryFactory factory;
  auto first = factory.create();
  auto second = factory.create();  // COM is entered once; a second object is fine
  EXPECT_EQ(first != nullptr, second != nullptr);
  if (first) {
    const bool cleared = first->clearHistory();
    ::testing::Test::RecordProperty("ClearHistorySucceeded", cleared ? "yes" : "no");
    if (underWine()) {
      EXPECT_FALSE(cleared) << "Wine's ClearHistory is not implemented (E_NOTIMPL)";
    }
  }
  if (underWine()) {
    EXPECT_NE(first, nullptr) << "Wine provides the URL-history object";
  }
}

TEST(Win32Platform, BundlesOneOfEachService) {
  w32::Win32Platform win32;
  platform::Platform& p = win32.platform();
  EXPECT_EQ(&p, &win32.platform());
  EXPECT_NE(dynamic_cast<w32::Timers*>(&p.timers), nullptr);
  EXPECT_NE(dynamic_cast<w32::GuiThread*>(&p.gui), nullptr);
  EXPECT_FALSE(p.files.tempFolder().empty());
  const std::uint64_t before = p.clock.nowMs();
  p.clock.sleep(100);
  EXPECT_GE(p.clock.nowMs() - before, 80u) << "Wine's tick count moves in steps of about 16 ms";
}

}  // namespace

// The user's own data folders are among the folders no erase empties: a
// "Cache" pointed at Documents, or at the folder holding it, is refused,
// while a folder inside Documents is not.
TEST(Files, TheUsersDataFoldersAreOffLimitsForTheErase) {
  platform::win32::Files files;
  const std::vector<std::string> guarded = files.systemFolders();
  char documents[MAX_PATH];
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
  const std::string docs = documents;
  for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYPICTURES, CSIDL_MYMUSIC, CSIDL_MYVIDEO}) {
    char folder[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)));
    EXPECT_NE(std::find(guarded.begin(), guarded.end(), std::string(folder)), guarded.end()) << folder;
  }
  EXPECT_EQ(guarded.size(), 9u) << "Windows, system, profile and the six data folders, Downloads among them";
  EXPECT_FALSE(eraser::IsSafeEraseFolder(docs + "\\", guarded));
  EXPECT_FALSE(eraser::IsSafeEraseFolder(docs.substr(0, docs.find_last_of('\\') + 1), guarded));
  EXPECT_TRUE(eraser::IsSafeEraseFolder(docs + "\\old cache\\", guarded));
}
