// iexplore.exe: a stand-in browser for the end-to-end tests. It opens
// top-level windows of class "IEFrame" (or another class) with the titles
// given on its command line, logs every WM_CLOSE it receives, and ends when
// its last window is gone.
//
// Usage:
//   iexplore.exe [--log FILE] [--quit-after MS] [--class NAME] WINDOW...
//   iexplore.exe --exit-all
//
// WINDOW is one of
//   --window TITLE         a visible, normal top-level window
//   --hidden-window TITLE  a top-level window that is never shown
//   --owned-window TITLE   a visible window owned by a hidden, untitled
//                          window of the same class (also made here); the
//                          owner goes away with the window it owns
//   --tool-window TITLE    a visible window with WS_EX_TOOLWINDOW
// Options apply to the windows named after them:
//   --class NAME           window class of the following windows (default
//                          "IEFrame")
// Process options:
//   --log FILE             append one line per event to FILE (see below)
//   --quit-after MS        end by itself after MS milliseconds (a safety
//                          bound for tests; windows are destroyed, no
//                          WM_CLOSE is logged)
//   --exit-all             tell every running iexplore.exe of this Wine
//                          session (any desktop) to end at once, as
//                          --quit-after does; ends about a second later.
//                          An instance that starts within that second ends
//                          at once too.
//
// Log lines (each written and flushed at once, so a test may read the file
// while the program runs):
//   started <pid>
//   created <kind> <title>     kind: window, hidden, owned, tool, owner
//   ready                      every window of the command line exists
//   WM_CLOSE <title>           the window got WM_CLOSE and is destroyed
//   WM_CHAR <title> <char>     the window got a typed character (it has the
//                              keyboard)
//   exit                       the process is about to end
//
// Exit status: 0 on a normal end, 2 on a command-line error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Manual-reset event set by --exit-all. A named kernel object, unlike a
// window, is seen from every desktop of the session.
const char kExitEvent[] = "TarnwickTestIExploreExit";
const UINT kDestroyMessage = WM_APP + 2;

std::string g_logPath;
int g_liveWindows = 0;
bool g_quitting = false;

void logLine(const std::string& line) {
  if (g_logPath.empty()) return;
  // Opened per line so that the file is never held between events and a
  // reader on the other side always sees whole lines.
  HANDLE f = CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
}

std::string windowTitle(HWND w) {
  char buf[1024];
  int n = GetWindowTextA(w, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

// Per-window data of an owned window and of the hidden owner made for it.
struct WindowData {
  HWND owner = nullptr;  // for the owned window: its owner
  bool isOwner = false;  // for the owner
  bool dying = false;    // for the owner: being destroyed already
};

WindowData* dataOf(HWND w) { return reinterpret_cast<WindowData*>(GetWindowLongPtrA(w, GWLP_USERDATA)); }

void endAll();

LRESULT CALLBACK frameProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE: {
      logLine("WM_CLOSE " + windowTitle(w));
      // Destroying an owner destroys what it owns first; those must not
      // destroy the owner in turn.
      if (WindowData* d = dataOf(w); d && d->isOwner) d->dying = true;
      DestroyWindow(w);
      return 0;
    }
    case WM_NCDESTROY: {
      if (WindowData* data = dataOf(w)) {
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        // Not destroyed from here: this window is still being torn down.
        if (data->owner && !g_quitting && IsWindow(data->owner)) {
          WindowData* od = dataOf(data->owner);
          if (!od || !od->dying) PostMessageA(data->owner, kDestroyMessage, 0, 0);
        }
        delete data;
      }
      if (--g_liveWindows <= 0) PostQuitMessage(0);
      break;
    }
    case kDestroyMessage:
      DestroyWindow(w);
      return 0;
    case WM_CHAR:
      logLine("WM_CHAR " + windowTitle(w) + " " + std::string(1, static_cast<char>(wp)));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      RECT r;
      GetClientRect(w, &r);
      FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
      std::string t = windowTitle(w);
      DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(w, &ps);
      return 0;
    }
  }
  return DefWindowProcA(w, msg, wp, lp);
}

BOOL CALLBACK destroyOwnWindow(HWND w, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId()) DestroyWindow(w);
  return TRUE;
}

// Ends without logging WM_CLOSE: destroys every window of this thread.
void endAll() {
  if (g_quitting) return;
  g_quitting = true;
  EnumThreadWindows(GetCurrentThreadId(), destroyOwnWindow, 0);
  PostQuitMessage(0);
}

bool registerClass(const std::string& name) {
  WNDCLASSA existing;
  if (GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &existing)) return true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = frameProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = name.c_str();
  return RegisterClassA(&wc) != 0;
}

enum class Kind { Window, Hidden, Owned, Tool };

struct WindowRequest {
  Kind kind;
  std::string cls;
  std::string title;
};

