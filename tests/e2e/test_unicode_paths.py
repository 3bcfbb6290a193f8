"""Traces whatever their names, and the program in a folder named in Cyrillic.

Tarnwick is installed in C:\\Программа with a block list file there. With
Temp Folder, IE Cache and Recent Documents selected, "&Erase" from the tray
menu empties a temp folder holding files named in Cyrillic, Greek, Chinese
and with an emoji, a Cyrillic folder with a Greek file in it, a cache
sub-folder with a Chinese name, and Recent items in Cyrillic, exactly as it
empties the plain names beside them; the listings before and after are
printed. The program finds its block list there (the listed popup is
closed), saves the list there (the popup hot key adds the window in front)
and opens its help file from there."""

import os
import time

import harness
from harness import Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY
from browsers import Browser, SUFFIX, block_file
from test_eraser import ERASE_KEY, FLAGS, Profile, erase_all

PROGRAM_FOLDER = "Программа"
CHOSEN = ("temp", "cache", "recent")
# Below the temp folder, the cache folder and the Recent folder.
TEMP_NAMES = ["Привет.txt", "Γειά σου.doc", "你好.htm", "😀.txt", "Папка\\Ελληνικά.txt", "plain.txt",
              "plain\\inner.txt"]
CACHE_NAMES = ["缓存\\页面.htm", "plain-cache\\page.htm"]
RECENT_NAMES = ["Документ.lnk", "plain.lnk"]


def listing(profile, folder):
    """Every file and folder below a Windows folder, relative to it."""
    base = profile.unix(folder)
    found = []
    for dirpath, dirnames, filenames in os.walk(base):
        for name in dirnames + filenames:
            found.append(os.path.relpath(os.path.join(dirpath, name), base).replace("/", "\\"))
    return sorted(found)


def ours(names):
    """The names we made and the folders they are in."""
    made = set(names)
    for name in names:
        if "\\" in name:
            made.add(name.split("\\")[0])
    return made


def show(title, folders):
    for label, (folder, entries) in folders.items():
        harness.log("%s, %s (%s): %d entries" % (title, label, folder, len(entries)))
        for entry in entries:
            harness.log("    " + entry)


def scenario():
    with Scenario("unicode_paths") as s:
        for c, flag in FLAGS.items():
            s.reg_add(ERASE_KEY, flag, "1" if c in CHOSEN else "0")
        s.reg_add(MAIN_KEY, "Hot Key", "Shift+Ctrl+A")
        s.reg_add(MAIN_KEY, "Popup Blocker", "1")
        profile = Profile(s)
        places = {"temp": (profile.temp, TEMP_NAMES), "cache": (profile.folders["Cache"], CACHE_NAMES),
                  "recent": (profile.folders["Recent"], RECENT_NAMES)}
        for folder, names in places.values():
            for name in names:
                profile.write(folder + "\\" + name)
        before = {label: (folder, listing(profile, folder)) for label, (folder, _) in places.items()}
        show("before", before)
        for label, (folder, names) in places.items():
            missing = ours(names) - set(before[label][1])
            s.expect(not missing, "not made in %s: %s" % (label, sorted(missing)))

        exe = s.install(s.exe, folder=PROGRAM_FOLDER)
        program = os.path.dirname(exe)
        with open(os.path.join(program, "tarnwick_block.txt"), "wb") as f:
            f.write(b"Ads\r\n")
        app = s.start(exe)
        time.sleep(1)

        erase_all(s, app)

        def left():
            return {label: ours(names) & set(listing(profile, folder)) for label, (folder, names) in places.items()}
        wait_until(lambda: not any(left().values()), 15, what="the erase of every name (%s)" % left())
        time.sleep(1)
        after = {label: (folder, listing(profile, folder)) for label, (folder, _) in places.items()}
        show("after", after)
        for label in places:
            s.expect(not ours(places[label][1]) & set(after[label][1]), "%s keeps %s" % (label, left()[label]))
            # The cache's own index, which WinINet makes when the program first uses the cache.
            added = set(after[label][1]) - set(before[label][1]) - {"Content.IE5", "Content.IE5\\index.dat"}
            s.expect(not added, "%s gained %s" % (label, sorted(added)))
        s.expect(not after["recent"][1], "the Recent list is not empty: %s" % after["recent"][1])

        # The block list file in the Cyrillic folder was read: its entry's window is closed.
        browser = Browser(s, "pages", "Ads", "Deals")
        wait_until(lambda: browser.closed() == ["Ads" + SUFFIX], 10, what="the listed Ads window to be closed")
        # ... and written there: the popup hot key puts the window in front on the list.
        browser.bring_to_front("Deals" + SUFFIX)
        s.move(500, 700)
        s.key("shift+ctrl+a")
        wait_until(lambda: block_file(s, app) == b"Ads\r\nDeals\r\n", 10,
                   what="Deals saved to the list beside the program (%r)" % block_file(s, app))
        harness.log("%s: %s" % (os.path.join(program, "tarnwick_block.txt"), block_file(s, app)))
        s.expect(sorted(os.listdir(program)) == ["help.chm", "tarnwick.exe", "tarnwick_block.txt"],
                 "the program's folder holds %s" % sorted(os.listdir(program)))

        # The help file beside the program: the main window's "?" button opens it.
        s.key_on(ui.open_menu(s, app), "s")
        main = wait_until(lambda: ui.main_window(s, app), 10, what="the main window")
        x, y, w, h = s.geometry(main)
        s.click(x + 1 + 15 * 2 + 7, y + 1 + 7)
        help_window = wait_until(lambda: s.windows(name="Tarnwick Help"), 15, what="the help window")[0]
        time.sleep(1)
        s.screenshot("help-from-cyrillic-folder")
        s.key_on(help_window, "alt+F4")


if __name__ == "__main__":
    harness.main(scenario)
