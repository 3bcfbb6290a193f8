"""The stand-in browser (iexplore.exe of the test helpers) as the scenarios
drive it, and what the popup blocker leaves behind: its counters and the
block list file beside the program."""

import os
import time

from harness import wait_until
from tarnwick_ui import MAIN_KEY

COUNTER_KEY = MAIN_KEY + r"\counter"
SUFFIX = " - Microsoft Internet Explorer"


def counter(s, name):
    return s.reg_query(COUNTER_KEY, name)


def block_file(s, app):
    path = os.path.join(os.path.dirname(app.path), "tarnwick_block.txt")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


class Browser:
    """One stand-in browser process with its windows and its WM_CLOSE log.
    A page is a page title, shown in a normal window with the browser's
    suffix, or a pair (kind, whole title) with kind one of the helper's
    window kinds: "window", "hidden-window", "owned-window", "tool-window",
    or ("class", name) for the window class of the pages after it.
    `exe` is the helper copied under another name, for windows of class
    IEFrame in a program that is not the browser."""

    def __init__(self, s, name, *pages, exe=None):
        self.s = s
        self.log = os.path.join(s.workdir, name + ".log")
        args = ["--log", s._wine_path(self.log), "--quit-after", "300000"]
        self.titles = []
        for page in pages:
            kind, title = page if isinstance(page, tuple) else ("window", page + SUFFIX)
            args += ["--" + kind, title]
            if kind != "class":
                self.titles.append(title)
        s.launch(exe or s.helper("iexplore"), args)
        wait_until(lambda: "ready" in self.lines(), 20, what="the stand-in browser %s" % name)

    def lines(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="latin-1") as f:
            return f.read().splitlines()

    def closed(self):
        return [line[len("WM_CLOSE "):] for line in self.lines() if line.startswith("WM_CLOSE ")]

    def typed(self):
        """The characters each window got from the keyboard, as (title, char)."""
        return [tuple(line[len("WM_CHAR "):].rsplit(" ", 1)) for line in self.lines() if line.startswith("WM_CHAR ")]

    def bring_to_front(self, title):
        """Clicks the window's caption, as a person brings a window to the front."""
        w = wait_until(lambda: self.s.windows(name=title), 10, what="the window %r" % title)[0]
        x, y, _, _ = self.s.geometry(w)
        self.s.click(x + 120, y + 10)
        time.sleep(0.5)