HWND makeFrame(const std::string& cls, const std::string& title, DWORD exStyle, HWND owner, int index) {
  // Cascade the windows so that each one can be seen and clicked.
  int x = 40 + 30 * (index % 10), y = 40 + 30 * (index % 10);
  HWND w = CreateWindowExA(exStyle, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, x, y, 360, 220, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  if (w) ++g_liveWindows;
  return w;
}

int exitAll() {
  HANDLE e = OpenEventA(EVENT_MODIFY_STATE, FALSE, kExitEvent);
  if (!e) return 0;  // no instance is running
  SetEvent(e);
  // Every instance waits on the event in its message loop; a second is
  // ample for each to wake.
  Sleep(1000);
  ResetEvent(e);
  CloseHandle(e);
  return 0;
}

int usage(const char* why) {
  std::string msg = std::string("iexplore.exe: ") + why +
                    "\nusage: iexplore.exe [--log FILE] [--quit-after MS] [--class NAME] "
                    "(--window|--hidden-window|--owned-window|--tool-window) TITLE ...\n"
                    "       iexplore.exe --exit-all\n";
  fputs(msg.c_str(), stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<WindowRequest> requests;
  std::string cls = "IEFrame";
  long quitAfter = 0;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--exit-all") return exitAll();
    if (a == "--log") {
      if (!value(g_logPath)) return usage("--log needs a file");
    } else if (a == "--class") {
      if (!value(cls) || cls.empty()) return usage("--class needs a name");
    } else if (a == "--quit-after") {
      if (!value(v)) return usage("--quit-after needs milliseconds");
      char* end = nullptr;
      quitAfter = std::strtol(v.c_str(), &end, 10);
      if (*end || quitAfter <= 0) return usage("--quit-after needs a positive number");
    } else if (a == "--window" || a == "--hidden-window" || a == "--owned-window" || a == "--tool-window") {
      if (!value(v)) return usage("a window option needs a title");
      Kind k = a == "--window" ? Kind::Window
               : a == "--hidden-window" ? Kind::Hidden
               : a == "--owned-window"  ? Kind::Owned
                                        : Kind::Tool;
      requests.push_back({k, cls, v});
    } else {
      return usage(("unknown argument: " + a).c_str());
    }
  }
  if (requests.empty()) return usage("no window to open");

  logLine("started " + std::to_string(GetCurrentProcessId()));

  HANDLE exitEvent = CreateEventA(nullptr, TRUE, FALSE, kExitEvent);
  const DWORD started = GetTickCount();

  int index = 0;
  for (const WindowRequest& s : requests) {
    if (!registerClass(s.cls)) return usage(("cannot register class " + s.cls).c_str());
    HWND w = nullptr;
    switch (s.kind) {
      case Kind::Window:
        w = makeFrame(s.cls, s.title, 0, nullptr, index);
        if (w) {
          ShowWindow(w, SW_SHOWNORMAL);
          logLine("created window " + s.title);
        }
        break;
      case Kind::Hidden:
        w = makeFrame(s.cls, s.title, 0, nullptr, index);
        if (w) logLine("created hidden " + s.title);
        break;
      case Kind::Tool:
        w = makeFrame(s.cls, s.title, WS_EX_TOOLWINDOW, nullptr, index);
        if (w) {
          ShowWindow(w, SW_SHOWNORMAL);
          logLine("created tool " + s.title);
        }
        break;
      case Kind::Owned: {
        HWND owner = makeFrame(s.cls, "", 0, nullptr, index);
        if (!owner) break;
        SetWindowLongPtrA(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new WindowData{nullptr, true, false}));
        logLine("created owner ");
        w = makeFrame(s.cls, s.title, 0, owner, index);
        if (!w) {
          DestroyWindow(owner);
          break;
        }
        SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new WindowData{owner, false, false}));
        ShowWindow(w, SW_SHOWNORMAL);
        logLine("created owned " + s.title);
        break;
      }
    }
    if (!w) {
      logLine("error cannot create " + s.title);
      return 1;
    }
    UpdateWindow(w);
    ++index;
  }
  logLine("ready");

  MSG m;
  bool running = true;
  while (running) {
    DWORD wait = INFINITE;
    if (quitAfter > 0) {
      DWORD spent = GetTickCount() - started;
      wait = spent >= static_cast<DWORD>(quitAfter) ? 0 : static_cast<DWORD>(quitAfter) - spent;
    }
    DWORD r = MsgWaitForMultipleObjects(exitEvent ? 1 : 0, &exitEvent, FALSE, wait, QS_ALLINPUT);
    if (r == WAIT_TIMEOUT || (exitEvent && r == WAIT_OBJECT_0)) {
      endAll();
    }
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) {
        running = false;
        break;
      }
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  logLine("exit");
  return 0;
}
