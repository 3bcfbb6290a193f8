"""The options window, as a person uses it: opened from the tray menu on
its Erase tab and from each item of the main window's Options pane on the
tab of that name; every control showing the stored settings (and the
initial states when none are stored); Apply storing exactly what the clicks
asked for, refusing twice with its notice window and storing nothing then;
Default asking first; Close storing nothing while the window keeps what
was changed; and the controls that act at once, before any Apply: the
closed-popups entry of the tray menu, the left mouse button on the tray
icon and Reset counter.

The settings are read back with `wine reg query`, the controls' states
with the wininfo helper; the pictures of each tab and of both notices are
kept under build/e2e-shots. The wininfo helper reads a window's caption,
which for an edit field is not what it holds, so what the fields hold is
shown by what Apply stores from them (and in the pictures). The notices'
texts are painted: each is told by its colour and looked at in its
picture."""

import os
import time

import harness
from harness import E2EError, Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY

OPTIONS = "Options"
TABS = ["Erase", "Browser", "Popup Blocker", "Misc", "Stats"]
PANE_ITEMS = TABS  # the Options pane of the main window, top to bottom

ERASE_KEY = MAIN_KEY + r"\erase"
COUNTER_KEY = MAIN_KEY + r"\counter"
IE_MAIN = r"HKCU\Software\Microsoft\Internet Explorer\Main"
AUTOCOMPLETE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\AutoComplete"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
KEYS = [MAIN_KEY, ERASE_KEY, COUNTER_KEY, IE_MAIN, AUTOCOMPLETE, RUN_KEY]
# Where the program is installed by the harness, as the run entry names it.
RUN_ENTRY = r"C:\Tarnwick\tarnwick.exe"

# Check boxes and radio buttons by caption (without "&"), tab by tab.
ERASE_BOXES = {"IE Cache": "IE Cache", "Cookies": "Cookies", "IE History": "IE History",
               "IE Address Bar": "IE Address Bar", "Recent Documents": "Recent Documents",
               "Temp Folder": "Temp Folder", "Empty Recycle Bin": "Recycle Bin", "Run History": "Run History",
               "Find History": "Find History"}
START_PAGE = "Set this start page"
WEB = "Disable auto suggest: Web addresses"
FORMS = "Disable auto suggest: Forms"
USER_PASS = "Disable suggest user names and pass on forms"
LAST_TYPED = "Clear last typed URL"
BLOCKER = "Enable popup blocker"
COUNTER = "Enable popup counter"
RESET = "Reset counter"
MANUAL = "Set the limit of opened windows manually"
MAXIMUM = "Set the max limit (15 windows)"
HIDDEN_HOT_KEY_BOX = "Hot key pressed"
RUN = "Load Tarnwick at Windows startup"
AUTO_ERASE = "Erase (cookies, history, addresses...) each time IE is closed"
SOUND = "Play sound when popup is closed"
CLOSED_POPUPS = "Show Closed Popups in tray menu"
LEFT_MOUSE = "Enable left mouse button"

# Hot-key fields hold the virtual key in the low byte and the modifiers in
# the high byte: 1 Shift, 2 Ctrl, 4 Alt.
SHIFT, CTRL, ALT = 0x100, 0x200, 0x400

# Where the Options pane's items are in the main window, from its top left
# corner: the pane's caption bar (the third), then its lines 20 apart.
OPTIONS_CAPTION_Y = 40 + 35 * 2
OPTIONS_FIRST_ITEM_Y = OPTIONS_CAPTION_Y + 29
ITEM_STEP = 20

NOTICE_CLIENT = (487, 72)
NOTICE_TEXT = (52, 24, 353, 41)  # where its text stands, in its client area
YELLOW, WHITE = (255, 255, 0), (255, 255, 255)


# ---------------------------------------------------------------- reading


def options(s, app):
    """The shown options window with its controls, or None."""
    found = [w for w in s.win32_windows(title=OPTIONS, exe=app.exe_name, controls=True) if w.visible]
    return found[0] if found else None


def wait_options(s, app, what):
    wait_until(lambda: s.windows(name=OPTIONS, cls=app.exe_name), 5, what="the options window after %s" % what)
    time.sleep(0.5)  # mapped before painted
    return options(s, app)


def wait_options_closed(s, app, what):
    wait_until(lambda: not s.windows(name=OPTIONS, cls=app.exe_name), 5, what="the options window to close on %s"
               % what)
    time.sleep(0.3)


def find(o, caption):
    """A control by its caption (without "&"), on any tab, shown or not."""
    for c in o.controls:
        if c.text.replace("&", "") == caption:
            return c
    raise E2EError("no control %r in the options window" % caption)


def after(o, caption, cls, nth=0):
    """The nth control of a class listed after the control of `caption`:
    the fields without captions are found by the caption before them."""
    seen = False
    for c in o.controls:
        if seen and c.cls.lower() == cls.lower():
            if nth == 0:
                return c
            nth -= 1
        if c.text.replace("&", "") == caption:
            seen = True
    raise E2EError("no %s after %r" % (cls, caption))


