#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cctype>
#include <vector>
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Peers.h"

namespace ui::win32 {

namespace {

struct FrameStyle {
  DWORD style;
  DWORD exStyle;
};

FrameStyle frameStyleOf(ui::BorderStyle b) {
  switch (b) {
    case ui::BorderStyle::None: return {WS_POPUP, 0};
    case ui::BorderStyle::Single: return {WS_CAPTION | WS_BORDER | WS_SYSMENU, 0};
    case ui::BorderStyle::Sizeable:
      return {WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0};
    case ui::BorderStyle::Dialog: return {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME};
    case ui::BorderStyle::ToolWindow: return {WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW};
    case ui::BorderStyle::SizeToolWin: return {WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW};
  }
  return {WS_POPUP, 0};
}

}  // namespace

FormWindow::~FormWindow() = default;

void FormWindow::create(HWND owner) {
  const FrameStyle fs = frameStyleOf(form_.borderStyle());
  RECT r{0, 0, form_.clientWidth(), form_.clientHeight()};
  AdjustWindowRectEx(&r, fs.style, FALSE, fs.exStyle);
  const int w = r.right - r.left, h = r.bottom - r.top;
  createWindow(classes::Form, form_.caption().c_str(), fs.style | WS_CLIPCHILDREN, fs.exStyle, form_.left(),
               form_.top(), w, h, owner);
  if (!hwnd_) return;
  form_.attachPeer(this);
  // From here on the model's bounds are the outer window's.
  form_.setBounds(form_.left(), form_.top(), w, h);
  reportBounds();
}

HWND FormWindow::tooltip() {
  if (!tooltip_ && hwnd_) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               toolkit_.instance(), nullptr);
  }
  return tooltip_;
}

void FormWindow::sync() {
  if (!hwnd_) return;
  // Applying may change the model again (centring, the window reporting its
  // new size); such changes are applied in the same pass.
  if (syncing_) {
    resync_ = true;
    return;
  }
  syncing_ = true;
  do {
    resync_ = false;
    apply();
  } while (resync_ && hwnd_);
  syncing_ = false;
}

// Shown and hidden through show() and hide(), which the model calls after
// its visibility has changed.
void FormWindow::update(const ui::Change& change) {
  if (!hwnd_ || syncing_) return;
  switch (change.aspect) {
    case ui::Aspect::Bounds: applyBounds(); break;
    case ui::Aspect::Text: SetWindowTextA(hwnd_, form_.caption().c_str()); break;
    case ui::Aspect::Enabled:
      enabledApplied_ = form_.enabled();
      EnableWindow(hwnd_, enabledApplied_);
      break;
    case ui::Aspect::Look: InvalidateRect(hwnd_, nullptr, TRUE); break;
    default: break;
  }
}

