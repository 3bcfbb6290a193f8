"""Start-up: the program waits in the notification area with no window and
no taskbar button, writes its version, resets the log-in text, creates the
typed-URL key; a second start of the same file ends at once, and so do a
copy named TARNWICK.EXE elsewhere (file names ignore case) and a copy named
other.exe in the same folder (the two would share one block list file); a
copy under another name in another folder is a program of its own."""

import os
import time

import harness
from harness import Scenario, wait_until
from tarnwick_ui import MAIN_KEY, TYPED_URLS


def refused(s, path, first):
    """Starts `path` and sees its process end without a window while the
    first copy runs on with its one icon."""
    name = os.path.basename(path)
    known = set(s.pids(name))
    t = s.launch(path)
    second = wait_until(lambda: set(s.pids(name)) - known, 15, interval=0.02,
                        what="the process of " + name).pop()
    deadline = time.monotonic() + 15
    shown = []
    while harness._pid_alive(second):
        shown += [w for w in s.windows(cls=name)]
        assert time.monotonic() < deadline, "%s did not end within 15 s" % name
        time.sleep(0.05)
    harness.log("%s ended %.2f s after its launch" % (name, time.monotonic() - t))
    assert shown == [], "%s showed windows: %s" % (name, shown)
    assert s.pids("tarnwick.exe") == [first], s.pids("tarnwick.exe")
    assert s.tray_slots() == [0], "still one icon: %s" % s.tray_slots()


def scenario():
    with Scenario("startup") as s:
        # A fresh prefix: nothing of the program yet, and no typed-URL key,
        # so that finding one later shows the program made it.
        s.reg_delete_key(TYPED_URLS)
        assert not s.reg_key_exists(TYPED_URLS)
        assert s.reg_query(MAIN_KEY) is None

        app = s.start_tarnwick()
        assert app.icon_slot == 0
        time.sleep(2)  # let the start settle before looking for windows
        s.screenshot("started")
        assert app.alive()
        assert app.windows() == [], "no window is visible at start: %s" % app.windows()
        assert not s.has_taskbar_button(), "no taskbar button at start"
        assert s.tray_slots() == [0], "one icon: %s" % s.tray_slots()

        assert s.reg_query(MAIN_KEY, "Version") == "3.4.1", s.reg_query(MAIN_KEY)
        assert s.reg_query(MAIN_KEY, "Pass Temp") == "", "Pass Temp stored empty: %s" % s.reg_query(MAIN_KEY)
        assert s.reg_key_exists(TYPED_URLS), "the typed-URL key exists after the start"

        # The tooltip reads "Tarnwick": the same picture as a tooltip known
        # to say "Tarnwick", shown by the bare tray program.
        tip = s.tooltip(*app.icon)
        s.screenshot("tooltip")
        s.pointer_away()
        ref = s.start(s.helper("traytest"), ["--tip", "Tarnwick", "--quit-after", "6000"])
        ref_tip = s.tooltip(*ref.icon)
        s.pointer_away()
        assert tip.diff(ref_tip) == 0, "the tooltip is not the one of the text 'Tarnwick' (%dx%d vs %dx%d)" % (
            tip.width, tip.height, ref_tip.width, ref_tip.height)
        ref.wait_exit(15)
        wait_until(lambda: s.tray_slots() == [0], 5, what="the reference icon to go")

        # A second start of the same file: a new process that shows nothing
        # and ends, while the first runs on with its one icon.
        first = app.pid
        refused(s, app.path, first)
        refused(s, s.install(s.exe, "TARNWICK.EXE", folder="Upper"), first)
        refused(s, s.install(s.exe, "other.exe"), first)

        # A copy under another name in another folder is a second program:
        # two processes, two icons.
        other = s.start(s.install(s.exe, "other.exe", folder="Other"))
        assert other.icon_slot == 1
        time.sleep(1)
        s.screenshot("two-programs")
        assert s.pids("tarnwick.exe") == [first] and s.pids("other.exe") == [other.pid]
        assert s.tray_slots() == [0, 1]
        assert other.windows() == [] and app.windows() == []


if __name__ == "__main__":
    harness.main(scenario)
