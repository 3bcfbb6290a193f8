"""End-to-end harness: drives Windows programs in a Wine virtual desktop the
way a person would, from outside, with xdotool, `wine reg` and screenshots.

Every scenario gets
  - its own Wine prefix: a fresh clone of the pristine prefix that
    scripts/wine-prefix.sh boots once (system binaries are hard links,
    everything else is copied, so a clone takes about a second);
  - its own X server: a private Xvfb, so that windows of other tests on the
    shared display cannot cover the desktop or catch clicks, and a person's
    own desktop never gets its pointer moved (set TARNWICK_E2E_DISPLAY=:N to
    use an existing server instead, for instance to watch a run);
  - a Wine virtual desktop "E2E" of 1024 x 768 with its taskbar and
    notification area, started on its own before any program, so that
    screenshots from before and after a program's start can be compared.

Environment (set by the build for each scenario):
  TARNWICK_EXE      the tarnwick.exe under test
  TARNWICK_BUILD    the Windows build tree
  TARNWICK_HELPERS  folder with iexplore.exe and traytest.exe
Optional:
  WINEPREFIX                the test prefix; its pristine twin
                            "$WINEPREFIX-pristine" is what scenarios clone
  TARNWICK_PRISTINE_PREFIX  the pristine prefix to clone, explicitly
  TARNWICK_E2E_DISPLAY      run on this X display instead of a private one
  TARNWICK_E2E_KEEP=1       keep the scenario's prefix after the run
  TARNWICK_SHOTS            where screenshots go (default: build/e2e-shots)

Facts about Wine 8's explorer desktop that the harness relies on:
  - Each visible top-level window of a program is an X child window of the
    desktop's X window, named after the window's caption; its X class is the
    program's file name ("tarnwick.exe"). Menus and tooltips are such
    windows too (menus belong to the program, tray tooltips to explorer.exe).
    Hidden windows have unmapped X windows.
  - The taskbar is an unnamed explorer.exe X window across the bottom of the
    desktop (20 pixels high). Task buttons sit left to right after "Start";
    notification-area icons sit at its right end, each in a square as high
    as the taskbar, the first icon added at the right edge and each later
    one to the left of those already there.
  - The tray tooltip is an explorer.exe window that appears above the icon
    after the pointer has rested on it for about half a second.
  - A menu that does not fit below and right of the point it is opened at
    is moved back onto the screen (Windows flips it to the other side).
  - Keys go where the X input focus is. It starts as "pointer root": keys
    go to the window under the pointer. A shown window that a program
    activates takes the focus, and keys go to it wherever the pointer is;
    a hidden window activated takes nothing. When the focused window is
    hidden the focus falls back to the desktop window, and keys follow the
    pointer again, unless Windows hands the activation to another shown
    window first: with nothing else of the program shown, that is
    explorer's taskbar, which then keeps every key. So a key is pressed as
    a person presses it, with the pointer resting on the window meant to
    get it (key_on), and whether it arrives is the program's affair.
"""

import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.dirname(os.path.dirname(HERE))

# Files of a prefix that Wine only ever reads; a clone links them instead of
# copying 700 MB. Everything else (registry, ini files, user folders) is
# copied, since Wine and the programs rewrite those in place.
_LINKABLE = (".dll", ".exe", ".drv", ".sys", ".ocx", ".acm", ".cpl", ".tlb", ".ax", ".ds",
             ".msstyles", ".vxd", ".com", ".ttf", ".ttc", ".fon", ".nls", ".mui")


class E2EError(AssertionError):
    pass


class CommandTimeout(E2EError):
    pass


def log(msg):
    print("[e2e %s] %s" % (time.strftime("%H:%M:%S"), msg), flush=True)


