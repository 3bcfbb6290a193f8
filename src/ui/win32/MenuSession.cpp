#include "ui/win32/MenuSession.h"
#include <algorithm>
#include <cctype>
#include <cstring>
#include "ui/win32/Theme.h"
#include "ui/win32/Win32Toolkit.h"

namespace ui::win32 {

namespace {

// The open menu of this thread, for the hook procedures, which get no
// context of their own. Only one menu can be open per thread.
thread_local MenuSession* active = nullptr;

constexpr const char* SavedProcProperty = "TarnwickMenuProc";
constexpr const char* MenuWindowClass = "#32768";

char upper(unsigned ch) { return static_cast<char>(std::toupper(static_cast<unsigned char>(ch))); }

void fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  if (r <= l || b <= t) return;
  RECT rc{l, t, r, b};
  HBRUSH brush = CreateSolidBrush(c);
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
}

// A window of another program is in front (not merely the desktop).
bool anotherProgramInFront() {
  HWND front = GetForegroundWindow();
  DWORD process = 0;
  if (!front || front == GetDesktopWindow() || !GetWindowThreadProcessId(front, &process)) return false;
  return process != GetCurrentProcessId();
}

// Wine hands the X input focus to the window this thread activates with
// the time of the last message the thread took from its queue as the
// request's time. After an idle spell that time is older than the other
// program's activation, and the X server ignores a focus change dated
// before the last one: the keys stay with the program in front although
// the menu opened. A message posted now and taken at once dates the
// request now.
constexpr UINT TimeMark = WM_APP + 0x100;

void freshenMessageTime(HWND w) {
  MSG m;
  if (PostMessageA(w, TimeMark, 0, 0)) PeekMessageA(&m, w, TimeMark, TimeMark, PM_REMOVE);
}

}  // namespace

MenuSession::MenuSession(Win32Toolkit& toolkit, ui::PopupMenu& menu) : toolkit_(toolkit), menu_(menu) {}

MenuSession::~MenuSession() {
  if (cbt_) UnhookWindowsHookEx(cbt_);
  if (filter_) UnhookWindowsHookEx(filter_);
  if (active == this) active = nullptr;
  if (root_) DestroyMenu(root_);  // and its sub-menus
}

HMENU MenuSession::build(const std::vector<std::unique_ptr<ui::MenuItem>>& items) {
  HMENU menu = CreatePopupMenu();
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  SetMenuInfo(menu, &info);
  std::vector<Entry*>& list = positions_[menu];
  for (ui::MenuItem* shown : ui::shownItems(items)) {
    ui::MenuItem& item = *shown;
    auto entry = std::make_unique<Entry>(Entry{&item, 0, nullptr});
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_ID;
    mii.fType = MFT_OWNERDRAW;
    if (item.isSeparator()) {
      mii.fType |= MFT_SEPARATOR;
    } else if (!item.items().empty()) {
      entry->submenu = build(item.items());
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = entry->submenu;
    } else {
      entry->id = static_cast<UINT>(entries_.size() + 1);
    }
    mii.wID = entry->id;
    mii.fState = (item.enabled ? MFS_ENABLED : MFS_GRAYED) | (item.isDefault ? MFS_DEFAULT : 0);
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(entry.get());
    InsertMenuItemA(menu, static_cast<UINT>(list.size()), TRUE, &mii);
    list.push_back(entry.get());
    entries_.push_back(std::move(entry));
  }
  return menu;
}

