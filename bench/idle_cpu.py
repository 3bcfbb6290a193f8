"""The CPU the idle program takes: tarnwick.exe runs untouched for SECONDS
(60 unless given) in a Wine desktop of its own with 50 block-list entries
and 100 more top-level windows open (hidden windows of a stand-in program
that is not a browser, so that neither the open-window limit nor the
browser test minds them): once with nothing switched on, once with the
popup blocker on, once with auto-erase on and every category selected
(nothing to erase). The baseline, measured first in the same way: the bare
tray program traytest.exe, which only shows an icon. Prints the user plus
system time of the program's process as a share of one core, the same of
the Wine server, which answers the window enumerations, and each run's
program plus server above the baseline's.

    python3 bench/idle_cpu.py [SECONDS]

Needs what the end-to-end tests need: TARNWICK_EXE, TARNWICK_HELPERS and a
prepared WINEPREFIX (bench/run.sh sets them up)."""

import contextlib
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import harness  # noqa: E402
from harness import Scenario  # noqa: E402
from browsers import Browser, SUFFIX  # noqa: E402
from tarnwick_ui import MAIN_KEY  # noqa: E402

TICK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User plus system time of a process so far."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def wineserver(s):
    for pid in s.prefix_pids():
        try:
            with open("/proc/%d/cmdline" % pid, "rb") as f:
                argv0 = os.path.basename(f.read().split(b"\0")[0].decode(errors="replace"))
        except OSError:
            continue
        if argv0.startswith("wineserver"):
            return pid
    return None


ERASE_FLAGS = ("IE History", "Cookies", "IE Address Bar", "IE Cache", "Recent Documents", "Temp Folder",
               "Recycle Bin", "Run History", "Find History")
BARE = "bare tray"
RUNS = [(BARE, {}),
        ("nothing on", {}),
        ("blocker on", {"Popup Blocker": "1"}),
        ("auto-erase on", {"Erase": "1"})]


@contextlib.contextmanager
def prepared(name, settings):
    """The scenario of one run, its program started and settled."""
    with Scenario("idle_cpu_" + name.replace(" ", "_")) as s:
        folder = os.path.join(s.prefix, "drive_c", "Tarnwick")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "tarnwick_block.txt"), "wb") as f:
            f.write(b"".join(b"Listed %d\r\n" % i for i in range(50)))
        for value, data in settings.items():
            s.reg_add(MAIN_KEY, value, data)
        if "Erase" in settings:
            for flag in ERASE_FLAGS:
                s.reg_add(MAIN_KEY + r"\erase", flag, "1")
        # Windows of class IEFrame in a program that is not the browser.
        pages = s.install(s.helper("iexplore"), name="pages.exe", folder="Pages")
        Browser(s, "pages", *[("hidden-window", "Page %d%s" % (i, SUFFIX)) for i in range(100)], exe=pages)
        if name == BARE:
            app = s.start(s.install(s.helper("traytest"), folder="traytest"))
        else:
            app = s.start_tarnwick()
        time.sleep(5)  # start-up done
        yield s, app


def idle(name, settings, seconds):
    with prepared(name, settings) as (s, app):
        server = wineserver(s)
        t0, p0 = time.monotonic(), cpu_seconds(app.pid)
        w0 = cpu_seconds(server) if server else 0.0
        time.sleep(seconds)
        elapsed = time.monotonic() - t0
        program = (cpu_seconds(app.pid) - p0) / elapsed
        server_share = (cpu_seconds(server) - w0) / elapsed if server else float("nan")
        return program, server_share


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 60
    results = [(name, idle(name, settings, seconds)) for name, settings in RUNS]
    print("Idle program over %.0f s, 50 block-list entries, 100 more windows: CPU as a share of one core" % seconds)
    print("  %-14s %10s %12s" % ("", "program", "wineserver"))
    for name, (program, server) in results:
        print("  %-14s %9.2f%% %11.2f%%" % (name, 100 * program, 100 * server))
    bare = sum(results[0][1])
    for name, (program, server) in results[1:]:
        print("  %s: program plus wineserver %.2f%% of a core above the bare tray program's"
              % (name, 100 * (program + server - bare)))


if __name__ == "__main__":
    harness.main(main)