def wait_until(pred, timeout, interval=0.1, what="condition"):
    """Calls pred until it returns a true value, at most `timeout` seconds;
    returns that value or raises E2EError naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = pred()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def run(cmd, env=None, timeout=30, check=True, cwd=None):
    """Runs a command with a bound; returns the CompletedProcess."""
    try:
        p = subprocess.run(cmd, env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=timeout)
    except subprocess.TimeoutExpired as e:
        raise CommandTimeout("command timed out after %s s: %s" % (timeout, " ".join(cmd))) from e
    if check and p.returncode != 0:
        raise E2EError("command failed (%d): %s\n%s" % (p.returncode, " ".join(cmd),
                                                        p.stderr.decode(errors="replace")))
    return p


# ---------------------------------------------------------------- images


class Image:
    """An RGB picture as ImageMagick's `import` grabs it."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def from_ppm(raw):
        # P6 header: magic, width, height, maxval, each followed by blanks.
        fields = []
        pos = 0
        while len(fields) < 4:
            while raw[pos:pos + 1].isspace():
                pos += 1
            if raw[pos:pos + 1] == b"#":
                pos = raw.index(b"\n", pos) + 1
                continue
            end = pos
            while not raw[end:end + 1].isspace():
                end += 1
            fields.append(raw[pos:end])
            pos = end
        pos += 1
        if fields[0] != b"P6" or fields[3] != b"255":
            raise E2EError("unexpected screenshot format %r" % fields)
        w, h = int(fields[1]), int(fields[2])
        return Image(w, h, raw[pos:pos + 3 * w * h])

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        rows = [self.data[3 * (r * self.width + x0):3 * (r * self.width + x1)] for r in range(y0, y1)]
        return Image(max(0, x1 - x0), max(0, y1 - y0), b"".join(rows))

    def colours(self):
        """Counts of each colour."""
        counts = {}
        d = self.data
        for i in range(0, len(d), 3):
            c = (d[i], d[i + 1], d[i + 2])
            counts[c] = counts.get(c, 0) + 1
        return counts

    def count(self, colour):
        return self.colours().get(tuple(colour), 0)

    def differing(self, colour):
        """Number of pixels not of `colour`."""
        return self.width * self.height - self.count(colour)

    def diff(self, other):
        """Pixels that differ between two pictures of the same size."""
        if (self.width, self.height) != (other.width, other.height):
            return self.width * self.height
        a, b = self.data, other.data
        return sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])

    def digest(self):
        return hashlib.sha1(b"%d:%d:" % (self.width, self.height) + self.data).hexdigest()

    def save_png(self, path):
        ppm = b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data
        subprocess.run(["convert", "ppm:-", path], input=ppm, check=True, timeout=30)


# ---------------------------------------------------------------- windows


class XWindow:
    """An X window of the desktop: id, caption, X class (program file
    name), absolute rectangle on the X screen, mapped or not."""

    def __init__(self, wid, name, cls, x, y, w, h, visible):
        self.id, self.name, self.cls = wid, name, cls
        self.x, self.y, self.w, self.h = x, y, w, h
        self.visible = visible

    @property
    def rect(self):
        return (self.x, self.y, self.w, self.h)

    def __repr__(self):
        return "XWindow(%s %r class=%r %dx%d+%d+%d%s)" % (self.id, self.name, self.cls, self.w, self.h, self.x,
                                                          self.y, "" if self.visible else " hidden")


_TREE_LINE = re.compile(r'^\s+(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)): (?:\("([^"]*)" "([^"]*)"\)|\(\))?'
                        r'\s+(\d+)x(\d+)[+-]+\d+[+-]+\d+\s+([+-]+\d+)([+-]+\d+)\s*$')


def _offset(text):
    # xwininfo writes offsets as "+5", "-5" or "+-5".
    return -int(text.lstrip("+-")) if "-" in text else int(text.lstrip("+"))


WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_EX_TOOLWINDOW = 0x00000080
WS_EX_APPWINDOW = 0x00040000


class Win32Window:
    """One line of the wininfo helper: hwnd, pid, exe, visible, iconic,
    cls, owner, style, exstyle, window (x, y, w, h), client (w, h), body (the
    texts of its static children, joined by "|"), title."""

    def __init__(self, line):
        fields = dict(f.split("=", 1) for f in line.split("\t"))
        self.hwnd = int(fields["hwnd"], 16)
        self.pid = int(fields["pid"])
        self.exe = fields["exe"]
        self.visible = fields["visible"] == "1"
        self.iconic = fields["iconic"] == "1"
        self.cls = fields["class"]
        self.owner = int(fields["owner"], 16)
        self.style = int(fields["style"], 16)
        self.exstyle = int(fields["exstyle"], 16)
        self.window = tuple(int(v) for v in fields["window"].split(","))
        self.client = tuple(int(v) for v in fields["client"].split(","))
        self.body = fields["body"]
        self.title = fields["title"]
        self.controls = []  # with controls=True: its Win32Control children

    def __repr__(self):
        return "Win32Window(%#x %s %r class=%r %s window=%s client=%s style=%#x exstyle=%#x)" % (
            self.hwnd, self.exe, self.title, self.cls, "visible" if self.visible else "hidden", self.window,
            self.client, self.style, self.exstyle)

    def control(self, text, cls=None):
        """The first visible control whose text (its "&" removed) is `text`."""
        for c in self.controls:
            if c.visible and c.text.replace("&", "") == text and (cls is None or c.cls.lower() == cls.lower()):
                return c
        raise E2EError("no visible control %r in %r: %s" % (text, self.title, [c.text for c in self.controls
                                                                              if c.visible]))