ui::MenuItem* MenuSession::track(int x, int y) {
  root_ = build(menu_.items());
  if (GetMenuItemCount(root_) <= 0) return nullptr;
  active = this;
  open_.assign(1, root_);
  cbt_ = SetWindowsHookExA(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
  filter_ = SetWindowsHookExA(WH_MSGFILTER, filterHook, nullptr, GetCurrentThreadId());
  HWND host = toolkit_.menuHost();
  // The host in front makes the menu close when the user clicks elsewhere,
  // and brings the keyboard to the menu. Under Wine keys follow the X input
  // focus, which only a shown window can take: while another program's
  // window is in front (the browser the user was in) it has the keys, and
  // activating the hidden host would leave them there. So the host is then
  // shown, one pixel where the menu opens, while the menu is open.
  const bool showHost = anotherProgramInFront();
  toolkit_.rememberFront(GetForegroundWindow());
  if (showHost) SetWindowPos(host, HWND_TOP, x, y, 1, 1, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  freshenMessageTime(host);
  SetForegroundWindow(host);
  const UINT id = static_cast<UINT>(
      TrackPopupMenu(root_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, x, y, 0, host, nullptr));
  // Hidden without handing the activation on (see keepActivation).
  if (showHost)
    SetWindowPos(host, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  PostMessageA(host, WM_NULL, 0, 0);
  UnhookWindowsHookEx(cbt_);
  UnhookWindowsHookEx(filter_);
  cbt_ = filter_ = nullptr;
  active = nullptr;
  if (id == 0) return nullptr;
  for (const auto& e : entries_)
    if (e->id == id) return e->item;
  return nullptr;
}

MenuSession::Entry* MenuSession::entryOf(ULONG_PTR data) const {
  auto* e = reinterpret_cast<Entry*>(data);
  for (const auto& owned : entries_)
    if (owned.get() == e) return e;
  return nullptr;
}

const std::vector<MenuSession::Entry*>* MenuSession::entriesOf(HMENU menu) const {
  auto it = positions_.find(menu);
  return it == positions_.end() ? nullptr : &it->second;
}

std::vector<UINT> MenuSession::matches(HMENU menu, char key) const {
  std::vector<UINT> found;
  const auto* list = entriesOf(menu);
  if (!list || key == 0) return found;
  for (UINT pos = 0; pos < list->size(); ++pos) {
    const ui::MenuItem& item = *(*list)[pos]->item;
    if (!item.isSeparator() && item.enabled && item.accelerator() == key) found.push_back(pos);
  }
  return found;
}

int MenuSession::focusedPosition(HMENU menu) const {
  const int n = GetMenuItemCount(menu);
  for (int pos = 0; pos < n; ++pos)
    if (GetMenuState(menu, static_cast<UINT>(pos), MF_BYPOSITION) & MF_HILITE) return pos;
  return -1;
}

// Several items share the letter: move the highlight to the next of them, by
// the arrow key presses that would get there. (Returning MNC_SELECT from
// WM_MENUCHAR does this on Windows but not under Wine; arrows work on both.)
bool MenuSession::selectNextMatch(char key) {
  HMENU menu = open_.empty() ? root_ : open_.back();
  const std::vector<UINT> found = matches(menu, key);
  const auto* list = entriesOf(menu);
  if (found.size() < 2 || !list) return false;
  const int n = static_cast<int>(list->size());
  auto separator = [&](int pos) { return (*list)[pos]->item->isSeparator(); };
  const int focused = focusedPosition(menu);
  int target = static_cast<int>(found.front());
  for (UINT pos : found)
    if (static_cast<int>(pos) > focused) {
      target = static_cast<int>(pos);
      break;
    }
  int presses = 0, pos = focused;
  if (pos < 0) {
    pos = 0;
    while (pos < n && separator(pos)) ++pos;
    presses = 1;
  }
  while (pos != target && presses <= n) {
    do pos = (pos + 1) % n;
    while (separator(pos));
    ++presses;
  }
  const LPARAM lp = 1 | (static_cast<LPARAM>(MapVirtualKeyA(VK_DOWN, 0)) << 16);
  for (int i = 0; i < presses; ++i) PostMessageA(toolkit_.menuHost(), WM_KEYDOWN, VK_DOWN, lp);
  return true;
}

LRESULT MenuSession::menuChar(char key, HMENU menu) {
  const std::vector<UINT> found = matches(menu, key);
  if (found.empty()) return MAKELRESULT(0, MNC_IGNORE);
  if (found.size() == 1) return MAKELRESULT(found.front(), MNC_EXECUTE);
  const int focused = focusedPosition(menu);
  for (UINT pos : found)
    if (static_cast<int>(pos) > focused) return MAKELRESULT(pos, MNC_SELECT);
  return MAKELRESULT(found.front(), MNC_SELECT);
}

void MenuSession::measure(MEASUREITEMSTRUCT& mis) {
  Entry* e = entryOf(mis.itemData);
  if (!e || e->item->isSeparator()) {
    mis.itemWidth = theme::MenuGutterWidth;
    mis.itemHeight = theme::MenuSeparatorHeight;
    return;
  }
  HDC dc = GetDC(toolkit_.menuHost());
  HGDIOBJ old = SelectObject(dc, e->item->isDefault ? toolkit_.boldFont() : toolkit_.font());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, e->item->caption().c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(toolkit_.menuHost(), dc);
  mis.itemWidth = static_cast<UINT>(theme::MenuGutterWidth + 8 + (r.right - r.left) + 28);
  mis.itemHeight = theme::MenuItemHeight;
}

void MenuSession::draw(const DRAWITEMSTRUCT& dis) {
  Entry* e = entryOf(dis.itemData);
  HDC dc = dis.hDC;
  const RECT rc = dis.rcItem;
  const int saved = SaveDC(dc);
  const int gutterRight = rc.left + theme::MenuGutterWidth;
  fill(dc, rc.left, rc.top, gutterRight, rc.bottom, theme::MenuGutter);
  fill(dc, gutterRight, rc.top, rc.right, rc.bottom, theme::MenuBack);
  if (!e || e->item->isSeparator()) {
    const int y = (rc.top + rc.bottom) / 2;
    fill(dc, gutterRight + 6, y, rc.right - 2, y + 1, theme::MenuRule);
  } else {
    const bool disabled = (dis.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0 || !e->item->enabled;
    if (dis.itemState & ODS_SELECTED) {
      if (!disabled) fill(dc, rc.left + 1, rc.top, rc.right - 1, rc.bottom, theme::MenuHighlight);
      HBRUSH frame = CreateSolidBrush(theme::MenuHighlightFrame);
      RECT hl{rc.left + 1, rc.top, rc.right - 1, rc.bottom};
      FrameRect(dc, &hl, frame);
      DeleteObject(frame);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? theme::MenuTextDisabled : theme::MenuText);
    SelectObject(dc, e->item->isDefault ? toolkit_.boldFont() : toolkit_.font());
    // The "&" letter is always underlined: the menu is for mouse and keys.
    RECT text{gutterRight + 8, rc.top, rc.right - 18, rc.bottom};
    DrawTextA(dc, e->item->caption().c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (e->submenu) {
      // A small solid triangle pointing right.
      const COLORREF ink = disabled ? theme::MenuTextDisabled : theme::MenuText;
      const int ax = rc.right - 12, ay = (rc.top + rc.bottom) / 2;
      for (int i = 0; i < 4; ++i) fill(dc, ax + i, ay - 3 + i, ax + i + 1, ay + 4 - i, ink);
    }
  }
  RestoreDC(dc, saved);
  // Keep the system from drawing its own arrow over the item afterwards.
  ExcludeClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
}

bool MenuSession::onHostMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mis->CtlType != ODT_MENU) return false;
      measure(*mis);
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (dis->CtlType != ODT_MENU) return false;
      draw(*dis);
      result = TRUE;
      return true;
    }
    case WM_MENUCHAR:
      result = menuChar(upper(LOWORD(wp)), reinterpret_cast<HMENU>(lp));
      return true;
    case WM_INITMENUPOPUP: {
      HMENU menu = reinterpret_cast<HMENU>(wp);
      if (std::find(open_.begin(), open_.end(), menu) == open_.end()) open_.push_back(menu);
      return false;
    }
    case WM_UNINITMENUPOPUP: {
      HMENU menu = reinterpret_cast<HMENU>(wp);
      open_.erase(std::remove(open_.begin(), open_.end(), menu), open_.end());
      if (open_.empty()) open_.push_back(root_);
      return false;
    }
    default: return false;
  }
}

LRESULT CALLBACK MenuSession::filterHook(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_MENU && active) {
    const MSG* m = reinterpret_cast<const MSG*>(lp);
    if (m->message == WM_KEYDOWN && m->wParam == VK_F1) {
      active->helpAsked_ = true;
      EndMenu();
      return TRUE;
    }
    if (m->message == WM_CHAR && m->wParam >= 32 && active->selectNextMatch(upper(static_cast<unsigned>(m->wParam))))
      return TRUE;  // handled: the system does not see the letter
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// Menu windows of this thread get a flat one-pixel frame instead of the
// system's raised edge.
LRESULT CALLBACK MenuSession::cbtHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && active) {
    HWND w = reinterpret_cast<HWND>(wp);
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, MenuWindowClass) == 0 && !GetPropA(w, SavedProcProperty)) {
      const LONG_PTR old = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&flatMenuProc));
      SetPropA(w, SavedProcProperty, reinterpret_cast<HANDLE>(old));
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK MenuSession::flatMenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, SavedProcProperty));
  if (!old) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    RemovePropA(hwnd, SavedProcProperty);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    return CallWindowProcA(old, hwnd, msg, wp, lp);
  }
  const LRESULT result = CallWindowProcA(old, hwnd, msg, wp, lp);
  if (msg == WM_PAINT || msg == WM_NCPAINT) drawFlatFrame(hwnd);
  return result;
}

