"""The popup blocker at work, with stand-in browser windows that log every
WM_CLOSE they get.

The block list window, opened from the tray menu: the open browser windows
on the left; Add and Remove with nothing selected answer with information
notices; a double-click adds a title, a second one warns that it is listed;
Alt+A adds the line chosen with the arrow keys; Remove by double-click;
Save through the real save dialog, Clear all answered No then Yes, Load
through the real open dialog; the list file beside the program rewritten
byte for byte by every change and left alone by the load; Escape closes the
window, and the tray menu, dead while it was up, opens again.

The closing loop, switched on in the options window without Apply, with
"Ads" listed, counting on and "Counter" stored as 1234566: an "Ads" window
opened beside a "News" one is closed, with the chosen sound at the sound
device and a tray flash, and the tray menu reads "Closed popups:
1,234,567"; two more "Ads" windows go one per tick, the topmost first, and
"Counter" has risen by three. With counting switched off and the sound
file emptied, a window still closes and flashes the tray, but nothing is
played and "Counter" stays; with the blocker switched off nothing closes.

The open-window limit, limit 2 stored, the blocker switched on in the
options window: of five visible browser windows the three topmost are
asked to close, one per tick, while hidden, owned and
tool windows are neither counted nor closed; a window whose title is 200
characters long is closed and counted once; with "Set the max limit"
clicked, eighteen windows are brought down to fifteen."""

import os
import time

import harness
from harness import E2EError, Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY
from browsers import Browser, SUFFIX, block_file, counter
import sound_device
from sound_device import sine_wav, size

# The system font's line in a list box, and the list's border.
LIST_LINE, LIST_EDGE = 12, 2
QUIET = 3.0  # long enough for three ticks of the closing loop


def block_list_window(s, app):
    return wait_until(lambda: s.win32_windows(title="Block List", exe=app.exe_name, controls=True), 10,
                      what="the block list window")[0]


def lists(s, app):
    """The two list boxes of the block list window: open windows, block list."""
    boxes = [c for c in block_list_window(s, app).controls if c.cls == "ListBox"]
    if len(boxes) != 2:
        raise E2EError("list boxes: %s" % boxes)
    return boxes


def line_spot(box, index):
    x, y, w, h = box.window
    return x + w // 3, y + LIST_EDGE + LIST_LINE * index + LIST_LINE // 2


def wait_lists(s, app, left=None, right=None, what=""):
    def now():
        a, b = lists(s, app)
        return (left is None or a.lines == left) and (right is None or b.lines == right)
    wait_until(now, 5, what="the lists %s" % what)


def press(s, app, caption):
    ui.click(s, block_list_window(s, app).control(caption))


def file_dialog(s, app, title, path):
    dialog = wait_until(lambda: s.windows(name=title, cls=app.exe_name), 10, what="the dialog %s" % title)[0]
    time.sleep(0.5)
    s.screenshot(title.split()[0].lower() + "-dialog")
    ui.type_on(s, dialog, path)
    s.key_on(dialog, "Return")
    wait_until(lambda: not s.windows(name=title, cls=app.exe_name), 5, what="the dialog %s to close" % title)
    time.sleep(0.3)


