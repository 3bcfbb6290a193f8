"""The options window as a person uses it, with nothing stored and with
everything stored. Settings are read with `wine reg query`, controls with
the wininfo helper (which cannot read what an edit field holds: Apply
shows it); pictures are kept under build/e2e-shots."""

import os
import time
from concurrent.futures import ThreadPoolExecutor

import harness
from harness import E2EError, Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY, OPTIONS_TABS as TABS

ERASE_KEY = MAIN_KEY + r"\erase"
COUNTER_KEY = MAIN_KEY + r"\counter"
IE_MAIN = r"HKCU\Software\Microsoft\Internet Explorer\Main"
AUTOCOMPLETE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\AutoComplete"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
KEYS = [MAIN_KEY, ERASE_KEY, COUNTER_KEY, IE_MAIN, AUTOCOMPLETE, RUN_KEY]
RUN_ENTRY = {"Tarnwick": r"C:\Tarnwick\tarnwick.exe"}  # where the harness installs it

# Check boxes and radio buttons by caption (without "&"); the erase boxes
# with the value each stores.
ERASE_BOXES = {c: c for c in ("IE Cache", "Cookies", "IE History", "IE Address Bar", "Recent Documents",
                              "Temp Folder", "Run History", "Find History")}
ERASE_BOXES["Empty Recycle Bin"] = "Recycle Bin"
START_PAGE, WEB, FORMS, USER_PASS, LAST_TYPED = (
    "Set this start page", "Disable auto suggest: Web addresses", "Disable auto suggest: Forms",
    "Disable suggest user names and pass on forms", "Clear last typed URL")
BLOCKER, COUNTER, RESET, MANUAL, MAXIMUM, HIDDEN = (
    "Enable popup blocker", "Enable popup counter", "Reset counter", "Set the limit of opened windows manually",
    "Set the max limit (15 windows)", "Hot key pressed")
RUN, AUTO_ERASE, SOUND, CLOSED_POPUPS, LEFT_MOUSE = (
    "Load Tarnwick at Windows startup", "Erase (cookies, history, addresses...) each time IE is closed",
    "Play sound when popup is closed", "Show Closed Popups in tray menu", "Enable left mouse button")
BOXES = list(ERASE_BOXES) + [START_PAGE, WEB, FORMS, USER_PASS, LAST_TYPED, BLOCKER, COUNTER, MANUAL, MAXIMUM,
                             HIDDEN, RUN, AUTO_ERASE, SOUND, CLOSED_POPUPS, LEFT_MOUSE]
# Hot-key fields: virtual key in the low byte, modifiers in the high one.
SHIFT, CTRL, ALT = 0x100, 0x200, 0x400

# The main window's Options pane: its caption bar (the third), then its
# items 20 apart, one per tab.
OPTIONS_CAPTION_Y = 40 + 35 * 2
# Labels drawn inside a group box (not windows): grey when disabled.
LABELS = {"Limit max opened windows:": ("Popup blocking settings", (14, 76, 150, 13)),
          "File name:": ("Misc", (32, 93, 54, 13))}


def options(s, app):
    found = [w for w in s.win32_windows(title="Options", exe=app.exe_name, controls=True) if w.visible]
    return found[0] if found else None


def close(s, app, o, by):
    """Closes the window by a click on its button `by` or by the key `by`."""
    ui.click(s, o.control(by)) if by in ("Close", "Apply", "btnMinimize") else s.key_on(o, by)
    wait_until(lambda: not s.windows(name="Options", cls=app.exe_name), 5, what="the window to close (%s)" % by)
    time.sleep(0.3)


def find(o, caption, cls=None, nth=0):
    """A control by caption; with `cls`, the nth of that class after it."""
    names = [c.text.replace("&", "") for c in o.controls]
    if caption not in names:
        raise E2EError("no control %r in the options window" % caption)
    at = names.index(caption)
    return o.controls[at] if cls is None else [c for c in o.controls[at + 1:] if c.cls.lower() == cls.lower()][nth]


def selected_tab(o):
    return [c for c in o.controls if c.cls == "SysTabControl32"][0].state