// Paints the margin around the items (the gutter continued, the rest white)
// and a thin frame, in window coordinates, so it covers the system's edge
// wherever the system draws it.
void MenuSession::drawFlatFrame(HWND menuWindow) {
  auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
  RECT wr;
  GetWindowRect(menuWindow, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  const int n = menu ? GetMenuItemCount(menu) : 0;
  RECT first{}, last{};
  if (n <= 0 || !GetMenuItemRect(nullptr, menu, 0, &first) || !GetMenuItemRect(nullptr, menu, n - 1, &last)) return;
  OffsetRect(&first, -wr.left, -wr.top);
  OffsetRect(&last, -wr.left, -wr.top);
  HDC dc = GetWindowDC(menuWindow);
  const int left = first.left, top = first.top, right = first.right, bottom = last.bottom;
  const int gutterRight = left + theme::MenuGutterWidth;
  fill(dc, 1, 1, left, h - 1, theme::MenuGutter);
  fill(dc, left, 1, gutterRight, top, theme::MenuGutter);
  fill(dc, gutterRight, 1, w - 1, top, theme::MenuBack);
  fill(dc, left, bottom, gutterRight, h - 1, theme::MenuGutter);
  fill(dc, gutterRight, bottom, w - 1, h - 1, theme::MenuBack);
  fill(dc, right, top, w - 1, bottom, theme::MenuBack);
  HBRUSH frame = CreateSolidBrush(theme::MenuFrame);
  RECT all{0, 0, w, h};
  FrameRect(dc, &all, frame);
  DeleteObject(frame);
  ReleaseDC(menuWindow, dc);
}

}  // namespace ui::win32
