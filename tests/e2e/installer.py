"""The installer as the scenarios meet it: made by `make dist`'s script,
its wizard pages answered with Enter, and where it puts the program."""

import os
import subprocess
import time

import harness
from harness import wait_until

PROGRAM = r"C:\Program Files\Tarnwick"


def unix(s, winpath):
    """The prefix's file for a path on drive C:."""
    return os.path.join(s.prefix, "drive_c", *winpath[3:].split("\\"))


def make_dist(s):
    """Runs `make dist`'s script into the scenario's folder; returns the
    folder holding setup.exe and the vendor server's www tree."""
    dist = os.path.join(s.workdir, "dist")
    t = time.monotonic()
    subprocess.run(["bash", os.path.join(harness.SOURCE_ROOT, "scripts", "dist.sh"), s.build, dist], check=True,
                   stdout=subprocess.DEVNULL, timeout=300)
    harness.log("setup.exe made in %.1f s, %d bytes" % (time.monotonic() - t,
                                                         os.path.getsize(os.path.join(dist, "setup.exe"))))
    return dist


def make_newer_dist(s, version):
    """Builds the program as `version` and its installer, as `make dist
    VERSION=...` does; returns the folder holding that setup.exe."""
    t = time.monotonic()
    subprocess.run(["bash", os.path.join(harness.SOURCE_ROOT, "scripts", "dist-version.sh"), s.build, version],
                   check=True, stdout=subprocess.DEVNULL, timeout=900)
    dist = os.path.join(os.path.dirname(os.path.abspath(s.build)), "dist-" + version)
    harness.log("Tarnwick %s and its setup.exe made in %.1f s" % (version, time.monotonic() - t))
    return dist


def wizard_page(s, heading, shot):
    """Waits for the wizard page with `heading`, keeps its picture, presses Enter on it."""
    page = wait_until(lambda: [w for w in s.win32_windows(cls="#32770", controls=True)
                               if w.visible and any(c.visible and c.text == heading for c in w.controls)], 30,
                      what="the page %r" % heading)[0]
    time.sleep(0.5)
    s.screenshot(shot)
    s.key_on(page, "Return")
