"""The eraser on a prepared profile: cookie files beside other files, items
in Recent, a temp tree with read-only, hidden and system files, a hidden
sub-folder, nested folders, a file held open without sharing and a link to
a folder outside, URL cache entries of each kind, the typed-URL, Run and
Find lists, and an item in the Recycle Bin.

Each single command of the tray menu's "E&rase..." submenu, and "&Erase"
with chosen flags, removes exactly what its category covers. With a browser
running, the erase refuses once and erases nothing, while emptying the
Recycle Bin still works. Temp folders that are a drive root or the Windows
folder are never erased."""

import ntpath
import os
import time

import harness
from harness import E2EError, Scenario, wait_until
import tarnwick_ui as ui

ERASE_KEY = ui.MAIN_KEY + r"\erase"
SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
EXPLORER = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer"
LISTS = {
    "address": ui.TYPED_URLS,
    "run": EXPLORER + r"\RunMRU",
    "find": EXPLORER + r"\Doc Find Spec MRU",
}
REFUSAL = "Please close all Internet Explorer windows!"

# The submenu's commands in menu order, with their erase-key flags.
COMMANDS = ["cookies", "recent", "temp", "cache", "history", "address", "recycle", "run", "find"]
# The submenu's first line, and the height of a line.
SUBMENU_FIRST_Y = 13
SUBMENU_LINE = 20
FLAGS = {"history": "IE History", "cookies": "Cookies", "address": "IE Address Bar", "cache": "IE Cache",
         "recent": "Recent Documents", "temp": "Temp Folder", "recycle": "Recycle Bin", "run": "Run History",
         "find": "Find History"}

CACHE_ENTRIES = {
    "content": "http://e2e.test/page.htm",
    "cookie": "Cookie:root@e2e.test/",
    "history": "Visited: root@http://e2e.test/page.htm",
}
# The cache entries each category removes.
CACHE_KIND = {"cookies": "cookie", "cache": "content", "history": "history"}