void FormWindow::applyBounds() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  if (r.left != form_.left() || r.top != form_.top() || r.right - r.left != form_.width() ||
      r.bottom - r.top != form_.height())
    SetWindowPos(hwnd_, nullptr, form_.left(), form_.top(), form_.width(), form_.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::apply() {
  const bool wantShown = form_.visible();
  if (wantShown && !shownApplied_ && form_.position() == ui::FormPosition::ScreenCenter) centreOnScreen();
  applyBounds();

  setWindowText(hwnd_, form_.caption());

  // Only the model's own changes: a modal form disables the others directly.
  if (form_.enabled() != enabledApplied_) {
    enabledApplied_ = form_.enabled();
    EnableWindow(hwnd_, enabledApplied_);
  }
  if (wantShown != shownApplied_) {
    shownApplied_ = wantShown;
    if (!wantShown) toolkit_.keepActivation(hwnd_);
    if (wantShown) opener_ = GetActiveWindow();
    ShowWindow(hwnd_, wantShown ? SW_SHOW : SW_HIDE);
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void FormWindow::centreOnScreen() {
  const int x = (GetSystemMetrics(SM_CXSCREEN) - form_.width()) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - form_.height()) / 2;
  form_.setBounds(x, y, form_.width(), form_.height());
}

// The window moved or changed size (the user, the system, or the model's own
// change): the model follows it.
void FormWindow::reportBounds() {
  if (!hwnd_ || IsIconic(hwnd_)) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  form_.setBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  RECT c;
  GetClientRect(hwnd_, &c);
  form_.clientResized(c.right - c.left, c.bottom - c.top);
}

void FormWindow::repaint() {
  if (!hwnd_) return;
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  flushDrawing();
}

void FormWindow::show() {
  if (!contentsRealised_ && hwnd_) {
    contentsRealised_ = true;
    toolkit_.realiseContents(*this);
  }
  sync();
}
void FormWindow::hide() { sync(); }

void FormWindow::runModal() {
  if (!hwnd_) return;
  HWND previous = opener_;
  // Every other window of the program waits until this one has closed.
  std::vector<HWND> disabled;
  auto disable = [&disabled](HWND w) {
    if (w && IsWindowVisible(w) && IsWindowEnabled(w)) {
      EnableWindow(w, FALSE);
      disabled.push_back(w);
    }
  };
  for (FormWindow* f : toolkit_.forms())
    if (f != this) disable(f->hwnd());
  disable(reinterpret_cast<HWND>(toolkit_.appWindow()));
  // In front with the keyboard, also when the program has not the
  // foreground (a command of the tray menu, which gave it back on closing).
  if (IsWindowVisible(hwnd_)) SetForegroundWindow(hwnd_);

  toolkit_.loopUntil([this] { return modalDone_ || !hwnd_ || !form_.visible(); });

  for (HWND w : disabled)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  // The opener gets the keyboard back; with none shown, hiding this window
  // hands the foreground on (keepActivation).
  if (previous && previous != hwnd_ && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
  modalDone_ = false;
}

// Also before the loop has started (a form closed from its OnShow): the loop
// then ends at once.
void FormWindow::endModal() {
  modalDone_ = true;
  if (hwnd_) PostMessageA(hwnd_, WM_NULL, 0, 0);  // wakes the modal loop
}

std::uint32_t FormWindow::style() { return hwnd_ ? static_cast<std::uint32_t>(GetWindowLongA(hwnd_, GWL_STYLE)) : 0; }

void FormWindow::setStyle(std::uint32_t style) {
  if (!hwnd_) return;
  SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(style));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A thinner frame leaves a larger client area: the aligned panels fill it.
  reportBounds();
}

int FormWindow::captionHeight() { return GetSystemMetrics(SM_CYCAPTION); }

void FormWindow::beginDrag() {
  if (!hwnd_) return;
  ReleaseCapture();
  SendMessageA(hwnd_, WM_SYSCOMMAND, 0xF012, 0);  // SC_MOVE + HTCAPTION: move with the mouse
}

bool FormWindow::clientSizeChanged() {
  if (!hwnd_) return false;
  RECT r{0, 0, form_.clientWidth(), form_.clientHeight()};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
  form_.setBounds(form_.left(), form_.top(), r.right - r.left, r.bottom - r.top);
  return true;
}

// ---------------------------------------------------------------------------
// The keyboard.

namespace {

// The page controls of a form's tree, in creation order.
void pageControls(ui::Control& parent, std::vector<ui::PageControl*>& out) {
  for (ui::Control* child : parent.children()) {
    if (auto* pages = dynamic_cast<ui::PageControl*>(child)) out.push_back(pages);
    pageControls(*child, out);
  }
}

bool takesKeys(HWND w) { return w && IsWindowVisible(w) && IsWindowEnabled(w); }

bool isArrow(WPARAM key) { return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT; }

}  // namespace

ui::PageControl* FormWindow::keyboardPageControl() {
  std::vector<ui::PageControl*> all;
  pageControls(form_, all);
  HWND focus = GetFocus();
  ui::PageControl* first = nullptr;
  for (ui::PageControl* pages : all) {
    HWND w = toolkit_.windowOf(*pages);
    if (!takesKeys(w)) continue;
    if (focus && (focus == w || IsChild(w, focus))) return pages;
    if (!first) first = pages;
  }
  return first;
}

HWND FormWindow::firstTabStop() {
  HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (!first || first == hwnd_ || !IsChild(hwnd_, first)) return nullptr;
  return (GetWindowLongA(first, GWL_STYLE) & WS_TABSTOP) && takesKeys(first) ? first : nullptr;
}

// The tab strip comes before the sheet it shows, as in the system's property
// sheets: the dialog manager passes over it, since the sheets are its
// children.
HWND FormWindow::tabStripStep(HWND focus, bool back) {
  std::vector<ui::PageControl*> all;
  pageControls(form_, all);
  for (ui::PageControl* pages : all) {
    HWND tabs = toolkit_.windowOf(*pages);
    if (!takesKeys(tabs)) continue;
    ui::TabSheet* sheet = pages->activePage();
    HWND inside = sheet ? toolkit_.windowOf(*sheet) : nullptr;
    HWND first = inside ? GetNextDlgTabItem(inside, nullptr, FALSE) : nullptr;
    if (!first || first == inside || !IsChild(inside, first) || !takesKeys(first)) first = nullptr;
    if (focus == tabs) {
      if (!back) return first;
      HWND before = first ? GetNextDlgTabItem(hwnd_, first, TRUE) : nullptr;
      return before && before != tabs && !IsChild(tabs, before) ? before : nullptr;
    }
    HWND next = GetNextDlgTabItem(hwnd_, focus, back);
    if (!next || next == focus) continue;
    const bool within = IsChild(tabs, focus), nextWithin = IsChild(tabs, next);
    if (back ? within && !nextWithin : !within && nextWithin) return tabs;
  }
  return nullptr;
}

bool FormWindow::preTranslate(const MSG& msg) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  HWND focus = GetFocus();
  WindowPeer* focused = WindowPeer::fromWindow(focus);
  if (focused && !toolkit_.alive(focused)) focused = nullptr;

  // F1 asks for help, except in the hot-key field, where it may be the key.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && form_.OnHelp &&
      !dynamic_cast<HotKeyEditWindow*>(focused)) {
    toolkit_.dispatch(form_.OnHelp);
    return true;
  }

  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ctrl) {
    ui::PageControl* pages = keyboardPageControl();
    if (!pages) return false;  // a plain Tab then
    toolkit_.dispatch([pages, shift] { pages->selectNextPage(!shift); });
    return true;
  }

  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && focus && IsChild(hwnd_, focus)) {
    HWND to = tabStripStep(focus, shift);
    if (!to) return false;
    SetFocus(to);
    // Reached by the keyboard: the focus shows, as the dialog manager's Tab does.
    SendMessageA(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
  }

  // The arrows choose the next or previous radio button of the group.
  if (msg.message == WM_KEYDOWN && isArrow(msg.wParam) && focused) {
    auto* radio = dynamic_cast<RadioButtonWindow*>(focused);
    if (!radio || !radio->control().parent()) return false;
    std::vector<ui::RadioButton*> group;
    for (ui::Control* sibling : radio->control().parent()->children())
      if (auto* other = dynamic_cast<ui::RadioButton*>(sibling))
        if (other == &radio->button() || takesKeys(toolkit_.windowOf(*other))) group.push_back(other);
    const auto at = std::find(group.begin(), group.end(), &radio->button()) - group.begin();
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    const bool back = msg.wParam == VK_UP || msg.wParam == VK_LEFT;
    ui::RadioButton* next = group[static_cast<std::size_t>((at + (back ? n - 1 : 1)) % n)];
    if (next == &radio->button()) return true;
    SetFocus(toolkit_.windowOf(*next));
    toolkit_.dispatch([next] { next->choose(); });
    return true;
  }

  if (msg.message == WM_SYSCHAR) {
    // Alt with a key is a combination for the hot-key field, no letter.
    if (dynamic_cast<HotKeyEditWindow*>(focused)) return true;
    // Alt and a tab's letter selects its sheet, before the controls inside.
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(msg.wParam)));
    std::vector<ui::PageControl*> all;
    pageControls(form_, all);
    for (ui::PageControl* pages : all) {
      if (!takesKeys(toolkit_.windowOf(*pages))) continue;
      for (ui::TabSheet* sheet : pages->pages()) {
        if (letter == 0 || sheet->accelerator() != letter) continue;
        toolkit_.dispatch([pages, sheet] { pages->setActivePage(sheet); });
        return true;
      }
    }
  }
  return false;
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT result = 0; reflect(msg, wp, lp, result)) return result;
  switch (msg) {
    // The dialog manager's Enter and Escape: the default and cancel buttons.
    case WM_COMMAND:
      if (wp == IDOK || wp == IDCANCEL) {
        form_.keyPressed(wp == IDOK ? ui::FormKey::Enter : ui::FormKey::Escape);
        return 0;
      }
      break;
    // The control that had the focus gets it back when the form is
    // activated again; at first the form's active control, else the first
    // one that takes it.
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
      } else if (!HIWORD(wp)) {
        HWND active = form_.ActiveControl ? toolkit_.windowOf(*form_.ActiveControl) : nullptr;
        HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) && takesKeys(lastFocus_)
                          ? lastFocus_
                          : takesKeys(active) ? active : firstTabStop();
        if (target) {
          SetFocus(target);
          return 0;
        }
      }
      break;
    case WM_CLOSE: {
      // Alt+F4 and the system menu ask the model, which decides.
      ui::Form& f = form_;
      toolkit_.dispatch([&f] { f.close(); });
      return 0;
    }
    case WM_WINDOWPOSCHANGED:
      if (form_.peer() == this) reportBounds();
      break;
    // The form's own keys: Enter, Escape and the buttons' letters, with or
    // without Alt. The model may close (and free) the form meanwhile, so
    // nothing of this window is touched after it has answered.
    case WM_KEYDOWN:
      if ((wp == VK_RETURN && form_.keyPressed(ui::FormKey::Enter)) ||
          (wp == VK_ESCAPE && form_.keyPressed(ui::FormKey::Escape)))
        return 0;
      break;
    case WM_CHAR:
    case WM_SYSCHAR:
      if (form_.keyPressed(ui::FormKey::Letter, static_cast<char>(wp))) return 0;
      break;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd_, &rc);
      HBRUSH b = CreateSolidBrush(colorRef(form_.color()));
      FillRect(reinterpret_cast<HDC>(wp), &rc, b);
      DeleteObject(b);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      if (form_.OnPaint) {
        GdiCanvas canvas(dc, toolkit_.font());
        ui::Form& f = form_;
        const ui::Rect r = f.insideRect();
        toolkit_.dispatch([&] {
          if (f.OnPaint) f.OnPaint(canvas, r);
        });
      }
      EndPaint(hwnd_, &ps);
      return 0;
    }
    default: break;
  }
  return WindowPeer::handle(msg, wp, lp);
}

}  // namespace ui::win32