class Win32Control:
    """A control line of the wininfo helper: hwnd, parent, cls, visible (it
    can be seen), shown (its own visibility, whatever its window's), enabled,
    focused, window (x, y, w, h on the desktop), state (see
    wininfo.cpp; None when empty), text."""

    def __init__(self, line):
        fields = dict(f.split("=", 1) for f in line.split("\t")[1:])
        self.hwnd = int(fields["hwnd"], 16)
        self.parent = int(fields["parent"], 16)
        self.cls = fields["class"]
        self.visible = fields["visible"] == "1"
        self.shown = fields["shown"] == "1"
        self.enabled = fields["enabled"] == "1"
        self.focused = fields["focused"] == "1"
        self.window = tuple(int(v) for v in fields["window"].split(","))
        self.state = int(fields["state"]) if fields["state"] else None
        self.text = fields["text"]

    @property
    def centre(self):
        x, y, w, h = self.window
        return x + w // 2, y + h // 2

    @property
    def lines(self):
        """A list box's lines."""
        return self.text.split("|") if self.text else []

    def __repr__(self):
        return "Win32Control(%#x %s %r%s%s state=%s)" % (self.hwnd, self.cls, self.text,
                                                          "" if self.visible else " hidden",
                                                          "" if self.enabled else " disabled", self.state)


class TrayWatch:
    """Pictures of one notification-area square taken about ten times a
    second in the background while the `with` block runs: a change shorter
    than a check made now and then could see (a half-second flash) is in
    them."""

    def __init__(self, scenario, slot):
        self.s = scenario
        x, y, w, h = scenario.taskbar()
        self.rect = (x + w - h * (slot + 1), y, h, h)  # as slot_image takes it
        self.pictures = []
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._sample, daemon=True)

    def _sample(self):
        while not self._stop.is_set():
            try:
                self.pictures.append(self.s.grab().crop(*self.rect))
            except E2EError:
                pass
            self._stop.wait(0.05)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join(10)
        return False

    def changed_from(self, picture):
        """How many pictures differ from `picture`."""
        return sum(1 for p in self.pictures if p.diff(picture) > 0)


class App:
    """A program started on the desktop."""

    def __init__(self, scenario, exe_name, pid, icon=None):
        self.scenario, self.exe_name, self.pid, self.icon = scenario, exe_name, pid, icon

    def alive(self):
        return _pid_alive(self.pid)

    def wait_exit(self, timeout):
        wait_until(lambda: not self.alive(), timeout, interval=0.02, what="%s to end" % self.exe_name)

    def windows(self, visible=True):
        return self.scenario.windows(cls=self.exe_name, visible=visible)

    def rss_anon_kb(self):
        return self.scenario.rss_anon_kb(self.pid)


def _pid_alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            # A zombie has ended; only its parent has not reaped it yet.
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


# ---------------------------------------------------------------- scenario