def expect_state(s, o, expected, when):
    """Boxes (ticked, enabled), spin (position, usable), hot keys, fields."""
    got = {c.text.replace("&", ""): (c.state, c.enabled) for c in o.controls
           if c.cls == "Button" and c.state is not None}
    spin = find(o, MANUAL, "msctls_updown32")
    got["spin"] = (spin.state, spin.enabled and find(o, MANUAL, "Edit").enabled)
    got["hot key"], got["panic"] = (find(o, caption, "msctls_hotkey32").state for caption in (MAXIMUM, LEFT_MOUSE))
    got["password char"] = find(o, LEFT_MOUSE, "Edit").state
    for name, (caption, cls, nth) in {"start page": (START_PAGE, "Edit", 0), "sound": (SOUND, "Edit", 0),
                                      "browse": (SOUND, "TarnwickButton", 0), "play": (SOUND, "TarnwickButton", 1),
                                      RESET: (RESET, None, 0)}.items():
        got[name + " enabled"] = find(o, caption, cls, nth).enabled
    for name, want in expected.items():
        s.expect(got.get(name) == want, "%s: %r shows %r, not %r" % (when, name, got.get(name), want))


def shown(ticked, others):
    """Every box enabled, those in `ticked` ticked, then `others`."""
    return dict({b: (int(b in ticked), True) for b in BOXES}, **others)


def walk_tabs(s, o, app, shot, enabled):
    """Ctrl+Tab through the tabs, a picture of each, the labels' colour."""
    for i, tab in enumerate(TABS):
        o = go_to_tab(s, o, app, tab)
        s.screenshot("%s-%d-%s" % (shot, i, tab.replace(" ", "-").lower()))
        picture = s.grab()
        for label, (group, (x, y, w, h)) in LABELS.items():
            gx, gy = find(o, group).window[:2]
            ink = sum(n for c, n in picture.crop(gx + x, gy + y, w, h).colours().items() if max(c) < 80)
            if find(o, group).visible:
                s.expect(ink > 30 if enabled else ink == 0, "%r drawn %s" % (label, "grey" if enabled else "black"))
    return o


def store(s, values):
    """Stores {HKCU key: {name: text}} before the start, by one `wine reg import`."""
    path = os.path.join(s.workdir, "stored.reg")
    with open(path, "w", encoding="latin-1", newline="\r\n") as f:
        f.write("Windows Registry Editor Version 5.00\n")
        for key, named in values.items():
            f.write("\n[%s]\n" % key.replace("HKCU", "HKEY_CURRENT_USER", 1))
            f.writelines('"%s"="%s"\n' % (n, d.replace("\\", "\\\\")) for n, d in named.items())
    s.reg("import", s._wine_path(path))


def keys_now(s):
    """Every value of the keys the window writes, by lower-case name; read
    side by side, as each `wine reg` is slow to start."""
    with ThreadPoolExecutor(len(KEYS)) as pool:
        found = list(pool.map(s.reg_query, KEYS))
    return {key: {n.lower(): v for n, v in (values or {}).items()} for key, values in zip(KEYS, found)}


def with_values(before, changes):
    """`before` with the REG_SZ values of `changes` ({key: {name: data}})."""
    result = {key: dict(values) for key, values in before.items()}
    for key, values in changes.items():
        result.setdefault(key, {}).update({n.lower(): ("REG_SZ", d) for n, d in values.items()})
    return result


def expect_keys(s, want, when):
    """The whole keys, every value, as `want` has them."""
    got = keys_now(s)
    for key in KEYS:
        for name in sorted(set(got[key]) | set(want[key])):
            s.expect(got[key].get(name) == want[key].get(name), "%s: %s\\%s is %r, not %r" % (
                when, key, name, got[key].get(name), want[key].get(name)))


def expect_menu(s, app, entries, when, left=False):
    """Opens the tray menu, checks its entries by its height, closes it."""
    (s.click if left else s.right_click)(*app.icon)
    menu = wait_until(lambda: ui.menus(s, app), 5, what="the tray menu (%s)" % when)[0]
    time.sleep(0.3)  # mapped before painted
    s.expect(s.geometry(menu)[3] == ui.menu_height(entries), "%s: the tray menu is %d high, not that of %s" % (
        when, s.geometry(menu)[3], entries))
    ui.close_menus(s, app)


