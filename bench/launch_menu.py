"""Launch to a working tray menu with a long block list: tarnwick.exe starts
with the popup blocker on and 0, 1,000 and 20,000 entries in the list file
beside it, in a Wine desktop of its own each round; the time from the launch
until a right click on its tray icon has opened the menu (clicked as soon as
the icon shows, again every 2 s while no menu opens). Prints the median of
ROUNDS runs of each and its ratio to the empty list.

    python3 bench/launch_menu.py [ROUNDS]

Needs what the end-to-end tests need (bench/run.sh sets it up)."""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from harness import Scenario, wait_until  # noqa: E402
import tarnwick_ui as ui  # noqa: E402
from tarnwick_ui import MAIN_KEY  # noqa: E402

GIVE_UP = 120


def one(entries):
    with Scenario("launch-menu-%d" % entries) as s:
        s.reg_add(MAIN_KEY, "Popup Blocker", "1")
        exe = s.install(s.exe)
        with open(os.path.join(os.path.dirname(exe), "tarnwick_block.txt"), "wb") as f:
            f.write("".join("Offer %05d\r\n" % ((i * 7919) % max(entries, 1)) for i in range(entries)).encode())
        app = s.start(exe)
        launched = time.monotonic() - app.started_after
        end = launched + GIVE_UP
        while time.monotonic() < end:
            before = {w.id for w in ui.menus(s, app)}
            s.right_click(*app.icon)
            try:
                wait_until(lambda: [w for w in ui.menus(s, app) if w.id not in before], 2, interval=0.02,
                           what="the tray menu")
                return time.monotonic() - launched
            except AssertionError:
                continue
        return float("inf")


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    times = {n: [one(n) for _ in range(rounds)] for n in (0, 1000, 20000)}
    base = statistics.median(times[0])
    print("Launch to a working tray menu, popup blocker on; median of %d" % rounds)
    print("  %8s %10s %7s  %s" % ("entries", "menu", "ratio", "runs"))
    for n, t in times.items():
        m = statistics.median(t)
        print("  %8d %8.2f s %7.2f  [%s]" % (n, m, m / base, " ".join("%.2f" % x for x in t)))


if __name__ == "__main__":
    main()