class Profile:
    """The traces of one scenario's user and how to read them back."""

    def __init__(self, s):
        self.s = s
        self.folders = {name: s.reg_query(SHELL_FOLDERS, name) for name in ("Cookies", "Cache", "Recent")}
        for name, path in self.folders.items():
            if not path:
                raise E2EError("no %s folder in %s" % (name, SHELL_FOLDERS))
        self.temp = fileprep(s, "temp").rstrip("\\")
        self.outside = r"C:\outside"
        self.witness = r"C:\witness\keep.doc"

    def unix(self, winpath):
        if not winpath.upper().startswith("C:\\"):
            raise E2EError("not on drive C: %s" % winpath)
        return os.path.join(self.s.prefix, "drive_c", *winpath[3:].split("\\"))

    def write(self, winpath, text="x"):
        path = self.unix(winpath)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)

    def prepare(self, hold=True):
        c, r, k, t = self.folders["Cookies"], self.folders["Recent"], self.folders["Cache"], self.temp
        for name in ("root@a.txt", "root@b.txt", "index.dat", "keep.ini"):
            self.write(c + "\\" + name)
        for name in ("report.doc.lnk", "notes.txt", r"old\letter.lnk"):
            self.write(r + "\\" + name)
        for name in (r"Content.IE5\AB12CD34\page[1].htm", r"Content.IE5\AB12CD34\logo[1].gif", "cached.js"):
            self.write(k + "\\" + name)
        for name in ("plain.txt", "readonly.txt", "hidden.txt", "system.txt", r"nest\a\b\deep.txt", r"nest\top.txt",
                     r"hiddendir\inner.txt", "locked.txt"):
            self.write(t + "\\e2e\\" + name)
        for name in ("o1.txt", r"o2\o3.txt"):
            self.write(self.outside + "\\" + name)
        link = self.unix(t + r"\e2e\link")
        if not os.path.islink(link):
            os.symlink(self.unix(self.outside), link)
        self.write(self.witness)
        for path, attrs in (("readonly.txt", "1"), ("hidden.txt", "2"), ("system.txt", "4"), ("hiddendir", "12")):
            answer = fileprep(self.s, "attrib", t + "\\e2e\\" + path, attrs)
            if answer != "ok":
                raise E2EError("attrib %s: %s" % (path, answer))
        if hold:
            hold_open(self.s, t + r"\e2e\locked.txt")
        for kind, url in CACHE_ENTRIES.items():
            cachetool(self.s, "add", kind, url)
        self.s.reg_add(LISTS["address"], "url1", "http://e2e.test/")
        self.s.reg_add(LISTS["address"], "url2", "http://e2e.test/b")
        self.s.reg_add(LISTS["run"], "a", r"notepad\1")
        self.s.reg_add(LISTS["run"], "MRUList", "a")
        self.s.reg_add(LISTS["find"], "a", "*.doc")
        self.s.reg_add(LISTS["find"], "MRUList", "a")
        self.write(r"C:\trash-me.txt")
        answer = fileprep(self.s, "recycle", r"C:\trash-me.txt")
        if answer != "ok":
            raise E2EError("recycle: %s" % answer)

    def files(self):
        """Every file and folder below the folders an erase may touch, and
        the witnesses, as Windows paths in upper case."""
        found = set()
        roots = list(self.folders.values()) + [self.temp + r"\e2e", self.outside, ntpath.dirname(self.witness)]
        for root in roots:
            base = self.unix(root)
            for dirpath, dirnames, filenames in os.walk(base):
                for name in dirnames + filenames:
                    full = os.path.join(dirpath, name)
                    found.add((root + "\\" + os.path.relpath(full, base).replace("/", "\\")).upper())
        return found

    def cache(self):
        """The kinds of our cache entries still in the URL cache."""
        listing = cachetool(self.s, "list")
        urls = {line.split(" ", 1)[1] for line in listing.splitlines() if " " in line}
        return {kind for kind, url in CACHE_ENTRIES.items() if url in urls}

    def lists(self):
        """The number of values in each of the three history lists (None
        when the key is missing)."""
        return {name: (None if not self.s.reg_key_exists(key) else len(self.s.reg_query(key) or {}))
                for name, key in LISTS.items()}

    def bin(self):
        """The Recycle Bin's item count, or the helper's error text: while
        the program empties the bin the shell may fail to count it, and
        settle() then waits for an answer that stays."""
        answer = fileprep(self.s, "bincount")
        return int(answer) if answer.isdigit() else answer

    def state(self):
        return {"files": self.files(), "cache": self.cache(), "lists": self.lists(), "bin": self.bin()}

    def covered(self, category):
        """What a category's erase removes of the prepared profile: its
        files, its cache entries, whether it empties a list or the bin."""
        c, r, k = (self.folders[n].upper() for n in ("Cookies", "Recent", "Cache"))
        t = self.temp.upper()
        files = set()
        every = self.files()
        if category == "cookies":
            files = {p for p in every if p.startswith(c + "\\") and p.endswith(".TXT")}
        elif category == "recent":
            files = {p for p in every if p.startswith(r + "\\")}
        elif category == "cache":
            # The cache's own index is held open by every program that uses the cache.
            index = {k + "\\CONTENT.IE5", k + "\\CONTENT.IE5\\INDEX.DAT"}
            files = {p for p in every if p.startswith(k + "\\") and p not in index}
        elif category == "temp":
            e2e = t + "\\E2E\\"
            # The file held open, the hidden folder and the link to a folder outside.
            stays = {e2e + "LOCKED.TXT", e2e + "HIDDENDIR", e2e + "HIDDENDIR\\INNER.TXT", e2e + "LINK"}
            files = {p for p in every if p.startswith(e2e) and p not in stays}
        return files


def fileprep(s, *args, timeout=30):
    """Runs the fileprep helper in the scenario's prefix and returns its
    answer; "hold" keeps running on the desktop."""
    s._answers = getattr(s, "_answers", 0) + 1
    out = os.path.join(s.workdir, "fileprep-%d.txt" % s._answers)
    cmd = [s.helper("fileprep"), s._wine_path(out)] + list(args)
    if args[0] == "hold":
        s.launch(cmd[0], cmd[1:])
    else:
        harness.run(["wine"] + cmd, env=s.env, timeout=timeout)
    wait_until(lambda: os.path.exists(out), timeout, interval=0.05, what="fileprep %s" % " ".join(args))
    with open(out, encoding="latin-1") as f:
        return f.read()


def cachetool(s, *args):
    """Runs the cache helper in the scenario's prefix and returns what it
    prints. A listing made while the program deletes entries may break off
    mid-way; it is asked again."""
    for attempt in range(5):
        try:
            p = harness.run(["wine", s.helper("cachetool")] + list(args), env=s.env, timeout=60)
            return p.stdout.decode("latin-1")
        except E2EError as e:
            if args[0] != "list" or attempt == 4:
                raise
            harness.log("cache listing failed, again: %s" % str(e).strip().splitlines()[-1])
            time.sleep(0.3)


