// The controls realised as the system's own: check boxes, radio buttons and
// group boxes (BUTTON), text fields (EDIT), hot-key fields
// (msctls_hotkey32), spin edits (EDIT with msctls_updown32), lists
// (LISTBOX) and page controls (SysTabControl32). The model stays the source of truth: what the
// user does goes into the model, and the model's state comes back out.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "platform/win32/WideText.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"

namespace ui::win32 {

namespace {

void setStyleBit(HWND w, LONG bit, bool on) {
  const LONG style = GetWindowLongA(w, GWL_STYLE);
  const LONG wanted = on ? (style | bit) : (style & ~bit);
  if (wanted != style) SetWindowLongA(w, GWL_STYLE, wanted);
}

}  // namespace

// ---------------------------------------------------------------------------

NativeControlWindow::~NativeControlWindow() {
  // The window goes first, so that nothing reaches a half-destroyed peer.
  detached_ = true;
  if (hwnd_) DestroyWindow(hwnd_);
  if (brush_) DeleteObject(brush_);
}

void NativeControlWindow::create(HWND parent) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | nativeStyle();
  if (control_.visible()) style |= WS_VISIBLE;
  if (!control_.enabled()) style |= WS_DISABLED;
  // No control id: the id of every control is 0, which tells its reports
  // apart from the dialog manager's IDOK and IDCANCEL.
  // A path's text goes in once the wide window exists (synced below).
  HWND w = holdsPath() ? CreateWindowExW(exStyle(), platform::win32::wideFromAnsi(nativeClass()).c_str(), L"", style,
                                         control_.left(), control_.top(), control_.width(), control_.height(),
                                         parent, nullptr, toolkit_.instance(), nullptr)
                       : CreateWindowExA(exStyle(), nativeClass(), windowText().c_str(), style, control_.left(),
                                         control_.top(), control_.width(), control_.height(), parent, nullptr,
                                         toolkit_.instance(), nullptr);
  if (!w) return;
  claim(w);
  // Subclassed by hand, not through the common controls' subclass chain:
  // that one looks its records up among the window's properties on every
  // message, which under Wine is a round trip to the window server each, and
  // a list of thousands of lines is thousands of messages. A wide procedure,
  // so that the window stays a wide one and a path's text passes whole.
  SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NativeControlWindow::nativeProc)));
  SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(toolkit_.font()), FALSE);
  muted([this] { created(); });
  sync();
}

void NativeControlWindow::sync() {
  muted([this] { ChildWindow::sync(); });
}

void NativeControlWindow::update(const ui::Change& change) {
  muted([this, &change] { ChildWindow::update(change); });
}

// The system's control draws itself; only its colour comes from here.
void NativeControlWindow::mirror(const ui::Change& change) {
  if (change.aspect == ui::Aspect::Look) InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK NativeControlWindow::nativeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* peer = reinterpret_cast<NativeControlWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!peer) return DefWindowProcW(hwnd, msg, wp, lp);
  const WNDPROC original = peer->original_;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    unmark(hwnd);
    if (peer->hwnd_ == hwnd) peer->hwnd_ = nullptr;
    return CallWindowProcW(original, hwnd, msg, wp, lp);
  }
  if (peer->detached_ || peer->hwnd_ != hwnd) return CallWindowProcW(original, hwnd, msg, wp, lp);
  // Nothing may unwind through the window system.
  try {
    return peer->handle(msg, wp, lp);
  } catch (...) {
    return CallWindowProcW(original, hwnd, msg, wp, lp);
  }
}

LRESULT NativeControlWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  // A control holding others (a group box, a page control) hands their
  // reports back to them.
  if (LRESULT result = 0; reflect(msg, wp, lp, result)) return result;
  return defaultProc(msg, wp, lp);
}

LRESULT NativeControlWindow::defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(original_, hwnd_, msg, wp, lp);
}

LRESULT NativeControlWindow::colorOf(HDC dc) {
  const COLORREF c = colorRef(control_.color());
  if (!brush_ || brushColor_ != c) {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(c);
    brushColor_ = c;
  }
  SetBkColor(dc, c);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(brush_);
}

// ---------------------------------------------------------------------------

