"""The popup blocker for every browser version since 6, with "Ads" listed
and the blocker on: stand-in browser windows titled the way versions 6, 7
to 9 and 10 to 11 title their pages, and their InPrivate windows, are each
closed, one a tick; "Ads and more - Internet Explorer" and a window of
another class titled "Ads - Internet Explorer" stay. With the browser's
"Window Title" set to "Acme Web" while the program runs, "Ads - Acme Web"
is closed too. The popup hot key on "Deals - Internet Explorer" in front
lists "Deals"."""

import os
import time

import harness
from harness import Scenario, wait_until
from tarnwick_ui import MAIN_KEY
from browsers import Browser, block_file

IE_MAIN = r"HKCU\Software\Microsoft\Internet Explorer\Main"
CLOSED = [
    "Ads - Microsoft Internet Explorer",
    "Ads - Windows Internet Explorer",
    "Ads - Internet Explorer",
    "Ads - Windows Internet Explorer - [InPrivate]",
    "Ads - Internet Explorer - [InPrivate]",
    "Ads - [InPrivate] - Internet Explorer",
]
STAYS = ["Ads and more - Internet Explorer"]


def versions():
    with Scenario("browser_versions") as s:
        s.reg_add(MAIN_KEY, "Popup Blocker", "1")
        s.reg_add(MAIN_KEY, "Popup Limit", "1")  # the largest cap: no window closed for their number
        s.reg_add(MAIN_KEY, "Hot Key", "Shift+Ctrl+A")
        exe = s.install(s.exe)
        with open(os.path.join(os.path.dirname(exe), "tarnwick_block.txt"), "wb") as f:
            f.write(b"Ads\r\n")
        app = s.start(exe)

        pages = Browser(s, "pages", *[("window", t) for t in CLOSED + STAYS])
        other = Browser(s, "other", ("class", "OtherFrame"), ("window", "Ads - Internet Explorer"))
        wait_until(lambda: sorted(pages.closed()) == sorted(CLOSED), 15, what="every version's Ads window closed")
        time.sleep(2.5)
        assert sorted(pages.closed()) == sorted(CLOSED), pages.closed()
        assert other.closed() == [], "a window of another class: %s" % other.closed()
        s.screenshot("left-open")

        s.reg_add(IE_MAIN, "Window Title", "Acme Web")
        branded = Browser(s, "branded", ("window", "Ads - Acme Web"), ("window", "Ads - Acme Web - [InPrivate]"))
        wait_until(lambda: len(branded.closed()) == 2, 8, what="the branded windows closed")

        deals = Browser(s, "deals", ("window", "Deals - Internet Explorer"))
        deals.bring_to_front(deals.titles[0])
        s.move(500, 700)
        s.key("shift+ctrl+a")
        wait_until(lambda: block_file(s, app) == b"Ads\r\nDeals\r\n", 5, what="Deals in the block list file")
        harness.log("left open: %s, %s" % (STAYS, other.titles))


if __name__ == "__main__":
    harness.main(versions)