def hold_open(s, winpath):
    answer = fileprep(s, "hold", winpath)
    if answer != "ok":
        raise E2EError("could not hold %s open: %s" % (winpath, answer))


def command(s, app, name):
    """Clicks one single-category command in the tray menu's submenu."""
    for attempt in range(3):
        menu = ui.open_menu(s, app)
        s.key_on(menu, "Down", "Down", "Right")
        try:
            sub = wait_until(lambda: [w for w in ui.menus(s, app) if w.id != menu.id], 3, what="the Erase submenu")[0]
        except E2EError:
            harness.log("the submenu did not open; again")
            ui.close_menus(s, app)
            continue
        time.sleep(0.3)
        x, y, w, h = s.geometry(sub)
        s.click(x + w // 2, y + SUBMENU_FIRST_Y + SUBMENU_LINE * COMMANDS.index(name))
        wait_until(lambda: not ui.menus(s, app), 5, what="the menus to close after %s" % name)
        return
    raise E2EError("the Erase submenu does not open")


def erase_all(s, app):
    menu = ui.open_menu(s, app)
    s.key_on(menu, "Down", "Return")


def refusals(s):
    return [w for w in s.win32_windows(cls="#32770", exe="tarnwick.exe") if w.visible and REFUSAL in w.body]


def expect_one_refusal(s, what, by_key=False):
    """The refusal is shown; it is closed by its OK button or by Enter on
    the keyboard; no second one follows."""
    boxes = wait_until(lambda: refusals(s), 10, what="the refusal after %s" % what)
    s.screenshot("refusal")
    if by_key:
        s.key_on(boxes[0], "Return")
    else:
        # Its OK button: centred, its middle 20 pixels above the client area's bottom.
        x, y, w, h = boxes[0].window
        border = (w - boxes[0].client[0]) // 2
        s.click(x + w // 2, y + h - border - 20)
    wait_until(lambda: not refusals(s), 5, what="the refusal to close")
    time.sleep(1.0)
    s.expect(not refusals(s), "a second refusal after %s" % what)


def settle(profile, timeout=10):
    """Waits until the profile stops changing after a command."""
    last, same_since = None, None
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        now = profile.state()
        if now == last:
            if time.monotonic() - same_since > 1.0:
                return now
        else:
            last, same_since = now, time.monotonic()
        time.sleep(0.2)
    return last


def check_erased(s, profile, before, after, categories):
    """`after` is `before` less exactly what the categories cover."""
    gone = set()
    for c in categories:
        gone |= profile.expected[c]
    removed = before["files"] - after["files"]
    added = after["files"] - before["files"]
    label = "+".join(categories)
    s.expect(removed == gone, "%s removed %s; expected %s" % (label, sorted(removed - gone) + ["|missing:"] +
                                                            sorted(gone - removed), len(gone)))
    s.expect(not added, "%s added %s" % (label, sorted(added)))
    cache_gone = {CACHE_KIND[c] for c in categories if c in CACHE_KIND}
    s.expect(before["cache"] - after["cache"] == cache_gone and after["cache"] <= before["cache"],
             "%s: cache entries %s -> %s" % (label, sorted(before["cache"]), sorted(after["cache"])))
    for name in LISTS:
        want = 0 if name in categories else before["lists"][name]
        s.expect(after["lists"][name] == want, "%s: list %s has %s values, expected %s" % (
            label, name, after["lists"][name], want))
    want_bin = 0 if "recycle" in categories else before["bin"]
    s.expect(after["bin"] == want_bin, "%s: %s items in the Recycle Bin, expected %d" % (label, after["bin"], want_bin))


def start_prepared(s, hold=True):
    profile = Profile(s)
    profile.prepare(hold=hold)
    app = s.start_tarnwick()
    time.sleep(1)
    before = profile.state()
    if before["cache"] != set(CACHE_ENTRIES):
        raise E2EError("the prepared cache holds %s" % sorted(before["cache"]))
    if not isinstance(before["bin"], int) or before["bin"] < 1:
        raise E2EError("nothing in the Recycle Bin: %s" % before["bin"])
    # What each category covers, known before anything is erased.
    profile.expected = {c: profile.covered(c) for c in COMMANDS}
    return profile, app, before


def single_commands():
    with Scenario("eraser_single") as s:
        profile, app, state = start_prepared(s)
        for name in COMMANDS:
            command(s, app, name)
            after = settle(profile)
            check_erased(s, profile, state, after, [name])
            state = after
        # The locked file and the hidden sub-folder stay; the link's target is untouched.
        t = profile.temp.upper() + "\\E2E\\"
        for kept in ("LOCKED.TXT", "HIDDENDIR\\INNER.TXT"):
            s.expect(t + kept in state["files"], "%s was erased" % kept)
        for kept in (r"C:\OUTSIDE\O1.TXT", r"C:\OUTSIDE\O2\O3.TXT", profile.witness.upper()):
            s.expect(kept in state["files"], "%s outside the erased folders is gone" % kept)
        for name in LISTS:
            s.expect(state["lists"][name] == 0, "list %s is %s, not an empty key" % (name, state["lists"][name]))


def erase_with_flags():
    with Scenario("eraser_flags") as s:
        chosen = ["cookies", "temp", "run"]
        for c in COMMANDS:
            s.reg_add(ERASE_KEY, FLAGS[c], "1" if c in chosen else "0")
        s.reg_add(ERASE_KEY, FLAGS["history"], "yes")  # not exactly "1": not chosen
        s.reg_add(ERASE_KEY, FLAGS["recycle"], "1 ")
        profile, app, before = start_prepared(s)
        erase_all(s, app)
        after = settle(profile)
        check_erased(s, profile, before, after, chosen)
        s.expect(not refusals(s), "an erase showed a message")


def with_browser():
    with Scenario("eraser_browser") as s:
        for c in COMMANDS:
            s.reg_add(ERASE_KEY, FLAGS[c], "1")
        profile, app, before = start_prepared(s)
        # A stand-in browser whose only window is hidden.
        browser = s.install(s.helper("iexplore"), folder="StandIn")
        s.launch(browser, ["--quit-after", "120000", "--hidden-window", "Hidden page - Microsoft Internet Explorer"])
        wait_until(lambda: s.win32_windows(cls="IEFrame", exe="iexplore.exe", timeout=15), 15,
                   what="the stand-in browser's hidden window")
        erase_all(s, app)
        expect_one_refusal(s, "&Erase with a hidden browser window")
        command(s, app, "cookies")
        expect_one_refusal(s, "Cookies with a hidden browser window", by_key=True)
        now = settle(profile)
        check_erased(s, profile, before, now, [])
        command(s, app, "recycle")
        after = settle(profile)
        check_erased(s, profile, now, after, ["recycle"])
        s.expect(not refusals(s), "emptying the Recycle Bin was refused")
        s.launch(browser, ["--exit-all"])
        wait_until(lambda: not s.running("iexplore.exe"), 15, what="the stand-in browser to end")

        # The platform's own browser.
        s.launch(r"C:\Program Files\Internet Explorer\iexplore.exe", ["about:blank"])
        wait_until(lambda: s.win32_windows(exe="iexplore.exe"), 30, what="Wine's browser window")
        time.sleep(2)  # it takes the focus while it starts, which would close the tray menu
        erase_all(s, app)
        expect_one_refusal(s, "&Erase with Wine's browser")
        check_erased(s, profile, after, settle(profile), [])


def system_temp_folders():
    """TMP and TEMP at the drive root, then at the Windows folder: the temp
    erase leaves every file there."""
    with Scenario("eraser_system_temp") as s:
        witnesses = [r"C:\witness-root.txt", r"C:\windows\witness-windows.txt", r"C:\windows\temp\witness.txt"]
        for folder in (r"C:\\", r"C:\windows"):
            s.reg_add(r"HKCU\Environment", "TEMP", folder)
            s.reg_add(r"HKCU\Environment", "TMP", folder)
            profile = Profile(s)
            s.expect(profile.temp.upper() == folder.rstrip("\\").upper(), "the temp folder is %s" % profile.temp)
            for w in witnesses:
                profile.write(w)
            before = {w: os.path.exists(profile.unix(w)) for w in witnesses}
            windows_files = sorted(os.listdir(profile.unix(r"C:\windows")))
            app = s.start_tarnwick()
            time.sleep(1)
            command(s, app, "temp")
            time.sleep(3)
            for w in witnesses:
                s.expect(os.path.exists(profile.unix(w)), "%s erased with TEMP=%s" % (w, folder))
            s.expect(sorted(os.listdir(profile.unix(r"C:\windows"))) == windows_files,
                     "the Windows folder changed with TEMP=%s" % folder)
            menu = ui.open_menu(s, app)
            s.key_on(menu, "x")
            app.wait_exit(10)


def scenario():
    single_commands()
    erase_with_flags()
    with_browser()
    system_temp_folders()


if __name__ == "__main__":
    harness.main(scenario)