bool CheckMarkWindow::reflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) != BN_CLICKED && HIWORD(wp) != BN_DOUBLECLICKED) return false;
      result = 0;
      if (!syncing()) toolkit_.dispatch([this] { clicked(); });
      return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: result = colorOf(reinterpret_cast<HDC>(wp)); return true;
    default: return false;
  }
}

void CheckMarkWindow::mirror(const ui::Change& change) {
  switch (change.aspect) {
    case ui::Aspect::Text: setWindowText(hwnd_, captioned_.caption()); break;
    case ui::Aspect::Value: SendMessageA(hwnd_, BM_SETCHECK, checked() ? BST_CHECKED : BST_UNCHECKED, 0); break;
    default: NativeControlWindow::mirror(change);
  }
}

// ---------------------------------------------------------------------------

void RadioButtonWindow::mirror(const ui::Change& change) {
  CheckMarkWindow::mirror(change);
  // Tab reaches a group at its chosen button.
  if (change.aspect == ui::Aspect::Value) setStyleBit(hwnd_, WS_TABSTOP, button_.checked());
}

// ---------------------------------------------------------------------------

LRESULT GroupBoxWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    // The system's group box lets the mouse through to what lies beneath;
    // here it is a container whose labels take the mouse.
    case WM_NCHITTEST: return HTCLIENT;
    // The class draws these at once, over the interior: paint it again.
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_UPDATEUISTATE: {
      const LRESULT r = defaultProc(msg, wp, lp);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return r;
    }
    default: return ChildWindow::handle(msg, wp, lp);
  }
}

void GroupBoxWindow::paint(HDC dc, const RECT& rc) {
  fillRect(dc, rc, colorRef(box_.color()));
  // The frame and the caption as the class draws them.
  defaultProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  runPaintEvent(dc);
}

void GroupBoxWindow::mirror(const ui::Change& change) {
  if (change.aspect == ui::Aspect::Text)
    setWindowText(hwnd_, box_.caption());
  else
    NativeControlWindow::mirror(change);
}

// ---------------------------------------------------------------------------

DWORD EditWindow::nativeStyle() const {
  return ES_AUTOHSCROLL | WS_TABSTOP | (edit_.passwordChar() ? ES_PASSWORD : 0);
}

void EditWindow::mirror(const ui::Change& change) {
  switch (change.aspect) {
    // The field was made with its text, but for a path, whose text goes in
    // once the wide window exists.
    case ui::Aspect::Text:
      if (edit_.holdsPath)
        setPathText(hwnd_, edit_.text());
      else
        setWindowText(hwnd_, edit_.text());
      break;
    case ui::Aspect::Look:
      if (static_cast<unsigned char>(SendMessageA(hwnd_, EM_GETPASSWORDCHAR, 0, 0)) !=
          static_cast<unsigned char>(edit_.passwordChar()))
        SendMessageA(hwnd_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(edit_.passwordChar()), 0);
      NativeControlWindow::mirror(change);
      break;
    default: break;
  }
}

bool EditWindow::reflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  if (msg != WM_COMMAND || HIWORD(wp) != EN_CHANGE) return false;
  result = 0;
  if (!syncing()) {
    ui::Edit& edit = edit_;
    const std::string text = edit.holdsPath ? pathTextOf(hwnd_) : windowTextOf(hwnd_);
    toolkit_.dispatch([&edit, text] { edit.setText(text); });
  }
  return true;
}

// ---------------------------------------------------------------------------

namespace {

// Keys whose name the keyboard gives only with the extended flag.
bool extendedKey(BYTE vk) {
  switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
    case VK_CANCEL: return true;
    default: return false;
  }
}

}  // namespace

WORD HotKeyEditWindow::toControl(std::uint32_t value) {
  const auto vk = static_cast<BYTE>(value & ui::shortcut::KeyMask);
  if (vk == 0) return 0;
  BYTE mods = 0;
  if (value & ui::shortcut::Shift) mods |= HOTKEYF_SHIFT;
  if (value & ui::shortcut::Ctrl) mods |= HOTKEYF_CONTROL;
  if (value & ui::shortcut::Alt) mods |= HOTKEYF_ALT;
  if (extendedKey(vk)) mods |= HOTKEYF_EXT;
  return MAKEWORD(vk, mods);
}

