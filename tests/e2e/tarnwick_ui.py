"""What the scenarios know about Tarnwick's own windows: registry keys, the
main window's caption and layout, and how to open and read the tray menu
from outside."""

import time

from harness import E2EError, wait_until

MAIN_KEY = r"HKCU\Software\Tarnwick"
TYPED_URLS = r"HKCU\Software\Microsoft\Internet Explorer\TypedURLs"
MAIN_CAPTION = "Tarnwick"

# Main window: client 203 wide, a one-pixel border once the caption is
# gone; 168 high with every pane folded, taller while one is open.
MAIN_CLIENT_WIDTH = 203
BORDER = 1
FOLDED_HEIGHT = 168
PANE_HEIGHTS = {"File": 196, "Tools": 397, "Options": 277, "Help": 296}
PANES = ["File", "Tools", "Options", "Help"]
HEADER_BLUE = (0, 0, 255)
PANE_BACK = (126, 167, 228)

# Selectable entries of the unlocked tray menu, in order (separators are
# skipped by the arrow keys).
MENU_ITEMS = ["&Erase", "E&rase...", "Show Block &List", "&Options", "&Show", "&Check Latest Version...", "&Help",
              "&About", "E&xit"]
ERASE_SUBMENU = ["&Cookies", "&Recent Documents", "&Temp Folder", "IE Cac&he", "I&E History", "IE &Address bar",
                 "Em&pty Recycle Bin", "Run &History", "&Find History", "Pre&view..."]


def main_window(s, app, visible=True):
    found = [w for w in app.windows(visible=visible) if w.name == MAIN_CAPTION]
    return found[0] if found else None


def menus(s, app):
    """The program's open menu windows (unnamed, mapped), top to bottom:
    an open sub-menu comes before the menu it belongs to."""
    return [w for w in app.windows() if w.name == ""]


def open_menu(s, app, timeout=5):
    """Right-clicks the tray icon and returns the menu window that opens."""
    before = {w.id for w in menus(s, app)}
    s.right_click(*app.icon)
    menu = wait_until(lambda: [w for w in menus(s, app) if w.id not in before], timeout, interval=0.05,
                      what="the tray menu")[0]
    time.sleep(0.3)  # mapped before it is painted
    return menu


def right_click_opens_nothing(s, app, wait=1.5):
    before = {w.id for w in menus(s, app)}
    s.right_click(*app.icon)
    time.sleep(wait)
    return [w for w in menus(s, app) if w.id not in before] == []


def close_menus(s, app, timeout=5):
    """Escape, pressed on the innermost open menu, until none is open."""
    deadline = time.monotonic() + timeout
    while menus(s, app):
        if time.monotonic() > deadline:
            raise E2EError("menus stay open: %s" % menus(s, app))
        s.key_on(menus(s, app)[0], "Escape")
        time.sleep(0.2)


def menu_picture(s, menu):
    return s.grab().crop(*s.geometry(menu))


def selectable_count(s, menu, limit=24):
    """Counts the entries the arrow keys stop at: each Down press moves
    the highlight to the next one, and after the last it comes back to the
    first, so the pictures repeat with that period."""
    seen = []
    for i in range(limit):
        s.key_on(menu, "Down")
        time.sleep(0.15)
        d = menu_picture(s, menu).digest()
        if seen and d == seen[0]:
            return i
        seen.append(d)
    raise E2EError("the menu highlight did not come back to the first entry in %d presses" % limit)


def hide_button(s, main):
    """Centre of the main window's "Hide" button, the second of the
    header's buttons, in desktop coordinates."""
    x, y, w, h = s.geometry(main)
    return x + BORDER + 2 + 15 + 7, y + BORDER + 2 + 7


def header_stripe_rows(img, x0, x1):
    """Rows of a window picture where columns x0..x1 are mostly the header's
    pure blue stripes."""
    rows = []
    for y in range(img.height):
        blue = sum(1 for x in range(x0, x1) if img.pixel(x, y) == HEADER_BLUE)
        if blue >= (x1 - x0) * 3 // 4:
            rows.append(y)
    return rows


def wait_height(s, height, timeout=5):
    """Waits until the main window has this outer height and keeps it
    (the panes are animated); returns the window."""
    def settled():
        w = s.windows(name=MAIN_CAPTION)
        if w and w[0].h == height:
            time.sleep(0.3)
            again = s.windows(name=MAIN_CAPTION)
            if again and again[0].h == height:
                return again[0]
        return None

    try:
        return wait_until(settled, timeout, interval=0.1, what="the main window to be %d high" % height)
    except E2EError:
        w = s.windows(name=MAIN_CAPTION)
        raise E2EError("main window is %s, not %d high" % (w[0].h if w else "gone", height))


# The tray menu's entries as drawn, top to bottom ("-" a separator), in
# each lock state; the closed-popups entry and its separator come first
# while the options window shows them. Separators left at an end are not
# drawn.
MENU_ITEM_HEIGHT = 20
MENU_SEPARATOR_HEIGHT = 7
MENU_FRAME = 3
CLOSED_POPUPS_ENTRY = "Closed Popups"
_COMMANDS = ["&Erase", "E&rase...", "-", "Show Block &List", "&Options", "&Show", "-", "&Check Latest Version...", "-",
             "&Help", "&About", "-", "E&xit"]


