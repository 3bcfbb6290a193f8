"""The erase preview and the cookies to keep, as one story on a profile with
temp files named in two scripts, cache entries, the cookies of three sites
(files and cache entries) and typed addresses.

The preview, opened from the tray menu's "E&rase..." submenu by its letter,
lists each selected category with a count; "&Erase Now" with a browser
running shows the refusal and removes nothing; with the browser gone it
removes exactly as many items as each row said. "example.com" is then kept
through "&Keep..." on the options window's Erase tab (typed into its field);
the preview, opened by the tab's button, shows its cookies as left, and an
erase leaves the cookie files and entries of example.com and
mail.example.com and removes the other site's. The automatic erase keeps
them too. F1 on the preview opens the help window."""

import os
import re
import time

import harness
from harness import E2EError, Scenario, wait_until
import tarnwick_ui as ui
import test_eraser
from test_eraser import ERASE_KEY, FLAGS, cachetool, expect_one_refusal, refusals

CAPTION = "Erase Preview"
# In the order an erase runs them.
SELECTED = ["Cookies", "IE Address Bar", "IE Cache", "Temp Folder"]
ROW_HEIGHT = 12  # of a list box line in the program's font
ROW = re.compile(r"^(.+?): (\d+) items?")
SITES = ["example.com", "mail.example.com", "other.test"]
# Letters of two scripts besides the code page's.
NAMES = ["\u043e\u0442\u0447\u0451\u0442.txt", "\u65e5\u8bb0.txt", "plain.tmp",
         "nest/\u0436\u0443\u0440\u043d\u0430\u043b/deep.txt"]


class Profile(test_eraser.Profile):
    """The eraser scenarios' profile (its folders, how to write a file there),
    filled with this story's traces."""

    def __init__(self, s):
        super().__init__(s)
        self.cookies = self.folders["Cookies"]
        self.cache_folder = self.folders["Cache"]

    def cookie_file(self, site):
        return self.cookies + "\\root@%s[1].txt" % site

    def add_cookie(self, site):
        self.write(self.cookie_file(site), "id\n1\n%s/\n" % site)
        cachetool(self.s, "add", "cookie", "Cookie:root@%s/" % site)

    def prepare(self, content=True):
        for name in NAMES:
            self.write(self.temp + "\\e2e\\" + name.replace("/", "\\"), "some bytes")
        for site in SITES:
            self.add_cookie(site)
        # Not after an erase of the cache: it took the folders new entries go to.
        for url in ("http://e2e.test/page.htm", "http://e2e.test/logo.gif") if content else ():
            cachetool(self.s, "add", "content", url)
        self.s.reg_add(ui.TYPED_URLS, "url1", "http://e2e.test/")
        self.s.reg_add(ui.TYPED_URLS, "url2", "http://other.test/")

    def tree(self, root):
        found = set()
        base = self.unix(root)
        for dirpath, dirnames, filenames in os.walk(base):
            for name in dirnames + filenames:
                found.add(os.path.relpath(os.path.join(dirpath, name), base))
        return found

    def state(self):
        entries = {line.split(" ", 1)[1] for line in cachetool(self.s, "list").splitlines() if " " in line}
        return {
            "Temp Folder": self.tree(self.temp),
            "cookie files": {n for n in os.listdir(self.unix(self.cookies)) if n.lower().endswith(".txt")},
            "cookie entries": {e for e in entries if e.startswith("Cookie:")},
            "content entries": {e for e in entries if not e.startswith(("Cookie:", "Visited:"))},
            "cache files": self.tree(self.cache_folder),
            "IE Address Bar": set(self.s.reg_query(ui.TYPED_URLS) or {}),
        }


def removed(before, after):
    """How many items each category's erase removed."""
    gone = {k: before[k] - after[k] for k in before}
    return {
        "Temp Folder": len(gone["Temp Folder"]),
        "Cookies": len(gone["cookie files"]) + len(gone["cookie entries"]),
        "IE Cache": len(gone["content entries"]) + len(gone["cache files"]),
        "IE Address Bar": len(gone["IE Address Bar"]),
    }


def preview_window(s, app):
    return wait_until(lambda: s.win32_windows(title=CAPTION, exe=app.exe_name, controls=True), 10,
                      what="the preview window")[0]


