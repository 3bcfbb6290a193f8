"""One user's story with the keyboard alone, once the program is up (only
the tray icon's right click is the mouse's: the notification area has no
key of its own here). In the main window Tab and the arrows walk the pane
headers and items, each framed by a focus rectangle, and Enter opens a pane
and runs "Erase"; the options window, opened from the Options pane, goes
through every tab with Ctrl+Tab, its tab strip shows its focus, and Enter
applies; About, opened from the Help pane, opens a link by Tab and Enter
and, closed by Escape, gives the keyboard back to the main window, which
Escape then hides. With a stand-in browser in front, the tray menu takes
the keyboard, "a" brings About to the front with the keyboard on its
button, "e" refuses to erase with a message box in front; each gives the
keyboard back to the browser when it closes, as the menu does when it is
closed without a choice."""

import os
import time

import harness
from harness import Scenario, wait_until
import tarnwick_ui as ui
from browsers import SUFFIX, Browser
from test_about import configured, logged, register_handler
from test_eraser import ERASE_KEY, FLAGS, REFUSAL

PANE_CLASS = "TarnwickTaskPane"
# Rows of a pane's items: below its 35-pixel header and 4 pixels of room,
# 20 pixels each.
ITEMS_TOP = 39
ITEM_HEIGHT = 20
PAGE = "Keyboard page"


def main_info(s, app):
    return wait_until(lambda: s.win32_windows(title=ui.MAIN_CAPTION, exe=app.exe_name, controls=True), 5,
                      what="the main window's controls")[0]


def panes(s, app):
    return [c for c in main_info(s, app).controls if c.cls == PANE_CLASS]


def focused_pane(s, app):
    """Index of the pane that holds the keyboard, or None."""
    found = [i for i, c in enumerate(panes(s, app)) if c.focused]
    return found[0] if found else None


def item_row(s, pane, index):
    x, y, w, h = pane.window
    return s.grab().crop(x + 6, y + ITEMS_TOP + index * ITEM_HEIGHT, w - 12, ITEM_HEIGHT)


def framed(before, after):
    """Pixels of a row's top and bottom lines that a focus rectangle changed."""
    return sum(1 for px in range(after.width) for py in (2, after.height - 3)
               if after.pixel(px, py) != before.pixel(px, py))


def window_up(s, app, title):
    return wait_until(lambda: [w for w in s.win32_windows(title=title, exe=app.exe_name, controls=True) if w.visible],
                      5, what="the %s window" % title)[0]


def focused_control(win):
    found = [c for c in win.controls if c.focused]
    return found[0] if found else None


def gets_keys(s, browser, window, char):
    """A character typed with the pointer on the browser's window reaches it."""
    s.key_on(window, char)
    wait_until(lambda: (PAGE + SUFFIX, char) in browser.typed(), 5,
               what="the browser to get %r from the keyboard" % char)