std::uint32_t HotKeyEditWindow::fromControl(WORD hotKey) {
  const BYTE vk = LOBYTE(hotKey), mods = HIBYTE(hotKey);
  if (vk == 0) return 0;
  std::uint32_t value = vk;
  if (mods & HOTKEYF_SHIFT) value |= ui::shortcut::Shift;
  if (mods & HOTKEYF_CONTROL) value |= ui::shortcut::Ctrl;
  if (mods & HOTKEYF_ALT) value |= ui::shortcut::Alt;
  return value;
}

void HotKeyEditWindow::created() {
  // No key without a modifier: such a key gets Ctrl.
  SendMessageA(hwnd_, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_CONTROL, 0));
}

void HotKeyEditWindow::mirror(const ui::Change& change) {
  if (change.aspect == ui::Aspect::Value)
    showModelKey();
  else
    NativeControlWindow::mirror(change);
}

// The field may hold what the user half typed: it shows the model's key.
void HotKeyEditWindow::showModelKey() {
  const WORD wanted = toControl(edit_.hotKey());
  if (static_cast<WORD>(SendMessageA(hwnd_, HKM_GETHOTKEY, 0, 0)) != wanted)
    SendMessageA(hwnd_, HKM_SETHOTKEY, wanted, 0);
}

// The control forgets its key as soon as a modifier goes down, before the
// key that completes the combination: only a whole combination, or the
// field emptied with Backspace or Delete, reaches the model.
void HotKeyEditWindow::feedBack(bool emptied) {
  if (syncing() || !hwnd_) return;
  const std::uint32_t value = fromControl(static_cast<WORD>(SendMessageA(hwnd_, HKM_GETHOTKEY, 0, 0)));
  if ((value == 0 && !emptied) || value == edit_.hotKey()) return;
  ui::HotKeyEdit& edit = edit_;
  toolkit_.dispatch([&edit, value] { edit.setHotKey(value); });
}

LRESULT HotKeyEditWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      Win32Toolkit& tk = toolkit_;  // a handler may end this peer
      const LRESULT r = NativeControlWindow::handle(msg, wp, lp);
      if (!tk.alive(this) || !hwnd_) return r;
      // Backspace and Delete empty the field without telling anyone.
      feedBack(msg == WM_KEYDOWN && (wp == VK_BACK || wp == VK_DELETE));
      if (!tk.alive(this) || !hwnd_) return r;
      // Modifiers released without a key: the field shows the model's key.
      const bool held = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
      if ((msg == WM_KEYUP || msg == WM_SYSKEYUP) && !held) muted([this] { showModelKey(); });
      return r;
    }
    // Left with a modifier down (Shift+Tab, Ctrl+Tab): the same.
    case WM_KILLFOCUS: {
      const LRESULT r = NativeControlWindow::handle(msg, wp, lp);
      if (hwnd_) muted([this] { showModelKey(); });
      return r;
    }
    default: return NativeControlWindow::handle(msg, wp, lp);
  }
}

bool HotKeyEditWindow::reflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  if (msg != WM_COMMAND || HIWORD(wp) != EN_CHANGE) return false;
  result = 0;
  feedBack(false);
  return true;
}

// ---------------------------------------------------------------------------

SpinEditWindow::~SpinEditWindow() {
  if (upDown_) DestroyWindow(upDown_);
}

void SpinEditWindow::controlDestroyed() {
  if (upDown_) DestroyWindow(upDown_);
  upDown_ = nullptr;
  NativeControlWindow::controlDestroyed();  // deletes this peer
}

void SpinEditWindow::update(const ui::Change& change) {
  NativeControlWindow::update(change);
  if (!upDown_ || !hwnd_) return;
  // The arrows beside the field share its visibility and state.
  if (change.aspect == ui::Aspect::Visible) ShowWindow(upDown_, control_.visible() ? SW_SHOWNA : SW_HIDE);
  if (change.aspect == ui::Aspect::Enabled) EnableWindow(upDown_, control_.enabled());
}