def selected_tab(o):
    tabs = [c for c in o.controls if c.cls == "SysTabControl32"]
    if len(tabs) != 1:
        raise E2EError("%d tab controls" % len(tabs))
    return tabs[0].state


def fields(o):
    """The controls without a caption of their own."""
    return {
        "start page": after(o, START_PAGE, "Edit"),
        "spin": after(o, MANUAL, "msctls_updown32"),
        "spin edit": after(o, MANUAL, "Edit"),
        "hot key": after(o, MAXIMUM, "msctls_hotkey32"),
        "sound": after(o, SOUND, "Edit"),
        "browse": after(o, SOUND, "TarnwickButton"),
        "play": after(o, SOUND, "TarnwickButton", 1),
        "panic": after(o, LEFT_MOUSE, "msctls_hotkey32"),
        "password": after(o, LEFT_MOUSE, "Edit"),
    }


def shown_state(o):
    """What the controls show: check boxes and radio buttons (ticked,
    enabled), the spin position, both hot keys, and which of the other
    fields can be used."""
    state = {}
    for c in o.controls:
        caption = c.text.replace("&", "")
        if c.cls == "Button" and c.state is not None:
            state[caption] = (c.state, c.enabled)
    f = fields(o)
    state["spin"] = (f["spin"].state, f["spin"].enabled and f["spin edit"].enabled)
    state["hot key"] = f["hot key"].state
    state["panic"] = f["panic"].state
    state["password char"] = f["password"].state
    for name in ("start page", "sound", "browse", "play"):
        state[name + " enabled"] = f[name].enabled
    state[RESET + " enabled"] = find(o, RESET).enabled
    return state


# Labels that are drawn, not windows: the group box they stand in and
# their rectangle inside it. Disabled, they are drawn grey, never black.
LABELS = {"Limit max opened windows:": ("Popup blocking settings", (14, 76, 150, 13)),
          "File name:": ("Misc", (32, 93, 54, 13))}


def dark_pixels(s, o, label):
    """The near-black pixels of a label on the shown tab."""
    group, (x, y, w, h) = LABELS[label]
    gx, gy = find(o, group).window[:2]
    picture = s.grab().crop(gx + x, gy + y, w, h)
    return sum(n for c, n in picture.colours().items() if max(c) < 80)


def expect_state(s, o, expected, when):
    got = shown_state(o)
    for name, want in expected.items():
        s.expect(got.get(name) == want, "%s: %r shows %r, not %r" % (when, name, got.get(name), want))


_HIVES = {"HKCU": "HKEY_CURRENT_USER", "HKLM": "HKEY_LOCAL_MACHINE"}


