"""Odd stored values change nothing they should not. "Password" stored as a
number at start: one error box, and the program is in the tray all the
same, unlocked. "Erase" turned into a number while it runs: one box, not
one a second. The typed-URL guard on with its snapshot removed: typed
addresses stay where they are."""

import os
import time

import harness
from harness import Scenario, wait_until
from tarnwick_ui import MAIN_KEY, TYPED_URLS


def error_boxes(s, text):
    return [w for w in s.win32_windows(cls="#32770", exe="tarnwick.exe") if w.visible and text in w.body]


def scenario():
    with Scenario("stored_values") as s:
        s.reg_add(MAIN_KEY, "Password", "7", "REG_DWORD")
        app = s.start_tarnwick()  # waits for the tray icon
        password = "Invalid data type for 'Password'"
        box = wait_until(lambda: error_boxes(s, password), 15, what="the box about 'Password'")[0]
        time.sleep(0.5)
        s.screenshot("password-box")
        s.expect(len(error_boxes(s, password)) == 1, "more than one box about 'Password'")
        s.key_on(box, "Return")
        wait_until(lambda: not error_boxes(s, password), 5, what="the box to close")
        s.expect(app.alive() and s.tray_slots() == [0], "the program is not in the tray after the box")
        s.expect(s.reg_query(MAIN_KEY, "Pass Temp") == "", "an unreadable password is no password (unlocked)")

        # "Erase" as a number, met by the one-second timer.
        s.reg_add(MAIN_KEY, "Erase", "1", "REG_DWORD")
        erase = "Invalid data type for 'Erase'"
        box = wait_until(lambda: error_boxes(s, erase), 10, what="the box about 'Erase'")[0]
        time.sleep(4)
        s.screenshot("erase-box")
        s.expect(len(error_boxes(s, erase)) == 1, "a new box about 'Erase' every second")
        s.key_on(box, "Return")
        time.sleep(3)
        s.expect(not error_boxes(s, erase), "another box about 'Erase' after the first was closed")
        s.reg("delete", MAIN_KEY, "/v", "Erase", "/f")

        # The typed-URL guard on, its snapshot gone: the list stays.
        snapshot = os.path.join(os.path.dirname(app.path), "TypedURLs.reg")
        s.expect(not os.path.exists(snapshot), "a snapshot lies beside the program")
        s.reg_add(MAIN_KEY, "Last Typed", "1")
        for i in range(1, 4):
            s.reg_add(TYPED_URLS, "url%d" % i, "http://typed%d.test/" % i)
        time.sleep(3)  # each change is reported to the guard within a moment
        urls = s.reg_query(TYPED_URLS) or {}
        s.expect(sorted(urls) == ["url1", "url2", "url3"], "typed addresses gone: %s" % sorted(urls))
        s.expect(app.alive(), "the program ended")


if __name__ == "__main__":
    harness.main(scenario)