def rows(s, app):
    """The preview's rows once every selected category is counted: {name: count}."""
    def counted():
        win = s.win32_windows(title=CAPTION, exe=app.exe_name, controls=True)
        lists = [c for c in win[0].controls if c.cls.lower() == "listbox"] if win else []
        lines = lists[0].lines if lists else []
        return lines if len(lines) == len(SELECTED) else None
    lines = wait_until(counted, 60, interval=0.5, what="the preview to count every category")
    found = {}
    for line in lines:
        m = ROW.match(line)
        if not m:
            raise E2EError("a preview row reads %r" % line)
        found[m.group(1)] = int(m.group(2))
    return found, lines


def open_preview_from_tray(s, app):
    menu = ui.open_menu(s, app)
    s.key_on(menu, "Down", "Down", "Right")
    sub = wait_until(lambda: [w for w in ui.menus(s, app) if w.id != menu.id], 3, what="the Erase submenu")[0]
    time.sleep(0.3)
    s.key_on(sub, "v")
    return preview_window(s, app)


def click_and_settle(s, app, caption):
    win = preview_window(s, app)
    ui.click(s, win.control(caption))


def close_preview(s, app):
    click_and_settle(s, app, "Close")
    wait_until(lambda: not s.win32_windows(title=CAPTION, exe=app.exe_name), 10, what="the preview to close")