void SpinEditWindow::created() {
  DWORD style = WS_CHILD | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS;
  if (control_.visible()) style |= WS_VISIBLE;
  if (!control_.enabled()) style |= WS_DISABLED;
  upDown_ = CreateWindowExA(0, UPDOWN_CLASSA, "", style, 0, 0, 0, 0, GetParent(hwnd_), nullptr, toolkit_.instance(),
                            nullptr);
  if (!upDown_) return;
  mark(upDown_);
  SendMessageA(hwnd_, EM_LIMITTEXT, static_cast<WPARAM>(std::max(1, spin_.digits)), 0);
  SendMessageA(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd_), 0);
  RECT r;
  GetWindowRect(upDown_, &r);
  if (r.right - r.left > 0) upDownWidth_ = r.right - r.left;
  applyBounds();
}

void SpinEditWindow::applyBounds() {
  const int arrows = upDown_ ? std::min(upDownWidth_, control_.width()) : 0;
  const int l = control_.left(), t = control_.top(), w = control_.width() - arrows, h = control_.height();
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  if (r.left != l || r.top != t || r.right - r.left != w || r.bottom - r.top != h)
    SetWindowPos(hwnd_, nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  if (upDown_) SetWindowPos(upDown_, nullptr, l + w, t, arrows, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SpinEditWindow::mirror(const ui::Change& change) {
  switch (change.aspect) {
    case ui::Aspect::Range:
      if (upDown_)
        SendMessageA(upDown_, UDM_SETRANGE32, static_cast<WPARAM>(spin_.minValue()),
                     static_cast<LPARAM>(spin_.maxValue()));
      break;
    case ui::Aspect::Value:
      if (upDown_) SendMessageA(upDown_, UDM_SETPOS32, 0, spin_.value());
      setWindowText(hwnd_, std::to_string(spin_.value()));
      break;
    default: NativeControlWindow::mirror(change);
  }
}

bool SpinEditWindow::reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->hwndFrom != upDown_ || hdr->code != UDN_DELTAPOS) return false;
      // The model takes the step and clamps it; the control shows what the
      // model then holds, so the control's own step is refused.
      const auto* step = reinterpret_cast<const NMUPDOWN*>(lp);
      const int target = step->iPos + step->iDelta;
      result = 1;
      if (!syncing()) {
        ui::SpinEdit& spin = spin_;
        toolkit_.dispatch([&spin, target] { spin.setValue(target); });
      }
      return true;
    }
    // Read-only, but a field to look at: the window colour while enabled.
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) != hwnd_ || !IsWindowEnabled(hwnd_)) return false;
      SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
      SetTextColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOWTEXT));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      return true;
    default: return false;
  }
}

// ---------------------------------------------------------------------------

void ListBoxWindow::mirror(const ui::Change& change) {
  const auto& lines = list_.items();
  switch (change.aspect) {
    case ui::Aspect::Lines: reload(); break;
    case ui::Aspect::LineInserted:
      // The control moves its selection down with the line, as the model does.
      sendLine(LB_INSERTSTRING, static_cast<WPARAM>(change.index), lines[static_cast<std::size_t>(change.index)]);
      break;
    case ui::Aspect::LineRemoved: SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(change.index), 0); break;
    case ui::Aspect::Selection: SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list_.itemIndex()), 0); break;
    default: NativeControlWindow::mirror(change);
  }
}

void ListBoxWindow::reload() {
  const auto& lines = list_.items();
  SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
  if (!lines.empty()) {
    std::size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 1;
    SendMessageA(hwnd_, LB_INITSTORAGE, lines.size(), static_cast<LPARAM>(bytes));
    for (const std::string& line : lines) sendLine(LB_ADDSTRING, 0, line);
    if (list_.itemIndex() >= 0) SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list_.itemIndex()), 0);
  }
  SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListBoxWindow::sendLine(UINT msg, WPARAM index, const std::string& line) {
  if (!list_.holdsPaths) {
    SendMessageA(hwnd_, msg, index, reinterpret_cast<LPARAM>(line.c_str()));
    return;
  }
  const std::wstring wide = platform::win32::widePath(line).value_or(std::wstring());
  SendMessageW(hwnd_, msg, index, reinterpret_cast<LPARAM>(wide.c_str()));
}

