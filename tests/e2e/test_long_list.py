"""A long-time user's block list: 20,000 entries in the list file beside the
program, the popup blocker on and the popup hot key Shift+Ctrl+A stored.

The tray menu opens on a right click soon after the tray icon appears; a
stand-in browser window whose title is one of the entries is closed on the
next tick of the closing loop; the popup hot key on another window in
front adds its short title, and the list file then holds 20,001 lines in
the list's order; the block list window opens from the tray menu within
two seconds, showing every entry."""

import os
import random
import time

import harness
from harness import Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY
from browsers import Browser, block_file

ENTRIES = 20000


def entries():
    """Titles in no order, two of them equal but for letter case."""
    rng = random.Random(16)
    titles = ["Offer %05d %s" % (i, "".join(rng.choice("abcdefghij") for _ in range(8))) for i in range(ENTRIES - 1)]
    titles.append(titles[100].upper())
    rng.shuffle(titles)
    return titles


def list_order(titles):
    """The block list's order: ascending, letter case not deciding, equal
    lines as they came."""
    return sorted(titles, key=lambda t: t.lower())


def long_list():
    with Scenario("long_list") as s:
        s.reg_add(MAIN_KEY, "Popup Blocker", "1")
        s.reg_add(MAIN_KEY, "Hot Key", "Shift+Ctrl+A")
        titles = entries()
        exe = s.install(s.exe)
        with open(os.path.join(os.path.dirname(exe), "tarnwick_block.txt"), "wb") as f:
            f.write("".join(t + "\r\n" for t in titles).encode("latin-1"))

        app = s.start(exe)
        t = time.monotonic()
        menu = ui.open_menu(s, app, timeout=10)
        harness.log("tray menu open %.2f s after the icon" % (time.monotonic() - t))
        s.screenshot("menu")
        ui.close_menus(s, app)

        # A listed page: closed by the next tick, the unlisted one stays.
        listed = titles[1234]
        pages = Browser(s, "pages", listed, "Not listed")
        wait_until(lambda: pages.closed() == [pages.titles[0]], 3, what="the listed window closed")
        time.sleep(1.5)
        assert pages.closed() == [pages.titles[0]], pages.closed()

        deals = Browser(s, "deals", "Deals")
        deals.bring_to_front(deals.titles[0])
        s.move(500, 700)
        s.key("shift+ctrl+a")
        want = list_order(titles + ["Deals"])
        wait_until(lambda: block_file(s, app) == "".join(t + "\r\n" for t in want).encode("latin-1"), 5,
                   what="Deals in the list file, 20,001 lines in the list's order")

        t = time.monotonic()
        s.click(*ui.menu_entry(s, ui.open_menu(s, app), ui.tray_entries(), "Show Block &List"))
        wait_until(lambda: s.windows(name="Block List", cls=app.exe_name), 10, interval=0.05,
                   what="the block list window")
        opened = time.monotonic() - t
        harness.log("block list window up %.2f s after the click" % opened)
        s.expect(opened < 2.0, "the block list window opened within 2 s (%.2f s)" % opened)
        # The window lister asks for every line across processes: it takes a while.
        window = s.win32_windows(title="Block List", exe=app.exe_name, controls=True, timeout=120)[0]
        boxes = [c for c in window.controls if c.cls == "ListBox"]
        assert boxes[1].lines == want, "the block list shows %d lines" % len(boxes[1].lines)
        s.click(*boxes[1].centre)  # a person chooses a line, then presses Escape
        time.sleep(0.5)
        s.screenshot("block-list")
        s.key_on(window, "Escape")
        wait_until(lambda: not s.windows(name="Block List", cls=app.exe_name), 5,
                   what="the block list window to close")


if __name__ == "__main__":
    harness.main(long_list)