def scenario():
    with Scenario("erase_preview") as s:
        for flag in FLAGS.values():
            s.reg_add(ERASE_KEY, flag, "1" if flag in SELECTED else "0")
        profile = Profile(s)
        profile.prepare()
        app = s.start_tarnwick()
        time.sleep(1)
        before = profile.state()
        for site in SITES:
            s.expect("Cookie:root@%s/" % site in before["cookie entries"], "no cookie entry of %s prepared" % site)

        # The preview from the tray menu: every selected category counted.
        open_preview_from_tray(s, app)
        counts, lines = rows(s, app)
        s.screenshot("counted")
        harness.log("preview: %s; cookie files %s" % (lines, sorted(before["cookie files"])))
        s.expect(list(counts) == SELECTED, "rows %s" % lines)
        # Each site's file, the entry, and the file the cache keeps for the entry.
        cookies_now = len(before["cookie files"]) + len(before["cookie entries"])
        s.expect(counts["Cookies"] == cookies_now == 3 * len(SITES), "the cookies row counts %d of %d" % (
            counts["Cookies"], cookies_now))
        s.expect(counts["IE Address Bar"] == 2, "the address bar row counts %d" % counts["IE Address Bar"])
        s.expect(profile.state() == before, "the preview changed the profile")
        # The temp folder's row, clicked: its items, named in any script.
        categories = [c for c in preview_window(s, app).controls if c.cls.lower() == "listbox"][0]
        x, y = categories.window[:2]
        s.click(x + 40, y + 2 + ROW_HEIGHT * SELECTED.index("Temp Folder") + ROW_HEIGHT // 2)
        time.sleep(0.5)
        s.screenshot("temp-items")

        # Erase Now while a browser window is open: the refusal, nothing removed.
        browser = s.install(s.helper("iexplore"), folder="StandIn")
        s.launch(browser, ["--quit-after", "120000", "--hidden-window", "Hidden page - Microsoft Internet Explorer"])
        wait_until(lambda: s.win32_windows(cls="IEFrame", exe="iexplore.exe", timeout=15), 15,
                   what="the stand-in browser's hidden window")
        click_and_settle(s, app, "Erase Now")
        expect_one_refusal(s, "Erase Now with a browser window")
        rows(s, app)
        s.expect(profile.state() == before, "Erase Now with the browser open removed something")
        s.screenshot("refused")
        s.launch(browser, ["--exit-all"])
        wait_until(lambda: not s.running("iexplore.exe"), 15, what="the stand-in browser to end")

        # Erase Now with the browser gone removes what each row said.
        click_and_settle(s, app, "Erase Now")
        rows(s, app)
        after = profile.state()
        s.screenshot("after-erase")
        s.expect(not refusals(s), "the erase was refused")
        got = removed(before, after)
        for name in SELECTED:
            s.expect(got[name] == counts[name], "%s: the preview counted %d, the erase removed %d" % (
                name, counts[name], got[name]))
        close_preview(s, app)

        # Keep example.com, typed into the Cookies to Keep window.
        profile.prepare(content=False)
        ui.open_options(s, app, 0)
        opts = s.win32_windows(title="Options", exe=app.exe_name, controls=True)[0]
        ui.click(s, opts.control("Keep..."))
        keep = wait_until(lambda: s.win32_windows(title="Cookies to Keep", exe=app.exe_name, controls=True), 10,
                          what="the Cookies to Keep window")[0]
        sites_now = [c for c in keep.controls if c.cls.lower() == "listbox"][0].lines
        s.expect(sites_now == SITES, "sites with cookies now: %s" % sites_now)
        ui.click(s, [c for c in keep.controls if c.cls.lower() == "edit"][0])
        ui.type_on(s, keep, "Example.com")
        ui.click(s, keep.control("Add >>"))
        time.sleep(0.5)
        keep = s.win32_windows(title="Cookies to Keep", exe=app.exe_name, controls=True)[0]
        s.screenshot("keep")
        kept = [c for c in keep.controls if c.cls.lower() == "listbox"][1].lines
        s.expect(kept == ["example.com"], "kept sites: %s" % kept)
        keep_file = os.path.join(s.prefix, "drive_c", "Tarnwick", "tarnwick_keep.txt")
        ui.click(s, keep.control("Close"))
        wait_until(lambda: not s.win32_windows(title="Cookies to Keep", exe=app.exe_name), 10,
                   what="the Cookies to Keep window to close")
        with open(keep_file, "rb") as f:
            s.expect(f.read() == b"example.com\r\n", "the keep list file beside the program")

        # The preview from the Erase tab's button shows the kept cookies as left.
        before = profile.state()
        opts = s.win32_windows(title="Options", exe=app.exe_name, controls=True)[0]
        ui.click(s, opts.control("Preview..."))
        counts, lines = rows(s, app)
        s.screenshot("keeping")
        cookie_row = [line for line in lines if line.startswith("Cookies:")][0]
        cookies_now = len(before["cookie files"]) + len(before["cookie entries"])
        s.expect(cookie_row.endswith(", %d left" % (cookies_now - counts["Cookies"])) and 0 < counts["Cookies"] < cookies_now,
                 "the cookies row reads %r of %d cookie files and entries" % (cookie_row, cookies_now))
        click_and_settle(s, app, "Erase Now")
        rows(s, app)
        after = profile.state()
        close_preview(s, app)
        ui.click(s, s.win32_windows(title="Options", exe=app.exe_name, controls=True)[0].control("Close"))
        for site in ("example.com", "mail.example.com"):
            s.expect("root@%s[1].txt" % site in after["cookie files"], "the cookie file of %s went" % site)
            s.expect("Cookie:root@%s/" % site in after["cookie entries"], "the cookie entry of %s went" % site)
        s.expect("root@other.test[1].txt" not in after["cookie files"], "other.test's cookie file stayed")
        s.expect("Cookie:root@other.test/" not in after["cookie entries"], "other.test's cookie entry stayed")
        s.expect(removed(before, after)["Cookies"] == counts["Cookies"], "the preview counted %d cookies, the erase removed %d" % (
            counts["Cookies"], removed(before, after)["Cookies"]))

        # The automatic erase keeps them too.
        profile.add_cookie("other.test")
        ui.click_in_options(s, app, "Misc", ["Erase (cookies, history, addresses...) each time IE is closed"], "Apply")
        wait_until(lambda: "Cookie:root@other.test/" not in profile.state()["cookie entries"], 20,
                   what="the automatic erase of other.test's cookie")
        time.sleep(2)
        auto = profile.state()
        s.expect("root@other.test[1].txt" not in auto["cookie files"], "auto-erase left other.test's cookie file")
        for site in ("example.com", "mail.example.com"):
            s.expect("root@%s[1].txt" % site in auto["cookie files"], "auto-erase removed %s's cookie file" % site)
            s.expect("Cookie:root@%s/" % site in auto["cookie entries"], "auto-erase removed %s's entry" % site)
        s.screenshot("auto-erase")

        # F1 on the preview: its help page.
        open_preview_from_tray(s, app)
        s.key_on(preview_window(s, app), "F1")
        wait_until(lambda: s.windows(name="Tarnwick Help"), 15, what="the help window")
        s.screenshot("help")
        assert app.alive()


if __name__ == "__main__":
    harness.main(scenario)