class Scenario:
    """One end-to-end scenario: prefix, X server, Wine desktop, teardown.

    Use as a context manager; on an exception a screenshot named "failure"
    is kept before everything is torn down.

    With own_home=True the scenario's Wine processes get a home folder of
    their own, `home` (empty at the start, inside the scenario's folder),
    for the per-user files that Linux libraries under Wine read from HOME:
    ALSA's .asoundrc, say, which decides where a program's sound goes."""

    DESKTOP = "E2E"
    SIZE = (1024, 768)

    def __init__(self, name, own_home=False):
        self.name = name
        self.exe = os.environ.get("TARNWICK_EXE", "")
        self.build = os.environ.get("TARNWICK_BUILD") or os.path.join(SOURCE_ROOT, "build", "win")
        self.helpers = os.environ.get("TARNWICK_HELPERS") or os.path.join(self.build, "helpers")
        parent = os.path.dirname(os.path.abspath(self.build))
        shots_default = (os.path.join(parent, "e2e-shots") if os.path.basename(parent).startswith("build")
                         else os.path.join(self.build, "e2e-shots"))
        self.shots = os.environ.get("TARNWICK_SHOTS", shots_default)
        self.base_prefix = os.environ.get("WINEPREFIX") or os.path.join(SOURCE_ROOT, "build", "wineprefix")
        self.pristine = os.environ.get("TARNWICK_PRISTINE_PREFIX") or self.base_prefix + "-pristine"
        self.workdir = os.path.join(self.build, "e2e-run", name)
        self.prefix = os.path.join(self.workdir, "prefix")
        self.home = os.path.join(self.workdir, "home") if own_home else None
        self.display = None
        self.xvfb = None
        self.desktop_origin = (0, 0)
        self.env = None
        self._launched = []
        self.failures = []

    # -- life cycle

    def __enter__(self):
        try:
            self.setup()
        except BaseException:
            self.teardown()
            raise
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            try:
                self.screenshot("failure")
            except Exception as e:  # the teardown matters more than the picture
                log("no failure screenshot: %s" % e)
        self.teardown()
        if exc_type is None and self.failures:
            raise E2EError("%d check(s) failed:\n  %s" % (len(self.failures), "\n  ".join(self.failures)))
        return False

    def expect(self, ok, message):
        """A check whose failure is reported at the end of the scenario
        rather than at once, for checks the rest of the scenario does not
        depend on. Returns `ok`."""
        if not ok:
            self.failures.append(message)
            log("CHECK FAILED: %s" % message)
        return ok

    def setup(self):
        log("scenario %s" % self.name)
        if os.path.isdir(self.workdir):
            shutil.rmtree(self.workdir)
        os.makedirs(self.workdir)
        os.makedirs(self.shots, exist_ok=True)
        # Pictures of an earlier run of this scenario would mislead.
        for f in os.listdir(self.shots):
            if f.startswith(self.name + "-") and f.endswith(".png"):
                os.remove(os.path.join(self.shots, f))
        self._start_x()
        self.env = self._wine_env()
        self._ensure_pristine()
        t = time.monotonic()
        clone_prefix(self.pristine, self.prefix)
        log("prefix cloned in %.1f s: %s" % (time.monotonic() - t, self.prefix))
        self.start_desktop()

    def teardown(self):
        if self.env is not None:
            env = dict(self.env)
            for args in (["wineserver", "-k"], None, ["wineserver", "-w"]):
                if args is None:
                    try:
                        wait_until(lambda: not self.prefix_pids(), 10, interval=0.2,
                                   what="the prefix's processes to end")
                    except E2EError:
                        for pid in self.prefix_pids():
                            try:
                                os.kill(pid, signal.SIGKILL)
                            except OSError:
                                pass
                    continue
                try:
                    subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, timeout=20)
                except subprocess.TimeoutExpired:
                    log("%s did not return within 20 s" % " ".join(args))
        for p in self._launched:
            if p.poll() is None:
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait(timeout=5)
        self._launched = []
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait(timeout=5)
            self.xvfb = None
        if os.environ.get("TARNWICK_E2E_KEEP") != "1" and os.path.isdir(self.prefix):
            shutil.rmtree(self.prefix, ignore_errors=True)
        self.env = None

    def _start_x(self):
        given = os.environ.get("TARNWICK_E2E_DISPLAY")
        if given:
            self.display = given
            return
        for n in range(140, 200):
            if os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
                continue
            proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "%dx%dx24" % self.SIZE, "-nolisten", "tcp"],
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Another scenario may have taken the same number a moment
            # before: the display is ours only when its lock names our server.
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and proc.poll() is None:
                if os.path.exists("/tmp/.X11-unix/X%d" % n) and self._lock_holder(n) == proc.pid:
                    self.xvfb, self.display = proc, ":%d" % n
                    log("Xvfb %s (pid %d)" % (self.display, proc.pid))
                    return
                time.sleep(0.05)
            if proc.poll() is None:
                proc.kill()
            proc.wait(timeout=5)
        raise E2EError("no free X display for Xvfb")

    @staticmethod
    def _lock_holder(n):
        """The process id written in display n's lock file, or None."""
        try:
            with open("/tmp/.X%d-lock" % n) as f:
                return int(f.read().strip() or 0)
        except (OSError, ValueError):
            return None

    def _wine_env(self):
        env = dict(os.environ)
        env.update({
            "WINEPREFIX": self.prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": os.environ.get("WINEDEBUG", "-all"),
            "WINEDLLOVERRIDES": os.environ.get("WINEDLLOVERRIDES", "mscoree,mshtml="),
            "DISPLAY": self.display,
            # Wine keeps the Recycle Bin in the XDG trash of the Linux user;
            # an erase in a scenario must empty the scenario's own.
            "XDG_DATA_HOME": os.path.join(self.workdir, "xdg-data"),
        })
        os.makedirs(env["XDG_DATA_HOME"], exist_ok=True)
        if self.home is not None:
            # WINEPREFIX names the prefix, so Wine itself does not move
            # with HOME; only what is looked up in the home folder does.
            os.makedirs(self.home, exist_ok=True)
            env["HOME"] = self.home
        return env

    def _ensure_pristine(self):
        if os.path.isfile(os.path.join(self.pristine, ".tarnwick-ready")):
            return
        log("making the pristine prefix %s" % self.pristine)
        env = dict(self.env)
        env["WINEPREFIX"] = self.base_prefix
        env["TARNWICK_PRISTINE_PREFIX"] = self.pristine
        run(["bash", os.path.join(SOURCE_ROOT, "scripts", "wine-prefix.sh")], env=env, timeout=400)

    # -- the desktop

    def start_desktop(self):
        """Starts the Wine virtual desktop with nothing on it. (Its taskbar
        appears with the first task button or tray icon.)"""
        p = subprocess.Popen(["wine", "explorer", "/desktop=%s,%dx%d" % ((self.DESKTOP,) + self.SIZE)], env=self.env,
                             cwd=self.workdir, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
        self._launched.append(p)
        t = time.monotonic()
        desk = wait_until(self._desktop_window, 60, interval=0.2, what="the Wine desktop")
        self.desktop_origin = (desk.x, desk.y)
        log("desktop up in %.1f s" % (time.monotonic() - t))

    def _desktop_window(self):
        for w in self.windows(visible=True):
            if w.name == "%s - Wine desktop" % self.DESKTOP:
                return w
        return None

    def _wine_path(self, path):
        """The Windows path of a Linux path (drive Z: is the Linux root;
        files in the prefix's drive_c are on C:)."""
        path = os.path.abspath(path)
        drive_c = os.path.join(self.prefix, "drive_c") + os.sep
        if path.startswith(drive_c):
            return "C:\\" + path[len(drive_c):].replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def launch(self, exe, args=(), cwd=None):
        """Starts a Windows program on the desktop (as `wine explorer
        /desktop=E2E,1024x768 exe args`, which hands the program to the
        running desktop and returns). Returns the time it was launched."""
        # A bare name is a program of Wine's system folder ("taskkill.exe").
        winexe = self._wine_path(exe) if os.sep in exe else exe
        cmd = ["wine", "explorer", "/desktop=%s,%dx%d" % ((self.DESKTOP,) + self.SIZE), winexe]
        cmd += list(args)
        t = time.monotonic()
        p = subprocess.Popen(cmd, env=self.env, cwd=cwd or os.path.dirname(exe) or self.workdir, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._launched.append(p)
        return t

    def install(self, exe, name=None, folder="Tarnwick"):
        """Copies a program (and the help file next to it, if any) into a
        folder of the prefix's drive C:, so that what it writes beside
        itself stays within the scenario. Returns the copy's path."""
        dest_dir = os.path.join(self.prefix, "drive_c", folder)
        os.makedirs(dest_dir, exist_ok=True)
        dest = os.path.join(dest_dir, name or os.path.basename(exe))
        shutil.copy2(exe, dest)
        chm = os.path.join(os.path.dirname(exe), "help.chm")
        if os.path.isfile(chm):
            shutil.copy2(chm, os.path.join(dest_dir, "help.chm"))
        return dest

    def start(self, exe, args=(), tray=True, timeout=30, cwd=None):
        """Launches a program and waits for its process and, when `tray`,
        for a new icon in the notification area. Returns an App whose
        `icon` is the icon's centre in desktop coordinates."""
        name = os.path.basename(exe)
        before_pids = set(self.pids(name))
        before_icons = self.tray_slots() if tray else []
        t = self.launch(exe, args, cwd=cwd)
        pid = wait_until(lambda: (set(self.pids(name)) - before_pids or {None}).pop(), timeout, interval=0.05,
                         what="the process of %s" % name)
        app = App(self, name, pid)
        app.path = exe
        if tray:
            slot = wait_until(lambda: self._new_slot(before_icons), timeout, interval=0.05,
                              what="the tray icon of %s" % name)[0]
            app.icon = self.slot_centre(slot)
            app.icon_slot = slot
            app.started_after = time.monotonic() - t
            log("%s (pid %d): tray icon at %s after %.2f s" % (name, pid, app.icon, app.started_after))
        return app

    def start_tarnwick(self, name="tarnwick.exe", tray=True):
        if not self.exe or not os.path.isfile(self.exe):
            raise E2EError("TARNWICK_EXE is not a file: %r" % self.exe)
        return self.start(self.install(self.exe, name), tray=tray)

    def helper(self, stem):
        path = os.path.join(self.helpers, stem + ".exe")
        if not os.path.isfile(path):
            raise E2EError("missing helper %s" % path)
        return path

    # -- X windows

    def _window_tree(self):
        """`xwininfo -root -tree`, asked again when a window vanished while
        it was being listed (xwininfo then fails with BadWindow)."""
        for attempt in range(5):
            p = run(["xwininfo", "-root", "-tree"], env=self._xenv(), timeout=10, check=False)
            if p.returncode == 0:
                return p.stdout.decode(errors="replace")
            time.sleep(0.1)
        raise E2EError("xwininfo kept failing: %s" % p.stderr.decode(errors="replace"))

    def windows(self, name=None, cls=None, visible=True):
        """X windows below the root (Wine's top-level windows), optionally
        by exact caption and X class (the program's file name, compared
        ignoring case), only mapped ones when `visible`."""
        out = self._window_tree()
        shown = set()
        if visible:
            p = run(["xdotool", "search", "--onlyvisible", "--name", ""], env=self._xenv(), timeout=10, check=False)
            shown = {int(s) for s in p.stdout.split()}
        found = []
        for line in out.splitlines():
            m = _TREE_LINE.match(line)
            if not m:
                continue
            wid = int(m.group(1), 16)
            w = XWindow(wid, m.group(2) or "", m.group(4) or "", _offset(m.group(7)), _offset(m.group(8)),
                        int(m.group(5)), int(m.group(6)), wid in shown)
            if visible and not w.visible:
                continue
            if w.w <= 1 and w.h <= 1:
                continue  # Wine's 1x1 helper windows (IME and the like)
            if name is not None and w.name != name:
                continue
            if cls is not None and w.cls.lower() != cls.lower():
                continue
            found.append(w)
        return found

    def _xenv(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        return env

    def to_screen(self, x, y):
        return x + self.desktop_origin[0], y + self.desktop_origin[1]

    def to_desktop(self, rect):
        x, y, w, h = rect
        return x - self.desktop_origin[0], y - self.desktop_origin[1], w, h

    def geometry(self, window):
        """Rectangle (x, y, w, h) of a window in desktop coordinates."""
        return self.to_desktop(window.rect)

    # -- pointer and keyboard (desktop coordinates)

    def xdo(self, *args):
        run(["xdotool"] + [str(a) for a in args], env=self._xenv(), timeout=20)

    def move(self, x, y):
        self.xdo("mousemove", *self.to_screen(x, y))

    def click(self, x, y, button=1):
        self.move(x, y)
        time.sleep(0.05)
        self.xdo("click", button)

    def right_click(self, x, y):
        self.click(x, y, button=3)

    def double_click(self, x, y):
        self.move(x, y)
        time.sleep(0.05)
        self.xdo("click", "--repeat", 2, "--delay", 80, 1)

    def hover(self, x, y):
        # Tooltips wait for the pointer to move over the tool, then to rest.
        self.move(x - 2, y)
        time.sleep(0.1)
        self.move(x, y)

    def drag(self, x0, y0, x1, y1, steps=10):
        self.move(x0, y0)
        time.sleep(0.1)
        self.xdo("mousedown", 1)
        for i in range(1, steps + 1):
            time.sleep(0.03)
            self.move(x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
        time.sleep(0.1)
        self.xdo("mouseup", 1)

    def pointer(self):
        """Where the pointer is, in desktop coordinates."""
        p = run(["xdotool", "getmouselocation", "--shell"], env=self._xenv(), timeout=20)
        at = dict(line.split("=", 1) for line in p.stdout.decode().split() if "=" in line)
        return int(at["X"]) - self.desktop_origin[0], int(at["Y"]) - self.desktop_origin[1]

    def key(self, *keys):
        """Presses keys in turn, in xdotool's names ("s", "alt+F4", "Down"),
        on the keyboard with the pointer wherever it is: for keys meant for
        no window (global hot keys). Keys meant for a window: key_on()."""
        for k in keys:
            self.xdo("key", k)
            time.sleep(0.1)

    def key_on(self, window, *keys):
        """Presses keys as a person does on `window` (an XWindow, or a
        Win32Window or Win32Control, whose `window` is its rectangle on the
        desktop): the pointer first rests on the window, then the keys
        are pressed on the keyboard (`xdotool key`, no --window), so they
        reach the window only when the input focus lets them, as a
        person's would.

        The pointer rests on the window's leftmost column, halfway down, a
        spot where it changes nothing: on a menu the frame, left of its
        items (resting on an item would highlight it and change where the
        arrow keys go from); on other windows their border, or the edge of
        their client area, where no button, link or pane is. Arriving on
        a menu's frame takes the highlight off the menu's items, as any
        pointer move there does, so the pointer only moves when it is not
        resting on that spot already: keys pressed in several calls on one
        menu go on from where the previous ones left the highlight.
        Without keys, only the pointer moves."""
        x, y, w, h = window.window if hasattr(window, "window") else self.geometry(window)
        spot = (x, y + h // 2)
        if self.pointer() != spot:
            self.move(*spot)
            time.sleep(0.2)
        self.key(*keys)

    # -- screen

    def grab(self):
        """The whole desktop as an Image."""
        raw = run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self._xenv(), timeout=30).stdout
        img = Image.from_ppm(raw)
        ox, oy = self.desktop_origin
        if (ox, oy) != (0, 0) or (img.width, img.height) != self.SIZE:
            img = img.crop(ox, oy, self.SIZE[0], self.SIZE[1])
        return img

    def screenshot(self, name):
        """Saves the desktop as <shots>/<scenario>-<name>.png; returns the path."""
        path = os.path.join(self.shots, "%s-%s.png" % (self.name, name))
        self.grab().save_png(path)
        log("screenshot %s" % path)
        return path

    # -- taskbar and notification area

    def taskbar(self):
        """Rectangle of the taskbar in desktop coordinates, or None while
        the desktop has none."""
        W, H = self.SIZE
        for w in self.windows(cls="explorer.exe"):
            x, y, ww, hh = self.geometry(w)
            if w.name == "" and ww == W and y + hh == H and hh < 60:
                return (x, y, ww, hh)
        return None


    @staticmethod
    def _background(strip):
        return max(strip.colours().items(), key=lambda kv: kv[1])[0]

    def tray_slots(self, img=None):
        """Indexes of the occupied icon squares, counted from the right
        edge of the taskbar (0 = the first icon added)."""
        bar = self.taskbar()
        if bar is None:
            return []
        strip = (img or self.grab()).crop(*bar)
        bg = self._background(strip)
        side = bar[3]
        slots = []
        for i in range(0, 24):
            x = strip.width - side * (i + 1)
            if x < strip.width // 2:
                break
            inner = strip.crop(x + 2, 2, side - 4, side - 4)
            if inner.differing(bg) > 12:
                slots.append(i)
            else:
                break  # icons are packed from the right without gaps
        return slots

    def slot_centre(self, slot):
        x, y, w, h = self.taskbar()
        return (x + w - h * slot - h // 2, y + h // 2)

    def slot_image(self, slot, img=None):
        x, y, w, h = self.taskbar()
        return (img or self.grab()).crop(x + w - h * (slot + 1), y, h, h)

    def watch_slot(self, slot):
        """A TrayWatch of the icon in `slot`."""
        return TrayWatch(self, slot)

    def _new_slot(self, before):
        # A new icon takes the square left of those already there.
        now = self.tray_slots()
        return [len(now) - 1] if len(now) > len(before) else None

    def taskbar_buttons_area(self, img=None):
        """The part of the taskbar where task buttons appear (between the
        Start button and the notification area) and its background
        colour; a program without a taskbar button leaves it plain."""
        x, y, w, h = self.taskbar()
        strip = (img or self.grab()).crop(x, y, w, h)
        bg = self._background(strip)
        return strip.crop(60, 0, w - 60 - 12 * h, h), bg

    def has_taskbar_button(self, img=None):
        if self.taskbar() is None:
            return False
        area, bg = self.taskbar_buttons_area(img)
        return area.differing(bg) > 0

    def tooltip(self, x, y, timeout=5):
        """Rests the pointer on (x, y) and returns the picture of the
        tooltip that explorer shows there, or raises."""
        before = {w.id for w in self.windows(cls="explorer.exe")}
        self.hover(x, y)

        def shown():
            for w in self.windows(cls="explorer.exe"):
                if w.id not in before and w.w > 4 and w.h > 4:
                    return w
            return None

        tip = wait_until(shown, timeout, interval=0.1, what="a tooltip at %d,%d" % (x, y))
        time.sleep(0.3)  # mapped before painted
        img = self.grab().crop(*self.geometry(tip))
        return img

    def pointer_away(self):
        self.move(self.SIZE[0] // 2, self.SIZE[1] // 3)

    # -- the system's view of the windows

    def win32_windows(self, cls=None, title=None, exe=None, timeout=45, controls=False):
        """Top-level windows of the desktop as Windows reports them (by the
        wininfo helper), in Z order, optionally by class, exact title and
        program file name (ignoring case). Each is a Win32Window; with
        controls=True each also lists the controls inside it. The bound is
        for starting the helper, which on a machine busy with other Wine
        programs has taken more than 15 s; a list is usually there within
        a fraction of a second."""
        args = []
        if cls is not None:
            args += ["--class", cls]
        if title is not None:
            args += ["--title", title]
        if controls:
            args += ["--controls", "1"]

        def start():
            self._wininfo_runs = getattr(self, "_wininfo_runs", 0) + 1
            out = os.path.join(self.workdir, "wininfo-%d.txt" % self._wininfo_runs)
            self.launch(self.helper("wininfo"), ["--out", self._wine_path(out)] + args)
            return out

        # A helper that has not written its list in a third of the bound is
        # started once more beside it, and the first list to come is read:
        # on a busy machine one start of a Wine program has sat for the
        # whole bound.
        outs = [start()]
        first = lambda: next((o for o in outs if os.path.exists(o)), None)
        try:
            out = wait_until(first, timeout / 3, interval=0.05, what="the window list")
        except E2EError:
            log("no window list after %.0f s; the helper is started again" % (timeout / 3))
            outs.append(start())
            out = wait_until(first, timeout * 2 / 3, interval=0.05, what="the window list")
        with open(out, encoding="latin-1") as f:
            lines = f.read().split("\n")
        if "end" not in lines:
            raise E2EError("incomplete window list %s" % out)
        found = []
        for line in lines[:lines.index("end")]:
            if line.startswith("control\t"):
                found[-1].controls.append(Win32Control(line))
            else:
                found.append(Win32Window(line))
        if exe is not None:
            found = [w for w in found if w.exe.lower() == exe.lower()]
        return found

    # -- registry

    def reg(self, *args, check=True):
        # `wine reg` was seen to fail now and then under load with nothing
        # said, and once to hang; every command given here is safe to give
        # again, so a failure or a hang is tried twice more, unless it says
        # the key or value is missing. A hang's processes are logged first.
        p = None
        for _ in range(3):
            try:
                p = run(["wine", "reg"] + list(args), env=self.env, timeout=20, check=False)
            except CommandTimeout as e:
                log("%s; the prefix runs: %s" % (e, self.process_list()))
                p = None
                continue
            output = p.stdout + p.stderr
            if p.returncode == 0 or b"Unable to find" in output:
                break
            log("wine reg %s failed (%d), trying again: %s" % (
                args[0], p.returncode, output.decode(errors="replace").strip()))
        if p is None:
            raise E2EError("wine reg %s hung three times" % " ".join(args))
        if check and p.returncode != 0:
            raise E2EError("command failed (%d): wine reg %s\n%s" % (
                p.returncode, " ".join(args), output.decode(errors="replace")))
        return p

    def reg_query(self, key, name=None):
        """Values of a key as {name: (type, data)}, or one value's data as
        text (None when the key or value is missing)."""
        args = ["query", key] + (["/v", name] if name is not None else [])
        p = self.reg(*args, check=False)
        if p.returncode != 0:
            return None
        values = parse_reg_query(p.stdout.decode("latin-1"))
        if name is None:
            return values
        for n, v in values.items():
            if n.lower() == name.lower():
                return v[1]
        return None

    def reg_key_exists(self, key):
        return self.reg("query", key, check=False).returncode == 0

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.reg("add", key, "/v", name, "/t", kind, "/d", data, "/f")

    def reg_delete_key(self, key):
        self.reg("delete", key, "/f", check=False)

    # -- processes

    def prefix_pids(self):
        """Linux processes that run in this scenario's prefix."""
        mine = []
        want = ("WINEPREFIX=" + self.prefix).encode()
        for d in os.listdir("/proc"):
            if not d.isdigit():
                continue
            try:
                with open("/proc/%s/environ" % d, "rb") as f:
                    env = f.read().split(b"\0")
            except OSError:
                continue
            if want in env and _pid_alive(int(d)):
                mine.append(int(d))
        return mine

    def _programs(self):
        """(pid, program file name) of each process of this prefix."""
        for pid in self.prefix_pids():
            try:
                with open("/proc/%d/cmdline" % pid, "rb") as f:
                    argv0 = f.read().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
            yield pid, re.split(r"[\\/]", argv0)[-1]

    def pids(self, exe_name):
        """Processes of this prefix whose program file is `exe_name`
        (ignoring case and folder)."""
        return [pid for pid, name in self._programs() if name.lower() == exe_name.lower()]

    def process_list(self):
        """The prefix's processes as "name(pid) state", for a log."""
        found = []
        for pid, name in self._programs():
            try:
                with open("/proc/%d/stat" % pid) as f:
                    state = f.read().rsplit(")", 1)[1].split()[0]
            except (OSError, IndexError):
                state = "?"
            found.append("%s(%d) %s" % (name, pid, state))
        return ", ".join(found) or "nothing"

    def running(self, *exe_names):
        """Whether a process of this prefix runs any of `exe_names`."""
        wanted = {n.lower() for n in exe_names}
        return any(name.lower() in wanted for _, name in self._programs())

    @staticmethod
    def rss_anon_kb(pid):
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("RssAnon:"):
                    return int(line.split()[1])
        raise E2EError("no RssAnon for pid %d" % pid)


def parse_reg_query(text):
    """Parses the output of `reg query` into {name: (type, data)}."""
    values = {}
    for line in text.splitlines():
        m = re.match(r"^    (.*?)    (REG_[A-Z_]+)(?:    (.*))?$", line.rstrip("\r"))
        if m:
            values[m.group(1)] = (m.group(2), m.group(3) or "")
    return values


def clone_prefix(src, dst):
    """Copies a Wine prefix, hard-linking the files Wine only reads."""
    for dirpath, dirnames, filenames in os.walk(src):
        rel = os.path.relpath(dirpath, src)
        target = os.path.normpath(os.path.join(dst, rel))
        os.makedirs(target, exist_ok=True)
        shutil.copystat(dirpath, target)
        for d in list(dirnames):
            p = os.path.join(dirpath, d)
            if os.path.islink(p):
                os.symlink(os.readlink(p), os.path.join(target, d))
                dirnames.remove(d)
        for f in filenames:
            p, q = os.path.join(dirpath, f), os.path.join(target, f)
            if rel == "." and f == ".tarnwick-ready":
                continue
            if os.path.islink(p):
                os.symlink(os.readlink(p), q)
            elif f.lower().endswith(_LINKABLE):
                os.link(p, q)
            else:
                shutil.copy2(p, q)


def main(scenario_fn):
    """Runs a scenario function as a script: exit status 0 when it
    returns, 1 with the failure's message when it raises."""
    t = time.monotonic()
    try:
        scenario_fn()
    except Exception as e:
        import traceback
        traceback.print_exc()
        log("FAILED after %.1f s: %s" % (time.monotonic() - t, e))
        sys.exit(1)
    log("passed in %.1f s" % (time.monotonic() - t))
