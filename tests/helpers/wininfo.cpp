// wininfo.exe: lists the top-level windows of its desktop the way the
// system sees them, for the end-to-end tests to check what pixels cannot
// tell: class, owner, styles, client size, visibility.
//
// Usage: wininfo.exe --out FILE [--class NAME] [--title TEXT] [--controls 1]
//   --out FILE     where the list goes; written to FILE.tmp first and then
//                  renamed, so that FILE, once there, is complete
//   --class NAME   only windows of this class (ignoring case)
//   --title TEXT   only windows with exactly this title
//   --controls 1   after each window, a line for each of its controls
//
// One line per window, in Z order, fields separated by tabs, the title last:
//   hwnd=0x1234 pid=56 exe=iexplore.exe visible=1 iconic=0 class=IEFrame owner=0x0
//   style=0x14cf0000 exstyle=0x100 window=10,20,300,200 client=292,166
//   body=Text|of|static|children title=Some title
// (window is x,y,width,height on the desktop; client is width,height.)
// With --controls, each window's line is followed by one line per control
// inside it, at any depth, in the order the system keeps them:
//   control hwnd=0x1236 parent=0x1234 class=Button visible=1 shown=1 enabled=1
//   focused=0 window=14,40,120,17 state=1 text=&Cookies
// visible is whether it can be seen (it and every window it sits in are
// shown); shown is its own visibility, whatever its parents'. state is what
// the control holds beyond its text: 1 or 0 for a check box
// or radio button, the shortcut value (HOTKEYF flags in the high byte) of a
// hot-key field, the position of an up-down, the selected tab of a tab
// control, the password character's code of a password field, the selected
// line of a list box (-1 for none); else empty. A list box's text is its
// lines joined by "|".
// The last line is "end".
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string g_class, g_title;
bool g_byClass = false, g_byTitle = false, g_controls = false;
std::FILE* g_file = nullptr;

std::string hex(ULONG_PTR v) {
  char b[32];
  std::snprintf(b, sizeof b, "0x%llx", static_cast<unsigned long long>(v));
  return b;
}

// The file name, without folder, of a process's program.
std::string exeName(DWORD pid) {
  std::string name;
  HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!p) return name;
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  if (QueryFullProcessImageNameA(p, 0, path, &size)) {
    name = path;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
  }
  CloseHandle(p);
  return name;
}

// The texts of a window's static children, as a message box shows its
// message, joined by "|".
std::string staticTexts(HWND w) {
  std::string texts;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[64] = "", text[1024] = "";
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0 || GetWindowTextA(c, text, sizeof text) == 0) continue;
    if (!texts.empty()) texts += "|";
    texts += text;
  }
  return texts;
}

std::string rect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
         std::to_string(r.bottom - r.top);
}

// Asks another program's control, never waiting more than a quarter second:
// a program busy for a moment must not hold the list.
LRESULT ask(HWND c, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(c, msg, wp, lp, SMTO_ABORTIFHUNG, 250, &answer);
  return static_cast<LRESULT>(answer);
}

std::string stateOf(HWND c, const char* cls) {
  if (lstrcmpiA(cls, "Button") == 0) {
    const LONG type = GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_GROUPBOX || type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return "";
    return std::to_string(ask(c, BM_GETCHECK));
  }
  if (lstrcmpiA(cls, HOTKEY_CLASSA) == 0) return std::to_string(ask(c, HKM_GETHOTKEY) & 0xFFFF);
  if (lstrcmpiA(cls, UPDOWN_CLASSA) == 0) return std::to_string(static_cast<short>(ask(c, UDM_GETPOS)));
  if (lstrcmpiA(cls, WC_TABCONTROLA) == 0) return std::to_string(ask(c, TCM_GETCURSEL));
  if (lstrcmpiA(cls, "ListBox") == 0) return std::to_string(ask(c, LB_GETCURSEL));
  if (lstrcmpiA(cls, "Edit") == 0) {
    const LRESULT pc = ask(c, EM_GETPASSWORDCHAR);
    return pc ? std::to_string(pc) : "";
  }
  return "";
}

// A text on one line of the list: line breaks and tabs become blanks.
std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  return text;
}