LRESULT ListBoxWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_LBUTTONDBLCLK) return NativeControlWindow::handle(msg, wp, lp);
  // The control selects first; the event comes after that selection.
  const LRESULT r = NativeControlWindow::handle(msg, wp, lp);
  ui::ListBox& list = list_;
  toolkit_.dispatch([&list] {
    if (list.OnDblClick) list.OnDblClick();
  });
  return r;
}

bool ListBoxWindow::reflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  if (msg != WM_COMMAND || HIWORD(wp) != LBN_SELCHANGE) return false;
  result = 0;
  if (!syncing()) {
    const int index = static_cast<int>(SendMessageA(hwnd_, LB_GETCURSEL, 0, 0));
    ui::ListBox& list = list_;
    toolkit_.dispatch([&list, index] { list.setItemIndex(index); });
  }
  return true;
}

// ---------------------------------------------------------------------------

void PageControlWindow::showTabs() {
  SendMessageA(hwnd_, TCM_DELETEALLITEMS, 0, 0);
  const auto sheets = pages_.pages();
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(sheets[i]->caption().c_str());
    SendMessageA(hwnd_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
}

void PageControlWindow::measure() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
  // The model puts the sheets 2 pixels below the tab row.
  const int height = rc.top - 2;
  if (height > 0 && height != pages_.tabHeight) {
    pages_.tabHeight = height;
    pages_.realign();
  }
}

// The tab row's height follows the control's size and its tabs.
void PageControlWindow::update(const ui::Change& change) {
  NativeControlWindow::update(change);
  if (hwnd_ && change.aspect == ui::Aspect::Bounds) measure();
}

void PageControlWindow::mirror(const ui::Change& change) {
  switch (change.aspect) {
    case ui::Aspect::Lines:
      showTabs();
      measure();
      break;
    case ui::Aspect::Value:
      SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(pages_.activePageIndex()), 0);
      keepFocus();
      break;
    default: NativeControlWindow::mirror(change);
  }
}

void PageControlWindow::keepFocus() {
  HWND focus = GetFocus();
  if (changedOnStrip_ && focus == hwnd_) return;
  if (!focus || !(focus == hwnd_ || (IsChild(hwnd_, focus) && !IsWindowVisible(focus)))) return;
  ui::TabSheet* sheet = pages_.activePage();
  HWND inside = sheet ? toolkit_.windowOf(*sheet) : nullptr;
  if (!inside || !IsWindowVisible(inside)) return;
  HWND next = GetNextDlgTabItem(inside, nullptr, FALSE);
  if (next && next != inside && IsChild(inside, next) && IsWindowVisible(next) && IsWindowEnabled(next))
    SetFocus(next);
}

LRESULT PageControlWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    // Round the tabs and beside them: the colour of what the control sits on.
    RECT rc;
    GetClientRect(hwnd_, &rc);
    fillRect(reinterpret_cast<HDC>(wp), rc, colorRef(pages_.color()));
    return 1;
  }
  return NativeControlWindow::handle(msg, wp, lp);
}

bool PageControlWindow::reflected(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
  if (msg != WM_NOTIFY) return false;
  const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
  if (hdr->code == TCN_SELCHANGING) {
    result = FALSE;  // any tab may be left
    return true;
  }
  if (hdr->code != TCN_SELCHANGE) return false;
  result = 0;
  if (!syncing()) {
    const int index = static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0));
    ui::PageControl& pages = pages_;
    changedOnStrip_ = GetFocus() == hwnd_;
    toolkit_.dispatch([&pages, index] { pages.setActivePageIndex(index); });
    changedOnStrip_ = false;
  }
  return true;
}

// ---------------------------------------------------------------------------

void ProgressBarWindow::mirror(const ui::Change& change) {
  if (change.aspect != ui::Aspect::Value && change.aspect != ui::Aspect::Range) return;
  // The control's range is in thousandths: a change within one sends nothing.
  const int permille = bar_.permille();
  if (permille == shownPermille_) return;
  shownPermille_ = permille;
  SendMessageA(hwnd_, PBM_SETPOS, static_cast<WPARAM>(permille), 0);
}

}  // namespace ui::win32