def go_to_tab(s, o, app, tab):
    """Ctrl+Tab, pressed on the window, until `tab` is selected."""
    want = TABS.index(tab)
    if selected_tab(o) == want:
        return o
    s.key_on(o, *(["ctrl+Tab"] * ((want - selected_tab(o)) % len(TABS))))
    time.sleep(0.3)
    o = options(s, app)
    if selected_tab(o) != want:
        raise E2EError("Ctrl+Tab gave tab %d, not %d" % (selected_tab(o), want))
    return o


def clicks(s, o, app, per_tab):
    """Clicks controls by caption, tab by tab: [(tab, [caption, ...]), ...]."""
    for tab, captions in per_tab:
        o = go_to_tab(s, o, app, tab)
        for caption in captions:
            ui.click(s, find(o, caption))
    return options(s, app)


def spin_arrow(s, o, up, times):
    x, y, w, h = find(o, MANUAL, "msctls_updown32").window
    for _ in range(times):
        s.click(x + w // 2, y + (h // 4 if up else h - h // 4))
        time.sleep(0.15)


def log_in(s, app, password, entries):
    s.click(*ui.menu_entry(s, ui.open_menu(s, app), entries, "Log &in..."))
    ui.answer(s, app, None, lambda w: w.title == "Log in", "Return", check=lambda w: ui.type_on(s, w, password))


def options_from_pane(s, app, tab):
    """Opens the main window's Options pane and clicks the item of `tab`."""
    main = ui.main_window(s, app)
    if main is None:  # shown by the tray menu's "Show"
        s.key_on(ui.open_menu(s, app), "s")
        main = wait_until(lambda: ui.main_window(s, app), 5, what="the main window")
    # An item's command folds the pane again (animated).
    wait_until(lambda: (ui.main_window(s, app) or ui.main_window(s, app, visible=False)).h
               < ui.PANE_HEIGHTS["Options"], 5, what="the Options pane to fold")
    time.sleep(0.5)
    x, y, w, h = s.geometry(main)
    s.click(x + w // 2, y + OPTIONS_CAPTION_Y)
    ui.wait_height(s, ui.PANE_HEIGHTS["Options"])
    s.click(x + 40, y + OPTIONS_CAPTION_Y + 29 + 20 * TABS.index(tab))
    wait_until(lambda: s.windows(name="Options", cls=app.exe_name), 5, what="the options window from the pane")
    time.sleep(0.5)
    return options(s, app)


INITIAL = shown((MANUAL,), {
    COUNTER: (0, False), MANUAL: (1, False), MAXIMUM: (0, False), "spin": (5, False), "hot key": 0, "panic": 0,
    "password char": ord("*"), "start page enabled": False, "sound enabled": False, "browse enabled": False,
    "play enabled": False, RESET + " enabled": False})
APPLIED = {
    MAIN_KEY: {"Popup Blocker": "1", "Popup Counter": "1", "Closed Popups": "0", "Hot Key Pressed": "0",
               "Left Mouse": "0", "Popup Limit": "0", "Limit Edit": "2", "Popup Sound": "0", "Last Typed": "1",
               "Hot Key": "Shift+Ctrl+J", "Panic Hot Key": "Ctrl+F8", "Password": "k3y", "Run": "1", "Erase": "1",
               "Start Page": "1", "Edit start": "http://home.example/", "Auto Web": "1", "Auto Forms": "0",
               "Disable user name and pass": "1"},
    ERASE_KEY: {"IE Cache": "1", "Cookies": "1", "IE History": "0", "IE Address Bar": "0", "Recent Documents": "0",
                "Temp Folder": "1", "Recycle Bin": "0", "Run History": "1", "Find History": "1"},
    # The start-page guard, switched on, puts the chosen page into the browser's key.
    IE_MAIN: {"Use FormSuggest": "yes", "FormSuggest Passwords": "no", "Start Page": "http://home.example/"},
    AUTOCOMPLETE: {"AutoSuggest": "no"}, RUN_KEY: RUN_ENTRY}
DEFAULT_MAIN = {
    "Popup Blocker": "1", "Popup Counter": "1", "Closed Popups": "1", "Hot Key Pressed": "1", "Left Mouse": "0",
    "Popup Limit": "0", "Limit Edit": "5", "Popup Sound": "0", "Sound Path": "", "Last Typed": "0",
    "Hot Key": "Shift+Ctrl+A", "Panic Hot Key": "Shift+Ctrl+P", "Password": "", "Run": "1", "Erase": "0",
    "Start Page": "1", "Auto Web": "0", "Auto Forms": "0", "Disable user name and pass": "0"}
DEFAULT_SHOWN = shown(set(ERASE_BOXES) - {"Run History", "Find History"} | {
    START_PAGE, BLOCKER, COUNTER, MANUAL, HIDDEN, RUN, CLOSED_POPUPS}, {
    "spin": (5, True), "hot key": SHIFT | CTRL | ord("A"), "panic": SHIFT | CTRL | ord("P"),
    "start page enabled": True, "sound enabled": False, "browse enabled": False, "play enabled": False,
    RESET + " enabled": True})


def nothing_stored():
    """Initial states; every tab from the tray menu and from the Options
    pane; Apply refusing twice, then storing exactly what was asked (the
    password locks the menu); Default asking, then storing the defaults."""
    with Scenario("options_fresh") as s:
        app = s.start_tarnwick()
        time.sleep(1)
        start = keys_now(s)
        o = ui.open_options(s, app)
        s.expect(o.window[2:] == (353, 365), "the window is 353 x 365: %s" % (o.window,))
        expect_state(s, o, INITIAL, "nothing stored")
        s.expect(find(o, "IE Cache").focused, "the first check box has the focus")
        s.expect(ui.right_click_opens_nothing(s, app), "the tray menu opened while the options window is up")
        o = walk_tabs(s, o, app, "tab", enabled=False)
        close(s, app, o, "Escape")
        for i, tab in enumerate(TABS):  # closed in turn by Close, hide and Escape
            o = options_from_pane(s, app, tab)
            s.expect(selected_tab(o) == i, "the pane's %r selects tab %d" % (tab, selected_tab(o)))
            close(s, app, o, ["Close", "btnMinimize", "Escape"][i % 3])

        # Refused: an automatic erase with only the Temp Folder (Enter),
        # then the whole address bar with the last typed URL (Apply).
        o = clicks(s, ui.open_options(s, app, 3), app, [("Misc", [AUTO_ERASE]), ("Erase", ["Temp Folder"])])
        s.key_on(o, "Return")
        ui.expect_notice(s, app, "refusal-erase", ui.YELLOW, "Close")
        o = clicks(s, o, app, [("Erase", ["IE Address Bar"]), ("Browser", [LAST_TYPED, "Apply"])])
        ui.expect_notice(s, app, "refusal-address", ui.WHITE, "Escape")
        expect_keys(s, start, "after both refusals")

        # What is wanted, tab by tab; a box reached by Tab, ticked by Space.
        o = clicks(s, options(s, app), app, [("Erase", ["IE Address Bar", "IE Cache"])])
        s.key_on(o, "Tab", "space")
        o = clicks(s, o, app, [("Erase", ["Run History", "Find History"]), ("Browser", [START_PAGE, WEB, USER_PASS])])
        ui.click(s, find(o, START_PAGE, "Edit"))
        s.key_on(o, "End", "shift+Home")  # whatever it holds is replaced
        ui.type_on(s, o, "http://home.example/")
        o = clicks(s, o, app, [("Popup Blocker", [BLOCKER])])
        expect_state(s, o, {COUNTER: (0, True), MANUAL: (1, True), MAXIMUM: (0, True), "spin": (5, True),
                            "start page enabled": True, "Cookies": (1, True), RESET + " enabled": False},
                     "the blocker ticked")
        ui.click(s, find(o, COUNTER))
        spin_arrow(s, o, up=False, times=3)
        ui.click(s, find(o, MAXIMUM, "msctls_hotkey32"))
        s.key_on(o, "ctrl+shift+j")
        o = clicks(s, o, app, [("Misc", [RUN])])
        ui.click(s, find(o, LEFT_MOUSE, "msctls_hotkey32"))
        s.key_on(o, "F8")  # no modifier: Ctrl is added
        ui.click(s, find(o, LEFT_MOUSE, "Edit"))
        ui.type_on(s, o, "k3y")
        o = options(s, app)
        expect_state(s, o, {COUNTER: (1, True), RESET + " enabled": True, "spin": (2, True),
                            "hot key": SHIFT | CTRL | ord("J"), "panic": CTRL | 0x77}, "before Apply")
        s.screenshot("before-apply")
        close(s, app, o, "Apply")
        wait_until(lambda: s.reg_query(IE_MAIN, "Start Page") == "http://home.example/", 3,
                   what="the start-page guard to put the chosen page in place")
        expect_keys(s, with_values(start, APPLIED), "after Apply")
        expect_menu(s, app, ui.tray_entries(False, "locked"), "the password applied")

        log_in(s, app, "k3y", ui.tray_entries(False, "locked"))
        o = ui.open_options(s, app)
        applied = keys_now(s)  # with the log-in's "Pass Temp"
        question = "Are you sure you want to restore default settings?"
        ui.ask(s, app, o.control("Default"), question, "n", shot="default-question")
        expect_keys(s, applied, "after Default answered No")
        ui.ask(s, app, o.control("Default"), question, "Yes")
        ie_start = applied[IE_MAIN].get("start page", ("", ""))[1]
        expect_keys(s, with_values(applied, {
            MAIN_KEY: dict(DEFAULT_MAIN, **{"Edit start": ie_start}),
            ERASE_KEY: {name: str(int(name not in ("Run History", "Find History"))) for name in ERASE_BOXES.values()},
            IE_MAIN: {"Use FormSuggest": "yes", "FormSuggest Passwords": "yes"}, AUTOCOMPLETE: {"AutoSuggest": "yes"},
            RUN_KEY: RUN_ENTRY}), "after Default")
        o = options(s, app)
        expect_state(s, o, DEFAULT_SHOWN, "after Default")
        s.screenshot("after-default")
        close(s, app, o, "Close")
        # The lock stays as it was; the closed-popups entry shows at once.
        expect_menu(s, app, ui.tray_entries(True, "logged in"), "after Default")


STORED_MAIN = {"Erase": "1", "Popup Blocker": "1", "Popup Counter": "1", "Closed Popups": "1",
               "Hot Key Pressed": "1", "Left Mouse": "1", "Popup Limit": "1", "Limit Edit": "99",
               "Popup Sound": "1", "Sound Path": r"C:\Media\ding.wav", "Last Typed": "1",
               "Hot Key": "Shift+Ctrl+K", "Panic Hot Key": "Ctrl+Alt+B", "Password": "pw", "Run": "1",
               "Start page": "1", "Edit start": "http://old.example/", "Auto Web": "1", "Auto Forms": "1",
               "Disable user name and pass": "1"}
STORED_ERASE = {"IE Cache": "1", "Cookies": "0", "IE History": "1", "IE Address Bar": "0", "Recent Documents": "1",
                "Temp Folder": "0", "Recycle Bin": "1", "Run History": "1", "Find History": "1"}
STORED_COUNTERS = {"Counter": "1234", "Counter Block": "7", "Counter Panic": "56789", "Counter PopHot": "1000000"}
IE_START_PAGE = "http://guarded.example/"
LOADED = shown(set(BOXES) - {MANUAL} - {b for b, name in ERASE_BOXES.items() if STORED_ERASE[name] == "0"}, {
    "spin": (5, False), "hot key": SHIFT | CTRL | ord("K"), "panic": CTRL | ALT | ord("B"), "password char": ord("*"),
    "start page enabled": True, "sound enabled": True, "browse enabled": True, "play enabled": True,
    RESET + " enabled": True})


def everything_stored():
    """The load (maximum limit chosen, so the stored 99 is not loaded; the
    browser's start page guarded at once); changes closed unapplied store
    nothing, act at once where live and are there on reopening; Reset
    counter; the maximum again, Enter storing the window as shown."""
    with Scenario("options_loaded") as s:
        store(s, {MAIN_KEY: STORED_MAIN, ERASE_KEY: STORED_ERASE, COUNTER_KEY: STORED_COUNTERS,
                  IE_MAIN: {"Start Page": IE_START_PAGE}})
        app = s.start_tarnwick()
        time.sleep(1)
        s.expect(s.reg_query(MAIN_KEY, "Edit start") == IE_START_PAGE, "the start page guarded is not IE's")
        expect_menu(s, app, ui.tray_entries(True, "locked"), "at the start")
        log_in(s, app, "pw", ui.tray_entries(True, "locked"))
        o = ui.open_options(s, app)
        expect_state(s, o, LOADED, "loaded")
        s.expect(not find(o, HIDDEN).shown, "the hidden check box is never shown")
        o = walk_tabs(s, o, app, "loaded-tab", enabled=True)  # Stats with thousands separators
        before = keys_now(s)

        o = clicks(s, o, app, [("Erase", ["IE History"]), ("Browser", [FORMS]), ("Popup Blocker", [MANUAL])])
        spin_arrow(s, o, up=True, times=1)
        o = clicks(s, o, app, [("Misc", [CLOSED_POPUPS, LEFT_MOUSE])])
        changed = dict(LOADED, **{"IE History": (0, True), FORMS: (0, True), MANUAL: (1, True), MAXIMUM: (0, True),
                                  "spin": (6, True), CLOSED_POPUPS: (0, True), LEFT_MOUSE: (0, True)})
        expect_state(s, o, changed, "changed")
        close(s, app, o, "Close")
        expect_keys(s, before, "after Close")
        expect_menu(s, app, ui.tray_entries(False, "logged in"), "closed-popups entry cleared")
        s.click(*app.icon)
        time.sleep(1.5)
        s.expect(not ui.menus(s, app), "a left click opened a menu with its box cleared")

        o = options_from_pane(s, app, "Popup Blocker")
        expect_state(s, o, changed, "reopened")
        s.screenshot("reopened-popup-blocker")
        question = "Are you sure you want to reset popup counter?"
        ui.ask(s, app, find(o, RESET), question, "No")
        s.expect(s.reg_query(COUNTER_KEY, "Counter") == "1234", "No changed the count")
        ui.ask(s, app, find(o, RESET), question, "y", shot="reset-question")
        s.expect(s.reg_query(COUNTER_KEY, "Counter") == "0", "Yes did not zero the count")
        o = go_to_tab(s, o, app, "Stats")
        s.screenshot("stats-after-reset")
        o = clicks(s, o, app, [("Misc", [CLOSED_POPUPS, LEFT_MOUSE])])
        close(s, app, o, "Escape")
        expect_menu(s, app, ui.tray_entries(True, "logged in"), "closed-popups entry ticked", left=True)
        before = with_values(before, {COUNTER_KEY: {"Counter": "0"}})
        expect_keys(s, before, "after the live controls")

        o = clicks(s, ui.open_options(s, app), app, [("Popup Blocker", [MAXIMUM])])
        expect_state(s, o, {MANUAL: (0, True), MAXIMUM: (1, True), "spin": (6, False)}, "maximum again")
        close(s, app, o, "Return")
        expect_keys(s, with_values(before, {
            MAIN_KEY: {"Popup Limit": "1", "Limit Edit": "15", "Auto Forms": "0", "Edit start": IE_START_PAGE},
            ERASE_KEY: {"IE History": "0"}, IE_MAIN: {"Use FormSuggest": "yes", "FormSuggest Passwords": "no"},
            AUTOCOMPLETE: {"AutoSuggest": "no"}, RUN_KEY: RUN_ENTRY}), "after Enter")
        expect_menu(s, app, ui.tray_entries(True, "locked"), "locked again at Apply")


def scenario():
    nothing_stored()
    everything_stored()


if __name__ == "__main__":
    harness.main(scenario)