def the_window():
    with Scenario("blocklist_window") as s:
        long_page = "A very long page title that runs on well past fifty characters of text"
        Browser(s, "pages", "News", "Ads", long_page)
        os.makedirs(os.path.join(s.prefix, "drive_c", "lists"), exist_ok=True)
        saved = os.path.join(s.prefix, "drive_c", "lists", "saved.txt")
        app = s.start_tarnwick()
        time.sleep(1)
        s.click(*ui.menu_entry(s, ui.open_menu(s, app), ui.tray_entries(), "Show Block &List"))
        urls, blocked = lists(s, app)
        assert sorted(urls.lines) == sorted([long_page, "News", "Ads"]) and blocked.lines == [], (urls, blocked)
        time.sleep(0.5)
        s.screenshot("opened")
        assert ui.right_click_opens_nothing(s, app), "the tray menu opened while the block list is up"

        press(s, app, "Add >>")
        ui.expect_notice(s, app, "nothing-to-add", ui.WHITE, "Close")
        press(s, app, "<< Remove")
        ui.expect_notice(s, app, "nothing-to-remove", ui.WHITE, "Escape")

        s.double_click(*line_spot(urls, urls.lines.index("Ads")))
        wait_lists(s, app, right=["Ads"], what="after a double-click on Ads")
        assert block_file(s, app) == b"Ads\r\n", block_file(s, app)
        s.double_click(*line_spot(urls, urls.lines.index("Ads")))
        ui.expect_notice(s, app, "listed-already", ui.YELLOW, "Return")

        # The arrow keys choose the long title's line; Alt+A adds it.
        s.click(*line_spot(urls, 0))
        want = urls.lines.index(long_page)
        s.key_on(block_list_window(s, app), "Home", *["Down"] * want)
        wait_until(lambda: lists(s, app)[0].state == want, 5, what="the long title selected by the keyboard")
        s.key_on(block_list_window(s, app), "alt+a")
        wait_lists(s, app, right=[long_page, "Ads"], what="after Alt+A")
        assert block_file(s, app) == (long_page + "\r\nAds\r\n").encode(), block_file(s, app)
        press(s, app, "Add >>")
        ui.expect_notice(s, app, "listed-already-long", ui.YELLOW, "Close")

        s.double_click(*line_spot(lists(s, app)[1], 1))
        wait_lists(s, app, right=[long_page], what="after a double-click on Ads in the block list")
        assert block_file(s, app) == (long_page + "\r\n").encode(), block_file(s, app)

        press(s, app, "Save")
        file_dialog(s, app, "Export Block List...", r"C:\lists\saved.txt")
        with open(saved, "rb") as f:
            assert f.read() == (long_page + "\r\n").encode()
        ui.ask(s, app, block_list_window(s, app).control("Clear all"), "clear Block List", "No", "clear-question")
        wait_lists(s, app, right=[long_page], what="after Clear all answered No")
        ui.ask(s, app, block_list_window(s, app).control("Clear all"), "clear Block List", "Yes")
        wait_lists(s, app, right=[], what="after Clear all answered Yes")
        assert block_file(s, app) == b"", block_file(s, app)
        press(s, app, "Load")
        file_dialog(s, app, "Import Block List...", r"C:\lists\saved.txt")
        wait_lists(s, app, right=[long_page], what="after Load")
        assert block_file(s, app) == b"", "a load leaves the list file alone"
        s.screenshot("loaded")

        s.key_on(block_list_window(s, app), "Escape")
        wait_until(lambda: not s.windows(name="Block List", cls=app.exe_name), 5, what="Escape to close the window")
        ui.open_menu(s, app)
        ui.close_menus(s, app)


def expect_closed(browser, titles, what):
    wait_until(lambda: browser.closed() == titles, 5, what="%s: WM_CLOSE to %s" % (what, titles))


def wait_counter(s, name, value):
    wait_until(lambda: counter(s, name) == value, 5, what="%s to read %s (%s)" % (name, value, counter(s, name)))