def store(s, values):
    """Stores string values ({key: {name: data}}) before the program
    starts, with one `wine reg import` of a registry file."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key, named in values.items():
        hive, path = key.split("\\", 1)
        lines.append("[%s\\%s]" % (_HIVES[hive], path))
        for name, data in named.items():
            lines.append('"%s"="%s"' % (name, data.replace("\\", "\\\\").replace('"', '\\"')))
        lines.append("")
    path = os.path.join(s.workdir, "stored.reg")
    with open(path, "w", encoding="latin-1", newline="\r\n") as f:
        f.write("\n".join(lines))
    s.reg("import", s._wine_path(path))
    for key, named in values.items():
        there = {n.lower(): v for n, v in (s.reg_query(key) or {}).items()}
        for name, data in named.items():
            if there.get(name.lower()) != ("REG_SZ", data):
                raise E2EError("%s\\%s was not stored: %r" % (key, name, there.get(name.lower())))


def keys_now(s):
    """Every value of the keys the options window writes, by key and by
    lower-case name (the registry ignores the names' case)."""
    return {key: {n.lower(): v for n, v in (s.reg_query(key) or {}).items()} for key in KEYS}


def with_values(before, changes):
    """`before` with the REG_SZ values of `changes` ({key: {name: data}})."""
    after_ = {key: dict(values) for key, values in before.items()}
    for key, values in changes.items():
        for name, data in values.items():
            after_[key][name.lower()] = ("REG_SZ", data)
    return after_


def expect_keys(s, got, want, when):
    for key in KEYS:
        for name in sorted(set(got[key]) | set(want[key])):
            s.expect(got[key].get(name) == want[key].get(name), "%s: %s\\%s is %r, not %r" % (
                when, key, name, got[key].get(name), want[key].get(name)))


# ---------------------------------------------------------------- acting


def click(s, control):
    s.click(*control.centre)
    time.sleep(0.2)


def go_to_tab(s, o, app, tab):
    """Ctrl+Tab, pressed on the window, until the tab is the selected one."""
    want = TABS.index(tab)
    presses = (want - selected_tab(o)) % len(TABS)
    if presses:
        s.key_on(o, *(["ctrl+Tab"] * presses))
        time.sleep(0.3)
        o = options(s, app)
    if selected_tab(o) != want:
        raise E2EError("Ctrl+Tab gave tab %d, not %d (%s)" % (selected_tab(o), want, tab))
    return o


def spin_arrow(s, o, up, times):
    x, y, w, h = fields(o)["spin"].window
    for _ in range(times):
        s.click(x + w // 2, y + (h // 4 if up else h - h // 4))
        time.sleep(0.15)


def replace_text(s, o, field, text):
    """Clicks into an edit field, selects what it holds and types `text`."""
    click(s, field)
    s.key_on(o, "End", "shift+Home")
    ui.type_on(s, o, text)


def open_menu_entry(s, app, entries, caption):
    menu = ui.open_menu(s, app)
    s.click(*ui.menu_entry(s, menu, entries, caption))


def options_from_tray(s, app, entries):
    open_menu_entry(s, app, entries, "&Options")
    return wait_options(s, app, 'the tray menu\'s "Options"')


def click_away(s):
    """A click on the empty desktop closes an open menu, as a person does."""
    s.click(100, 100)
    time.sleep(0.3)


def tray_menu_height(s, app):
    """Opens the tray menu, returns its height, closes it."""
    menu = ui.open_menu(s, app)
    height = s.geometry(menu)[3]
    click_away(s)
    wait_until(lambda: not ui.menus(s, app), 5, what="the tray menu to close")
    return height


def log_in(s, app, password, closed_popups=False):
    open_menu_entry(s, app, ui.tray_entries(closed_popups, "locked"), "Log &in...")
    login = wait_until(lambda: [w for w in s.win32_windows(title="Log in", exe=app.exe_name) if w.visible], 5,
                       what="the log-in window")[0]
    time.sleep(0.3)
    ui.type_on(s, login, password)
    s.key_on(login, "Return")
    wait_until(lambda: not s.windows(name="Log in", cls=app.exe_name), 5, what="the log-in window to close")


def notices(s, app):
    return [w for w in s.win32_windows(cls="TarnwickForm", exe=app.exe_name, controls=True)
            if w.visible and w.client == NOTICE_CLIENT]


def expect_notice(s, app, shot, colour, close_by):
    """The notice window is up in front of the options window, its text in
    `colour`; it is closed by a click on its Close button or a key."""
    note = wait_until(lambda: notices(s, app), 5, what="the notice window (%s)" % shot)[0]
    time.sleep(0.5)
    s.screenshot(shot)
    x, y = note.window[:2]
    picture = s.grab().crop(x + NOTICE_TEXT[0], y + NOTICE_TEXT[1], NOTICE_TEXT[2], NOTICE_TEXT[3])
    s.expect(picture.count(colour) > 100, "%s: the notice's text in %s (%d pixels)" % (shot, colour,
                                                                                       picture.count(colour)))
    other = WHITE if colour == YELLOW else YELLOW
    s.expect(picture.count(other) < 20, "%s: no text in %s (%d pixels)" % (shot, other, picture.count(other)))
    s.expect(options(s, app) is not None, "%s: the options window stays open" % shot)
    if close_by == "click":
        click(s, note.control("Close"))
    else:
        s.key_on(note, close_by)
    wait_until(lambda: not notices(s, app), 5, what="the notice to close (%s)" % shot)
    time.sleep(0.3)


def question(s, app, text):
    boxes = wait_until(lambda: [w for w in s.win32_windows(cls="#32770", exe=app.exe_name, controls=True)
                                if w.visible and text in w.body], 5, what="the question %r" % text)
    time.sleep(0.3)
    return boxes[0]


def answer(s, app, box, by):
    """Answers a Yes/No question by a click on a button or by a key."""
    if by in ("Yes", "No"):
        click(s, box.control(by))
    else:
        s.key_on(box, by)
    wait_until(lambda: not [w for w in s.win32_windows(cls="#32770", exe=app.exe_name) if w.visible], 5,
               what="the question to close")
    time.sleep(0.3)


def show_main(s, app, entries):
    open_menu_entry(s, app, entries, "&Show")
    main = wait_until(lambda: ui.main_window(s, app), 5, what="the main window")
    time.sleep(0.5)
    return main


def options_from_pane(s, app, item):
    """Opens the main window's Options pane and clicks one of its items."""
    # An item's command folds the pane once it has run (the fold is
    # animated).
    wait_until(lambda: (ui.main_window(s, app) or ui.main_window(s, app, visible=False)).h
               < ui.PANE_HEIGHTS["Options"], 5, what="the Options pane to fold")
    time.sleep(0.5)
    x, y, w, h = s.geometry(ui.main_window(s, app))
    s.click(x + w // 2, y + OPTIONS_CAPTION_Y)
    ui.wait_height(s, ui.PANE_HEIGHTS["Options"])
    s.click(x + 40, y + OPTIONS_FIRST_ITEM_Y + ITEM_STEP * PANE_ITEMS.index(item))
    return wait_options(s, app, 'the Options pane\'s "%s"' % item)


# ---------------------------------------------------------------- stories


# What the controls show with nothing stored.
INITIAL = dict(
    {caption: (0, True) for caption in ERASE_BOXES},
    **{START_PAGE: (0, True), WEB: (0, True), FORMS: (0, True), USER_PASS: (0, True), LAST_TYPED: (0, True),
       BLOCKER: (0, True), COUNTER: (0, False), MANUAL: (1, False), MAXIMUM: (0, False),
       HIDDEN_HOT_KEY_BOX: (0, True), RUN: (0, True), AUTO_ERASE: (0, True), SOUND: (0, True),
       CLOSED_POPUPS: (0, True), LEFT_MOUSE: (0, True), "spin": (5, False), "hot key": 0, "panic": 0,
       "password char": ord("*"), "start page enabled": False, "sound enabled": False, "browse enabled": False,
       "play enabled": False, RESET + " enabled": False})


def opening_paths():
    """Nothing stored. The tray menu's "Options" opens the window on the
    Erase tab with every control in its initial state; Ctrl+Tab walks the
    tabs (a picture of each), Escape closes it. Each item of the main
    window's Options pane opens it on its own tab; it is closed by its
    Close button, by the header's hide button and by Escape in turn. No
    tray menu opens while it is up."""
    with Scenario("options_paths") as s:
        app = s.start_tarnwick()
        time.sleep(1)
        entries = ui.tray_entries()
        before = keys_now(s)
        o = options_from_tray(s, app, entries)
        assert selected_tab(o) == 0, "the tray menu opens the Erase tab, not %d" % selected_tab(o)
        s.expect(o.window[2:] == (353, 365), "the window is 353 x 365: %s" % (o.window,))
        expect_state(s, o, INITIAL, "nothing stored")
        s.expect(find(o, "IE Cache").focused, "the first check box has the focus")
        assert ui.right_click_opens_nothing(s, app), "the tray menu opened while the options window is up"
        for i, tab in enumerate(TABS):
            o = go_to_tab(s, o, app, tab)
            s.screenshot("tab-%d-%s" % (i, tab.replace(" ", "-").lower()))
            for label, (group, _) in LABELS.items():
                if find(o, group).visible:
                    s.expect(dark_pixels(s, o, label) == 0, "%r drawn disabled" % label)
            # Only the selected tab's controls are shown.
            for caption, on_tab in ((next(iter(ERASE_BOXES)), "Erase"), (START_PAGE, "Browser"),
                                    (BLOCKER, "Popup Blocker"), (RUN, "Misc")):
                s.expect(find(o, caption).visible == (tab == on_tab), "%r shown on the %s tab: %s" % (
                    caption, tab, find(o, caption).visible))
        s.key_on(o, "Escape")
        wait_options_closed(s, app, "Escape")

        show_main(s, app, entries)
        closers = ["Close", "hide", "Escape"]
        for i, item in enumerate(PANE_ITEMS):
            o = options_from_pane(s, app, item)
            s.expect(selected_tab(o) == i, 'the pane\'s "%s" selects tab %d, not %d' % (item, i, selected_tab(o)))
            how = closers[i % len(closers)]
            if how == "Close":
                click(s, o.control("Close"))
            elif how == "hide":
                click(s, o.control("btnMinimize"))
            else:
                s.key_on(o, "Escape")
            wait_options_closed(s, app, how)
        s.expect(keys_now(s) == before, "opening and closing the window stored nothing")
        ui.open_menu(s, app)  # the tray menu opens again
        click_away(s)


STORED_MAIN = {"Erase": "1", "Popup Blocker": "1", "Popup Counter": "1", "Closed Popups": "1",
               "Hot Key Pressed": "1", "Left Mouse": "1", "Popup Limit": "1", "Limit Edit": "99",
               "Popup Sound": "1", "Sound Path": r"C:\Media\ding.wav", "Last Typed": "1",
               "Hot Key": "Shift+Ctrl+K", "Panic Hot Key": "Ctrl+Alt+B", "Password": "pw", "Run": "1",
               "Start page": "1", "Edit start": "http://old.example/", "Auto Web": "1", "Auto Forms": "1",
               "Disable user name and pass": "1"}
STORED_ERASE = {"IE Cache": "1", "Cookies": "0", "IE History": "1", "IE Address Bar": "0",
                "Recent Documents": "1", "Temp Folder": "0", "Recycle Bin": "1", "Run History": "1",
                "Find History": "1"}
STORED_COUNTERS = {"Counter": "1234", "Counter Block": "7", "Counter Panic": "56789", "Counter PopHot": "1000000"}
IE_START_PAGE = "http://guarded.example/"


def loaded_and_closed():
    """Every setting stored before the start, a password among them: after
    logging in, the window shows each of them (the maximum limit chosen,
    so the stored 99 is not loaded; the start page taken from the browser
    and stored as the guarded page at once; the Stats tab with thousands
    separators, in its picture). Changes closed without Apply store
    nothing and are shown again when the window is reopened from the main
    window; choosing the maximum again and pressing Enter stores every
    control as shown, "Limit Edit" as 15."""
    with Scenario("options_loaded") as s:
        store(s, {MAIN_KEY: STORED_MAIN, ERASE_KEY: STORED_ERASE, COUNTER_KEY: STORED_COUNTERS,
                  IE_MAIN: {"Start Page": IE_START_PAGE}})
        app = s.start_tarnwick()
        time.sleep(1)
        s.expect(s.reg_query(MAIN_KEY, "Edit start") == IE_START_PAGE,
                 "the browser's start page is the guarded one from the start: %r" % s.reg_query(MAIN_KEY,
                                                                                                "Edit start"))
        height = tray_menu_height(s, app)
        s.expect(height == ui.menu_height(ui.tray_entries(True, "locked")),
                 "locked, with the closed-popups entry: %d high" % height)
        log_in(s, app, "pw", closed_popups=True)
        entries = ui.tray_entries(True, "logged in")
        o = options_from_tray(s, app, entries)
        loaded = dict({caption: (int(STORED_ERASE[name]), True) for caption, name in ERASE_BOXES.items()},
                      **{START_PAGE: (1, True), WEB: (1, True), FORMS: (1, True), USER_PASS: (1, True),
                         LAST_TYPED: (1, True), BLOCKER: (1, True), COUNTER: (1, True), MANUAL: (0, True),
                         MAXIMUM: (1, True), HIDDEN_HOT_KEY_BOX: (1, True), RUN: (1, True), AUTO_ERASE: (1, True),
                         SOUND: (1, True), CLOSED_POPUPS: (1, True), LEFT_MOUSE: (1, True), "spin": (5, False),
                         "hot key": SHIFT | CTRL | ord("K"), "panic": CTRL | ALT | ord("B"),
                         "password char": ord("*"), "start page enabled": True, "sound enabled": True,
                         "browse enabled": True, "play enabled": True, RESET + " enabled": True})
        expect_state(s, o, loaded, "loaded")
        s.expect(not find(o, HIDDEN_HOT_KEY_BOX).shown, "the hidden check box is never shown")
        for i, tab in enumerate(TABS):
            o = go_to_tab(s, o, app, tab)
            s.screenshot("loaded-tab-%d-%s" % (i, tab.replace(" ", "-").lower()))
            for label, (group, _) in LABELS.items():
                if find(o, group).visible:
                    s.expect(dark_pixels(s, o, label) > 30, "%r drawn enabled" % label)
        before = keys_now(s)

        # Changes, then Close: nothing stored.
        o = go_to_tab(s, o, app, "Erase")
        click(s, find(o, "IE History"))
        o = go_to_tab(s, o, app, "Browser")
        click(s, find(o, FORMS))
        o = go_to_tab(s, o, app, "Popup Blocker")
        click(s, find(o, MANUAL))
        spin_arrow(s, o, up=True, times=1)
        o = options(s, app)
        changed = dict(loaded, **{"IE History": (0, True), FORMS: (0, True), MANUAL: (1, True), MAXIMUM: (0, True),
                                  "spin": (6, True)})
        expect_state(s, o, changed, "changed")
        click(s, o.control("Close"))
        wait_options_closed(s, app, "Close")
        expect_keys(s, keys_now(s), before, "after Close")

        # Reopened from the main window's pane: the changes are still there.
        show_main(s, app, entries)
        o = options_from_pane(s, app, "Popup Blocker")
        expect_state(s, o, changed, "reopened")
        s.screenshot("reopened-popup-blocker")

        # The maximum again, and Enter for Apply.
        click(s, find(o, MAXIMUM))
        o = options(s, app)
        expect_state(s, o, {MANUAL: (0, True), MAXIMUM: (1, True), "spin": (6, False)}, "maximum again")
        s.key_on(o, "Return")
        wait_options_closed(s, app, "Enter")
        want = with_values(before, {
            MAIN_KEY: dict(STORED_MAIN, **{"Popup Limit": "1", "Limit Edit": "15", "Auto Forms": "0",
                                            "Edit start": IE_START_PAGE}),
            ERASE_KEY: dict(STORED_ERASE, **{"IE History": "0"}),
            IE_MAIN: {"Use FormSuggest": "yes", "FormSuggest Passwords": "no"},
            AUTOCOMPLETE: {"AutoSuggest": "no"},
            RUN_KEY: {"Tarnwick": RUN_ENTRY},
        })
        expect_keys(s, keys_now(s), want, "after Enter")
        # The stored password locks the menu again at Apply.
        height = tray_menu_height(s, app)
        s.expect(height == ui.menu_height(ui.tray_entries(True, "locked")), "locked again: %d high" % height)


def apply_refusals_default():
    """Apply refuses an automatic erase with only the Temp Folder chosen,
    and then the whole address bar together with the last typed URL,
    each time in the notice window, storing nothing. With those mended,
    Apply stores exactly the values the clicks and keys asked for (a check
    box reached by Tab and ticked by Space, a start page and a password
    typed, the spin's arrows, a hot key pressed in its field, another
    pressed without a modifier). The password locks the menu; after
    logging in, Default asks: No changes nothing, Yes stores the
    defaults, shows them, and leaves the menu as it was."""
    with Scenario("options_apply") as s:
        store(s, {MAIN_KEY: {"Popup Limit": "0", "Limit Edit": "99", "Popup Sound": "1",
                             "Sound Path": r"C:\Media\chime.wav", "Hot Key": "Shift+Ctrl+A",
                             "Panic Hot Key": "Shift+Ctrl+P"}})
        app = s.start_tarnwick()
        time.sleep(1)
        entries = ui.tray_entries()
        o = options_from_tray(s, app, entries)
        expect_state(s, o, {MANUAL: (1, False), "spin": (15, False), SOUND: (1, True), "sound enabled": True,
                            "play enabled": True, "hot key": SHIFT | CTRL | ord("A"),
                            "panic": SHIFT | CTRL | ord("P")}, "loaded")
        start = keys_now(s)

        # First refusal: an automatic erase with only the Temp Folder.
        o = go_to_tab(s, o, app, "Misc")
        click(s, find(o, AUTO_ERASE))
        o = go_to_tab(s, o, app, "Erase")
        click(s, find(o, "Temp Folder"))
        o = options(s, app)
        expect_state(s, o, {"Temp Folder": (1, True), AUTO_ERASE: (1, True)}, "before the first refusal")
        s.key_on(o, "Return")
        expect_notice(s, app, "refusal-erase", YELLOW, "click")
        expect_keys(s, keys_now(s), start, "after the first refusal")

        # Second refusal: the whole address bar and the last typed URL.
        click(s, find(o, "IE Address Bar"))
        o = go_to_tab(s, o, app, "Browser")
        click(s, find(o, LAST_TYPED))
        click(s, find(o, "Apply"))
        expect_notice(s, app, "refusal-address", WHITE, "Escape")
        expect_keys(s, keys_now(s), start, "after the second refusal")

        # The settings wanted, all tabs.
        o = go_to_tab(s, o, app, "Erase")
        click(s, find(o, "IE Address Bar"))  # cleared again
        click(s, find(o, "IE Cache"))
        s.key_on(o, "Tab")
        o = options(s, app)
        s.expect(find(o, "Cookies").focused, "Tab moves the focus from the clicked box to the next one")
        s.key_on(o, "space")
        for caption in ("Run History", "Find History"):
            click(s, find(o, caption))
        o = options(s, app)
        expect_state(s, o, {"IE Cache": (1, True), "Cookies": (1, True), "IE History": (0, True),
                            "IE Address Bar": (0, True), "Recent Documents": (0, True), "Temp Folder": (1, True),
                            "Empty Recycle Bin": (0, True), "Run History": (1, True), "Find History": (1, True)},
                     "the Erase tab")

        o = go_to_tab(s, o, app, "Browser")
        click(s, find(o, START_PAGE))
        o = options(s, app)
        s.expect(fields(o)["start page"].enabled, "the start page field can be used once its box is ticked")
        replace_text(s, o, fields(o)["start page"], "http://home.example/")
        for caption in (WEB, USER_PASS):
            click(s, find(o, caption))

        o = go_to_tab(s, o, app, "Popup Blocker")
        click(s, find(o, BLOCKER))
        o = options(s, app)
        expect_state(s, o, {COUNTER: (0, True), MANUAL: (1, True), MAXIMUM: (0, True), "spin": (15, True),
                            RESET + " enabled": False}, "the blocker ticked")
        click(s, find(o, COUNTER))
        spin_arrow(s, o, up=False, times=3)
        click(s, fields(o)["hot key"])
        s.key_on(o, "ctrl+shift+j")
        o = options(s, app)
        expect_state(s, o, {COUNTER: (1, True), RESET + " enabled": True, "spin": (12, True),
                            "hot key": SHIFT | CTRL | ord("J")}, "the Popup Blocker tab")

        o = go_to_tab(s, o, app, "Misc")
        click(s, find(o, RUN))
        click(s, find(o, SOUND))  # cleared: its stored path stays
        click(s, fields(o)["panic"])
        s.key_on(o, "F8")  # no modifier: Ctrl is added
        click(s, fields(o)["password"])
        ui.type_on(s, o, "k3y")
        o = options(s, app)
        expect_state(s, o, {RUN: (1, True), AUTO_ERASE: (1, True), SOUND: (0, True), "sound enabled": False,
                            "browse enabled": False, "play enabled": True, "panic": CTRL | 0x77},
                     "the Misc tab")
        s.screenshot("before-apply")
        click(s, o.control("Apply"))
        wait_options_closed(s, app, "Apply")
        applied = with_values(start, {
            MAIN_KEY: {"Popup Blocker": "1", "Popup Counter": "1", "Closed Popups": "0", "Hot Key Pressed": "0",
                       "Left Mouse": "0", "Popup Limit": "0", "Limit Edit": "12", "Popup Sound": "0",
                       "Last Typed": "1", "Hot Key": "Shift+Ctrl+J", "Panic Hot Key": "Ctrl+F8", "Password": "k3y",
                       "Run": "1", "Erase": "1", "Start Page": "1", "Edit start": "http://home.example/",
                       "Auto Web": "1", "Auto Forms": "0", "Disable user name and pass": "1"},
            ERASE_KEY: {"IE Cache": "1", "Cookies": "1", "IE History": "0", "IE Address Bar": "0",
                        "Recent Documents": "0", "Temp Folder": "1", "Recycle Bin": "0", "Run History": "1",
                        "Find History": "1"},
            IE_MAIN: {"Use FormSuggest": "yes", "FormSuggest Passwords": "no"},
            AUTOCOMPLETE: {"AutoSuggest": "no"},
            RUN_KEY: {"Tarnwick": RUN_ENTRY},
        })
        expect_keys(s, keys_now(s), applied, "after Apply")
        height = tray_menu_height(s, app)
        s.expect(height == ui.menu_height(ui.tray_entries(False, "locked")), "the password locks the menu at "
                 "once: %d high" % height)

        # Default, after logging in: No changes nothing, Yes the defaults.
        log_in(s, app, "k3y")
        entries = ui.tray_entries(False, "logged in")
        o = options_from_tray(s, app, entries)
        applied = keys_now(s)  # the log-in stored "Pass Temp"
        click(s, o.control("Default"))
        box = question(s, app, "Are you sure you want to restore default settings?")
        s.screenshot("default-question")
        answer(s, app, box, "n")
        expect_keys(s, keys_now(s), applied, "after Default answered No")
        o = options(s, app)
        click(s, o.control("Default"))
        answer(s, app, question(s, app, "Are you sure you want to restore default settings?"), "Yes")
        ie_start = applied[IE_MAIN].get("start page", ("", ""))[1]
        defaults = with_values(applied, {
            MAIN_KEY: {"Popup Blocker": "1", "Popup Counter": "1", "Closed Popups": "1", "Hot Key Pressed": "1",
                       "Left Mouse": "0", "Popup Limit": "0", "Limit Edit": "5", "Popup Sound": "0",
                       "Sound Path": "", "Last Typed": "0", "Hot Key": "Shift+Ctrl+A",
                       "Panic Hot Key": "Shift+Ctrl+P", "Password": "", "Run": "1", "Erase": "0",
                       "Start Page": "1", "Edit start": ie_start, "Auto Web": "0", "Auto Forms": "0",
                       "Disable user name and pass": "0"},
            ERASE_KEY: {"IE Cache": "1", "Cookies": "1", "IE History": "1", "IE Address Bar": "1",
                        "Recent Documents": "1", "Temp Folder": "1", "Recycle Bin": "1", "Run History": "0",
                        "Find History": "0"},
            IE_MAIN: {"Use FormSuggest": "yes", "FormSuggest Passwords": "yes"},
            AUTOCOMPLETE: {"AutoSuggest": "yes"},
            RUN_KEY: {"Tarnwick": RUN_ENTRY},
        })
        expect_keys(s, keys_now(s), defaults, "after Default")
        o = options(s, app)
        s.expect(o is not None, "the window stays open after Default")
        expect_state(s, o, dict(
            {caption: (0 if caption in ("Run History", "Find History") else 1, True) for caption in ERASE_BOXES},
            **{START_PAGE: (1, True), WEB: (0, True), FORMS: (0, True), USER_PASS: (0, True), LAST_TYPED: (0, True),
               BLOCKER: (1, True), COUNTER: (1, True), MANUAL: (1, True), MAXIMUM: (0, True), "spin": (5, True),
               HIDDEN_HOT_KEY_BOX: (1, True), RUN: (1, True), AUTO_ERASE: (0, True), SOUND: (0, True),
               CLOSED_POPUPS: (1, True), LEFT_MOUSE: (0, True), "hot key": SHIFT | CTRL | ord("A"),
               "panic": SHIFT | CTRL | ord("P"), "start page enabled": True, "sound enabled": False,
               "browse enabled": False, "play enabled": False, RESET + " enabled": True}), "after Default")
        s.screenshot("after-default")
        click(s, o.control("Close"))
        wait_options_closed(s, app, "Close")
        # Default leaves the lock as it was (logged in), and shows the
        # closed-popups entry at once.
        height = tray_menu_height(s, app)
        s.expect(height == ui.menu_height(ui.tray_entries(True, "logged in")),
                 "logged in, with the closed-popups entry: %d high" % height)


def live_controls():
    """Before any Apply: a left click on the tray icon opens nothing until
    "Enable left mouse button" is ticked, and then opens the menu;
    "Show Closed Popups in tray menu" puts the closed-popups entry into
    it. Reset counter answered No keeps the count, answered Yes sets it to
    0 at once, in the menu's entry and on the Stats tab. Cleared again
    (one of them by Tab and Space), the entry goes and the left button
    opens nothing. None of it stores a setting."""
    with Scenario("options_live") as s:
        store(s, {MAIN_KEY: {"Popup Blocker": "1", "Popup Counter": "1"}, COUNTER_KEY: {"Counter": "42"}})
        app = s.start_tarnwick()
        time.sleep(1)
        start = keys_now(s)
        plain_height = tray_menu_height(s, app)
        s.expect(plain_height == ui.menu_height(ui.tray_entries()), "no closed-popups entry: %d" % plain_height)
        s.click(*app.icon)
        time.sleep(1.5)
        s.expect(not ui.menus(s, app), "a left click opens no menu before the box is ticked")
        click_away(s)

        o = options_from_tray(s, app, ui.tray_entries())
        o = go_to_tab(s, o, app, "Misc")
        click(s, find(o, CLOSED_POPUPS))
        click(s, find(o, LEFT_MOUSE))
        click(s, options(s, app).control("Close"))
        wait_options_closed(s, app, "Close")
        s.click(*app.icon)
        menu = wait_until(lambda: ui.menus(s, app), 5, what="a left click on the icon to open the menu")[0]
        time.sleep(0.3)
        s.screenshot("menu-by-left-click-42")
        height = s.geometry(menu)[3]
        s.expect(height == ui.menu_height(ui.tray_entries(True)), "the closed-popups entry shown: %d high" % height)
        click_away(s)

        # Reset counter: No, then Yes.
        o = options_from_tray(s, app, ui.tray_entries(True))
        o = go_to_tab(s, o, app, "Stats")
        s.screenshot("stats-before-reset")
        o = go_to_tab(s, o, app, "Popup Blocker")
        click(s, find(o, RESET))
        answer(s, app, question(s, app, "Are you sure you want to reset popup counter?"), "No")
        s.expect(s.reg_query(COUNTER_KEY, "Counter") == "42", "No keeps the count: %r" % s.reg_query(COUNTER_KEY,
                                                                                                      "Counter"))
        click(s, find(o, RESET))
        box = question(s, app, "Are you sure you want to reset popup counter?")
        s.screenshot("reset-question")
        answer(s, app, box, "y")
        s.expect(s.reg_query(COUNTER_KEY, "Counter") == "0", "Yes sets the count to 0: %r" % s.reg_query(
            COUNTER_KEY, "Counter"))
        o = go_to_tab(s, o, app, "Stats")
        s.screenshot("stats-after-reset")
        s.key_on(o, "Escape")
        wait_options_closed(s, app, "Escape")
        ui.open_menu(s, app)
        s.screenshot("menu-closed-popups-0")
        click_away(s)

        # Cleared again, the closed-popups box by the keyboard: Tab from
        # the first box of the Misc tab passes the run, erase and sound
        # boxes (the sound's field and buttons are disabled), and Space
        # clears it.
        o = options_from_tray(s, app, ui.tray_entries(True))
        o = go_to_tab(s, o, app, "Misc")
        s.expect(find(o, RUN).focused, "Ctrl+Tab gives the tab's first box the focus")
        s.key_on(o, "Tab", "Tab", "Tab")
        o = options(s, app)
        s.expect(find(o, CLOSED_POPUPS).focused, "three Tabs reach the closed-popups box: %s" % [
            c for c in o.controls if c.focused])
        s.key_on(o, "space")
        click(s, find(o, LEFT_MOUSE))
        o = options(s, app)
        expect_state(s, o, {CLOSED_POPUPS: (0, True), LEFT_MOUSE: (0, True)}, "cleared")
        s.key_on(o, "Escape")
        wait_options_closed(s, app, "Escape")
        height = tray_menu_height(s, app)
        s.expect(height == plain_height, "the closed-popups entry gone: %d high" % height)
        s.click(*app.icon)
        time.sleep(1.5)
        s.expect(not ui.menus(s, app), "a left click opens no menu once the box is cleared again")
        click_away(s)

        want = with_values(start, {COUNTER_KEY: {"Counter": "0"}})
        expect_keys(s, keys_now(s), want, "after the live controls")


def scenario():
    opening_paths()
    live_controls()
    loaded_and_closed()
    apply_refusals_default()


if __name__ == "__main__":
    harness.main(scenario)