// The lines of another program's list box, each asked for with a bound and
// in its wide form (the narrow one comes back cut to its first letter).
std::string listLines(HWND c) {
  std::string joined;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(c, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 250, &count)) return joined;
  for (DWORD_PTR i = 0; i < count; ++i) {
    wchar_t line[1024] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(c, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 250, &length) || length >= 1024) break;
    SendMessageTimeoutW(c, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line), SMTO_ABORTIFHUNG, 250, &length);
    char narrow[2048] = "";
    WideCharToMultiByte(CP_ACP, 0, line, -1, narrow, sizeof narrow, nullptr, nullptr);
    joined += (i ? "|" : "") + std::string(narrow);
  }
  return joined;
}

BOOL CALLBACK eachControl(HWND c, LPARAM) {
  char cls[256] = "", text[1024] = "";
  GetClassNameA(c, cls, sizeof cls);
  // Another program's edit field tells what it holds only when asked; a
  // program busy for a moment leaves it empty rather than holding the list.
  DWORD_PTR got = 0;
  if (lstrcmpiA(cls, "Edit") == 0)
    SendMessageTimeoutA(c, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 250, &got);
  else
    GetWindowTextA(c, text, sizeof text);
  const std::string content = lstrcmpiA(cls, "ListBox") == 0 ? listLines(c) : std::string(text);
  std::string line = "control\thwnd=" + hex(reinterpret_cast<ULONG_PTR>(c)) +
                     "\tparent=" + hex(reinterpret_cast<ULONG_PTR>(GetParent(c))) + "\tclass=" + cls +
                     "\tvisible=" + (IsWindowVisible(c) ? "1" : "0") +
                     "\tshown=" + ((GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) ? "1" : "0") + "\tenabled=" + (IsWindowEnabled(c) ? "1" : "0") +
                     "\tfocused=" + (GetFocus() == c ? "1" : "0") + "\twindow=" + rect(c) +
                     "\tstate=" + stateOf(c, cls) + "\ttext=" + oneLine(content) + "\n";
  std::fputs(line.c_str(), g_file);
  return TRUE;
}

BOOL CALLBACK each(HWND w, LPARAM) {
  char cls[256] = "", title[1024] = "";
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, title, sizeof title);
  if (g_byClass && lstrcmpiA(cls, g_class.c_str()) != 0) return TRUE;
  if (g_byTitle && g_title != title) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  RECT wr{}, cr{};
  GetWindowRect(w, &wr);
  GetClientRect(w, &cr);
  std::string line = "hwnd=" + hex(reinterpret_cast<ULONG_PTR>(w)) + "\tpid=" + std::to_string(pid) +
                     "\texe=" + exeName(pid) +
                     "\tvisible=" + (IsWindowVisible(w) ? "1" : "0") + "\ticonic=" + (IsIconic(w) ? "1" : "0") +
                     "\tclass=" + cls + "\towner=" + hex(reinterpret_cast<ULONG_PTR>(GetWindow(w, GW_OWNER))) +
                     "\tstyle=" + hex(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE))) +
                     "\texstyle=" + hex(static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE))) + "\twindow=" +
                     std::to_string(wr.left) + "," + std::to_string(wr.top) + "," +
                     std::to_string(wr.right - wr.left) + "," + std::to_string(wr.bottom - wr.top) +
                     "\tclient=" + std::to_string(cr.right - cr.left) + "," + std::to_string(cr.bottom - cr.top) +
                     "\tbody=" + oneLine(staticTexts(w)) + "\ttitle=" + oneLine(title) + "\n";
  std::fputs(line.c_str(), g_file);
  if (g_controls) {
    // The focus is another thread's: borrow its input state to read it.
    const DWORD thread = GetWindowThreadProcessId(w, nullptr);
    const bool attached = AttachThreadInput(GetCurrentThreadId(), thread, TRUE) != 0;
    EnumChildWindows(w, eachControl, 0);
    if (attached) AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--out") {
      out = argv[i + 1];
    } else if (a == "--class") {
      g_class = argv[i + 1];
      g_byClass = true;
    } else if (a == "--controls") {
      g_controls = argv[i + 1][0] == '1';
    } else if (a == "--title") {
      g_title = argv[i + 1];
      g_byTitle = true;
    } else {
      return 2;
    }
  }
  if (out.empty() || argc % 2 == 0) return 2;
  const std::string tmp = out + ".tmp";
  g_file = std::fopen(tmp.c_str(), "wb");
  if (!g_file) return 1;
  EnumWindows(each, 0);
  std::fputs("end\n", g_file);
  std::fclose(g_file);
  return MoveFileExA(tmp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