def closing_loop():
    with Scenario("closing_loop", own_home=True) as s:
        played = sound_device.file_sink(s)
        samples = sine_wav(os.path.join(s.prefix, "drive_c", "Sounds", "chime.wav"))
        os.makedirs(os.path.join(s.prefix, "drive_c", "Tarnwick"), exist_ok=True)
        with open(os.path.join(s.prefix, "drive_c", "Tarnwick", "tarnwick_block.txt"), "wb") as f:
            f.write(b"Ads\r\n")
        for name, value in (("Closed Popups", "1"), ("Popup Counter", "1"), ("Popup Sound", "1"),
                            ("Sound Path", r"C:\Sounds\chime.wav")):
            s.reg_add(MAIN_KEY, name, value)
        s.reg_add(MAIN_KEY + r"\counter", "Counter", "1234566")
        app = s.start_tarnwick()
        time.sleep(1)
        normal = s.slot_image(app.icon_slot)
        ui.click_in_options(s, app, "Popup Blocker", ["Enable popup blocker"], "Close")

        with s.watch_slot(app.icon_slot) as tray:
            first = Browser(s, "first", "News", "Ads")
            expect_closed(first, ["Ads" + SUFFIX], "one Ads window")
            wait_until(lambda: size(played) >= len(samples), 5, what="the sound of the close")
            time.sleep(1)
        harness.log("%d of %d tray pictures differ" % (tray.changed_from(normal), len(tray.pictures)))
        s.expect(tray.changed_from(normal) > 0, "the tray icon did not flash for the close")
        wait_counter(s, "Counter", "1234567")
        ui.open_menu(s, app)
        s.screenshot("closed-popups-1,234,567")
        ui.close_menus(s, app)

        # Two more: the topmost first, the other a tick later.
        second = Browser(s, "second", "Ads", "Ads")
        expect_closed(second, ["Ads" + SUFFIX] * 2, "two Ads windows")
        wait_counter(s, "Counter", "1234569")
        wait_until(lambda: size(played) >= 3 * len(samples), 5, what="three sounds at the device")
        assert first.closed() == ["Ads" + SUFFIX] and s.windows(name="News" + SUFFIX), "News stays"

        # Counting off and no sound file: still closed and flashed, nothing
        # counted or played.
        win = ui.open_options(s, app, ui.OPTIONS_TABS.index("Popup Blocker"))
        ui.click(s, win.control("Enable popup counter"))
        s.key_on(win, "ctrl+Tab")

        def sound_field():
            found = s.win32_windows(title="Options", exe=app.exe_name, controls=True)
            return [c for c in found[0].controls if c.cls == "Edit" and c.visible
                    and c.text.lower().endswith("chime.wav")] if found else []
        ui.click(s, wait_until(sound_field, 5, what="the sound file's field on the Misc tab")[0])
        s.key_on(win, "End", "shift+Home", "Delete")
        wait_until(lambda: not sound_field(), 5, what="the sound file's field emptied")
        ui.click(s, win.control("Close"))
        wait_until(lambda: not s.windows(name="Options", cls=app.exe_name), 5, what="the options window to close")
        heard = size(played)
        with s.watch_slot(app.icon_slot) as tray:
            third = Browser(s, "third", "Ads")
            expect_closed(third, ["Ads" + SUFFIX], "Ads with counting off")
            time.sleep(1)
        harness.log("%d of %d tray pictures differ" % (tray.changed_from(normal), len(tray.pictures)))
        s.expect(tray.changed_from(normal) > 0, "the tray icon did not flash without a sound file")
        assert size(played) == heard, "a sound without a file: %d bytes more" % (size(played) - heard)
        assert counter(s, "Counter") == "1234569", counter(s, "Counter")

        ui.click_in_options(s, app, "Popup Blocker", ["Enable popup blocker"], "Close")
        fourth = Browser(s, "fourth", "Ads")
        time.sleep(QUIET)
        assert fourth.closed() == [], "closed while the blocker is off: %s" % fourth.closed()


def window_limit():
    with Scenario("window_limit") as s:
        for name, value in (("Popup Limit", "0"), ("Limit Edit", "2")):
            s.reg_add(MAIN_KEY, name, value)
        app = s.start_tarnwick()
        time.sleep(1)
        uncounted = [("hidden-window", "Hidden" + SUFFIX), ("owned-window", "Owned" + SUFFIX),
                     ("tool-window", "Tool" + SUFFIX)]
        pages = Browser(s, "pages", *uncounted, "P1", "P2", "P3", "P4", "P5")
        # Switched on once every window is there, so the first tick sees them all.
        ui.click_in_options(s, app, "Popup Blocker", ["Enable popup blocker"], "Close")
        # Made in turn, the last made is the topmost.
        expect_closed(pages, ["P5" + SUFFIX, "P4" + SUFFIX, "P3" + SUFFIX], "the three topmost")
        wait_counter(s, "Counter Max", "3")
        time.sleep(QUIET)
        assert len(pages.closed()) == 3, pages.closed()
        assert counter(s, "Counter Max") == "3", counter(s, "Counter Max")
        s.screenshot("two-left")

        long_title = ("Long " * 40)[:200]
        long = Browser(s, "long", ("window", long_title))
        expect_closed(long, [long_title], "the 200-character title")
        time.sleep(QUIET)
        assert counter(s, "Counter Max") == "4", "counted once: %s" % counter(s, "Counter Max")

        ui.click_in_options(s, app, "Popup Blocker", ["Set the max limit (15 windows)"], "Close")
        many = Browser(s, "many", *["M%02d" % i for i in range(16)])
        wait_until(lambda: len(many.closed()) == 3, 5, what="three of eighteen closed")
        time.sleep(QUIET)
        assert len(many.closed()) == 3, many.closed()
        assert counter(s, "Counter Max") == "7", counter(s, "Counter Max")
        s.screenshot("fifteen")


def scenario():
    the_window()
    closing_loop()
    window_limit()


if __name__ == "__main__":
    harness.main(scenario)