def main_window_part(s):
    home = "http://%s/tarnwick" % configured("TARNWICK_VENDOR_HOST")
    # Only the address bar is erased; its list holds one address.
    for name in FLAGS.values():
        s.reg_add(ERASE_KEY, name, "1" if name == "IE Address Bar" else "0")
    s.reg_add(ui.TYPED_URLS, "url1", "http://typed.example/")
    log_path = os.path.join(s.workdir, "opened.txt")
    register_handler(s, "http", log_path)
    app = s.start_tarnwick()
    time.sleep(1)

    menu = ui.open_menu(s, app)
    s.key_on(menu, "s")
    main = wait_until(lambda: ui.main_window(s, app), 5, what="the main window")
    time.sleep(0.5)
    s.expect(focused_pane(s, app) == 0, "the main window comes up with the keyboard on the File pane")

    # Tab to the Tools header, Enter opens it, Down to "Erase": framed.
    s.key_on(main, "Tab")
    wait_until(lambda: focused_pane(s, app) == 1, 5, what="Tab to reach the Tools pane")
    s.key_on(main, "Return")
    main = ui.wait_height(s, ui.PANE_HEIGHTS["Tools"])
    tools = panes(s, app)[1]
    before = item_row(s, tools, 0)
    s.key_on(main, "Down")
    time.sleep(0.5)
    after = item_row(s, tools, 0)
    s.screenshot("pane-item-focus")
    s.expect(framed(before, after) > 20, "a focus rectangle round \"Erase\" (%d)" % framed(before, after))
    s.expect(s.reg_query(ui.TYPED_URLS, "url1") is not None, "nothing erased before Enter")
    s.key_on(main, "Return")
    wait_until(lambda: s.reg_query(ui.TYPED_URLS, "url1") is None, 10, what="Enter on \"Erase\" to erase")
    main = ui.wait_height(s, ui.FOLDED_HEIGHT)
    s.expect(focused_pane(s, app) == 1, "the keyboard stays on the folded Tools pane")

    # The Options pane's "Erase" opens the options window: Ctrl+Tab walks
    # every tab, the strip shows its focus, Enter applies.
    s.key_on(main, "Tab", "Return")
    main = ui.wait_height(s, ui.PANE_HEIGHTS["Options"])
    s.key_on(main, "Down", "Return")
    opts = window_up(s, app, "Options")
    time.sleep(0.5)
    for tab in range(1, len(ui.OPTIONS_TABS)):
        s.key_on(opts, "ctrl+Tab")
        wait_until(lambda: [c for c in window_up(s, app, "Options").controls
                            if c.cls == "SysTabControl32" and c.state == tab], 5,
                   what="Ctrl+Tab to reach the %s tab" % ui.OPTIONS_TABS[tab])
    opts = window_up(s, app, "Options")
    strip = [c for c in opts.controls if c.cls == "SysTabControl32"][0]
    x, y, w, _ = strip.window
    unfocused = s.grab().crop(x, y, w, 24)
    for _ in range(12):
        if focused_control(window_up(s, app, "Options")).cls == "SysTabControl32":
            break
        s.key_on(opts, "shift+Tab")
        time.sleep(0.3)
    s.expect(focused_control(window_up(s, app, "Options")).cls == "SysTabControl32",
             "Shift+Tab reaches the tab strip")
    time.sleep(0.3)
    s.screenshot("tab-strip-focus")
    s.expect(s.grab().crop(x, y, w, 24).diff(unfocused) > 10, "the tab strip shows its focus")
    s.reg("delete", ui.MAIN_KEY, "/v", "Auto Web", "/f", check=False)
    s.key_on(opts, "Return")
    wait_until(lambda: not s.windows(name="Options", cls=app.exe_name), 5, what="Enter to apply and close")
    s.expect(s.reg_query(ui.MAIN_KEY, "Auto Web") is not None, "Apply stored the settings")
    main = ui.wait_height(s, ui.FOLDED_HEIGHT)
    wait_until(lambda: focused_pane(s, app) == 2, 5, what="the keyboard back on the Options pane")

    # About from the Help pane (four Downs: the separators are passed
    # over); Tab to the home page link, framed, Enter opens it.
    s.key_on(main, "Tab", "Return")
    main = ui.wait_height(s, ui.PANE_HEIGHTS["Help"])
    s.key_on(main, "Down", "Down", "Down", "Down", "Return")
    about = window_up(s, app, "About")
    time.sleep(0.5)
    s.expect(focused_control(about).text == "&Close", "About comes up with the keyboard on Close")
    s.key_on(about, "Tab")
    time.sleep(0.5)
    s.screenshot("about-link-focus")
    s.key_on(about, "Return")
    wait_until(lambda: home in logged(log_path), 10, what="Enter to open the home page link")
    s.key_on(about, "Escape")
    wait_until(lambda: not s.windows(name="About", cls=app.exe_name), 5, what="Escape to close About")

    # The keyboard is the main window's again: on the Help pane, whose
    # Enter opens it; Escape hides the window as Alt+F4 does.
    main = ui.wait_height(s, ui.FOLDED_HEIGHT)
    wait_until(lambda: focused_pane(s, app) == 3, 5, what="the keyboard back on the Help pane")
    s.key_on(main, "Return")
    main = ui.wait_height(s, ui.PANE_HEIGHTS["Help"])
    s.key_on(main, "Escape")
    wait_until(lambda: ui.main_window(s, app) is None, 5, what="Escape to hide the main window")
    time.sleep(0.5)
    s.expect(app.alive() and s.tray_slots() == [0], "Escape only hides the window")
    return app


def tray_part(s, app):
    browser = Browser(s, "browser", PAGE)
    page = PAGE + SUFFIX
    browser.bring_to_front(page)
    front = wait_until(lambda: s.windows(name=page), 5, what="the browser window")[0]
    gets_keys(s, browser, front, "k")

    # "a": About in front with the keyboard on its button; Escape closes it
    # and the browser has the keyboard again.
    menu = ui.open_menu(s, app)
    s.key_on(menu, "a")
    about = window_up(s, app, "About")
    time.sleep(0.5)
    s.expect(focused_control(about) is not None and focused_control(about).text == "&Close",
             "About from the tray has the keyboard on Close")
    s.key_on(about, "Escape")
    wait_until(lambda: not s.windows(name="About", cls=app.exe_name), 5, what="Escape to close About")
    gets_keys(s, browser, front, "b")

    # "e" with the browser running: the refusal's box in front; Enter
    # closes it, and the browser has the keyboard again.
    menu = ui.open_menu(s, app)
    s.key_on(menu, "e")
    box = wait_until(lambda: [w for w in s.win32_windows(cls="#32770", exe=app.exe_name, controls=True)
                              if w.visible and REFUSAL in w.body], 5, what="the refusal's box")[0]
    time.sleep(0.5)
    s.screenshot("refusal-from-tray")
    s.key_on(box, "Return")
    wait_until(lambda: not [w for w in s.win32_windows(cls="#32770", exe=app.exe_name) if w.visible], 5,
               what="Enter to close the box")
    gets_keys(s, browser, front, "c")

    # The menu closed by Escape gives the keyboard back too.
    menu = ui.open_menu(s, app)
    s.key_on(menu, "Escape")
    wait_until(lambda: not ui.menus(s, app), 5, what="Escape to close the menu")
    gets_keys(s, browser, front, "d")
    assert app.alive()


def scenario():
    with Scenario("keyboard") as s:
        tray_part(s, main_window_part(s))


if __name__ == "__main__":
    harness.main(scenario)