def tray_entries(closed_popups=False, lock="unlocked"):
    """lock: "unlocked" (no password), "locked" or "logged in"."""
    head = [CLOSED_POPUPS_ENTRY, "-"] if closed_popups else []
    if lock == "locked":
        return head + ["Log &in..."]
    return head + _COMMANDS + (["-", "Log o&ut..."] if lock == "logged in" else [])


def menu_height(entries):
    return 2 * MENU_FRAME + sum(MENU_SEPARATOR_HEIGHT if e == "-" else MENU_ITEM_HEIGHT for e in entries)


def menu_entry(s, menu, entries, caption):
    """Centre of an entry of an open menu, in desktop coordinates, where a
    person clicks it; `entries` is what the menu is expected to hold, and
    the menu's height has to agree with it."""
    x, y, w, h = s.geometry(menu)
    if abs(h - menu_height(entries)) > 1:
        raise E2EError("the menu is %d high, not the %d of %s" % (h, menu_height(entries), entries))
    top = y + MENU_FRAME
    for e in entries:
        if e == caption:
            return x + w // 2, top + MENU_ITEM_HEIGHT // 2
        top += MENU_SEPARATOR_HEIGHT if e == "-" else MENU_ITEM_HEIGHT
    raise E2EError("no entry %r in %s" % (caption, entries))


def type_on(s, window, text):
    """Types a text on the keyboard, as a person does, into the focused
    control of `window` (the pointer resting on the window)."""
    s.key_on(window)
    s.xdo("type", "--delay", "40", text)
    time.sleep(0.2)


# The options window's tabs, in order.
OPTIONS_TABS = ["Erase", "Browser", "Popup Blocker", "Misc", "Stats"]


def open_options(s, app, tab=0):
    """Opens the options window from the tray menu ("&Options", by its
    letter) and goes to tab number `tab` with Ctrl+Tab; returns the window
    as the system lists it, with its controls."""
    menu = open_menu(s, app)
    s.key_on(menu, "o")
    win = wait_until(lambda: s.windows(name="Options", cls=app.exe_name), 5, what="the options window")[0]
    time.sleep(0.5)
    if tab:
        s.key_on(win, *["ctrl+Tab"] * tab)

    def on_tab():
        found = s.win32_windows(title="Options", exe=app.exe_name, controls=True)
        tabs = [c for c in found[0].controls if c.cls == "SysTabControl32"] if found else []
        return found[0] if tabs and tabs[0].state == tab else None

    return wait_until(on_tab, 10, interval=0.3, what="the %s tab of the options window" % OPTIONS_TABS[tab])


def click_in_options(s, app, tab, captions, button, shot=None):
    """Opens the options window on `tab`, clicks each caption in turn,
    keeps a picture when `shot` names one, and closes the window with its
    button `button` ("Apply" or "Close")."""
    open_options(s, app, OPTIONS_TABS.index(tab))
    for caption in captions:
        win = wait_until(lambda: s.win32_windows(title="Options", exe=app.exe_name, controls=True), 5,
                         what="the options window")[0]
        click(s, win.control(caption))
    time.sleep(0.3)
    if shot:
        s.screenshot(shot)
    win = s.win32_windows(title="Options", exe=app.exe_name, controls=True)[0]
    click(s, win.control(button))
    wait_until(lambda: not s.windows(name="Options", cls=app.exe_name), 5, what="%s to close the window" % button)


# ---------------------------------------------------------------- the program's boxes

NOTICE_CLIENT = (487, 72)
NOTICE_TEXT = (52, 24, 353, 41)  # where its text stands, in its client area
YELLOW, WHITE = (255, 255, 0), (255, 255, 255)


def click(s, control):
    s.click(*control.centre)
    time.sleep(0.2)


def answer(s, app, cls, match, by, shot=None, check=None):
    """Waits for the program's `cls` window that `match`es, keeps its picture,
    runs `check`, answers by a click on button `by` or the key `by`."""
    def up():
        return [w for w in s.win32_windows(cls=cls, exe=app.exe_name, controls=True) if w.visible and match(w)]
    box = wait_until(up, 5, what="the %s window (%s)" % (cls, shot))[0]
    time.sleep(0.5)
    if shot:
        s.screenshot(shot)
    if check:
        check(box)
    click(s, box.control(by)) if by in ("Close", "Yes", "No") else s.key_on(box, by)
    wait_until(lambda: not up(), 5, what="the %s window to go (%s)" % (cls, shot))
    time.sleep(0.3)


def expect_notice(s, app, shot, colour, by):
    """The notice window, its text painted in `colour`."""
    def painted(note):
        x, y = note.window[:2]
        text = s.grab().crop(x + NOTICE_TEXT[0], y + NOTICE_TEXT[1], NOTICE_TEXT[2], NOTICE_TEXT[3])
        other = WHITE if colour == YELLOW else YELLOW
        s.expect(text.count(colour) > 100 and text.count(other) < 20, "%s: the text is not in %s" % (shot, colour))
    answer(s, app, "TarnwickForm", lambda w: w.client == NOTICE_CLIENT, by, shot, painted)


def ask(s, app, button, question, by, shot=None):
    click(s, button)
    answer(s, app, "#32770", lambda w: question in w.body, by, shot)
