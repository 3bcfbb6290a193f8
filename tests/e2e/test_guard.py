"""The automatic erase and the browser guard.

Auto-erase, with "Erase" "1" and "Temp Folder" selected: a file put into the
temp folder while a stand-in browser runs (its only window hidden) stays;
within two seconds of the browser's end it is gone, and so is a file put
there while no browser runs; unticked in the options window and applied,
the erasing stops at once; started again with "Erase" "yes", nothing is
erased.

The start page, with "Start Page" "1": the page the browser had when the
program started is the guarded one; a page changed with `wine reg add` is
put back within two seconds, also when only its letter case changed; with
"Start Page" "0" nothing is written.

The typed addresses: "Clear last typed URL" ticked in the options window and
applied writes TypedURLs.reg beside the program (its bytes compared: a local
path, a double quote, and a value with a line break left out); three
addresses added one after another are each gone within two seconds and the
list is the snapshot's again; the line-break value's text wrote nothing
else into the registry; the address-bar erase from the tray menu is undone
as well; with "Last Typed" "0" a typed address stays. The program ends
within a second of "E&xit" with the watcher running."""

import os
import time

import harness
from harness import Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY, TYPED_URLS
from browsers import Browser, SUFFIX
from test_eraser import command as eraser_command, fileprep

ERASE_KEY = MAIN_KEY + r"\erase"
IE_MAIN = r"HKCU\Software\Microsoft\Internet Explorer\Main"
QUIET = 3.0  # three ticks of the timers


def unix(s, winpath):
    return os.path.join(s.prefix, "drive_c", *winpath[3:].split("\\"))


def put(folder, name):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write("trace")
    return path


def gone_within(path, seconds, what):
    wait_until(lambda: not os.path.exists(path), seconds, interval=0.1, what="%s to be erased" % what)


def stays(path, what):
    time.sleep(QUIET)
    assert os.path.exists(path), "%s was erased" % what


def exit_program(s, app):
    s.key_on(ui.open_menu(s, app), "x")
    t = time.monotonic()
    app.wait_exit(5)
    return time.monotonic() - t


def auto_erase():
    with Scenario("auto_erase") as s:
        s.reg_add(MAIN_KEY, "Erase", "1")
        s.reg_add(ERASE_KEY, "Temp Folder", "1")
        temp = unix(s, fileprep(s, "temp").rstrip("\\"))
        browser = Browser(s, "hidden", ("hidden-window", "Start" + SUFFIX))
        app = s.start_tarnwick()
        during = put(temp, "during-browsing.txt")
        stays(during, "a file put there while the browser runs")

        s.launch(s.helper("iexplore"), ["--exit-all"])
        wait_until(lambda: "exit" in browser.lines(), 10, what="the browser to end")
        gone_within(during, 2.5, "the file left by the browsing")
        gone_within(put(temp, "later.txt"), 2.5, "a file put there with no browser")

        ui.click_in_options(s, app, "Misc", ["Erase (cookies, history, addresses...) each time IE is closed"], "Apply",
                            shot="unticked")
        assert s.reg_query(MAIN_KEY, "Erase") == "0"
        stays(put(temp, "after-unticking.txt"), "a file put there after the option was unticked")
        exit_program(s, app)

        s.reg_add(MAIN_KEY, "Erase", "yes")
        app = s.start_tarnwick()
        stays(put(temp, "with-yes.txt"), "a file put there with \"Erase\" \"yes\"")


def start_page():
    with Scenario("start_page") as s:
        s.reg_add(MAIN_KEY, "Start Page", "1")
        s.reg_add(IE_MAIN, "Start Page", "http://before.test/")
        app = s.start_tarnwick()
        wait_until(lambda: s.reg_query(MAIN_KEY, "Edit start") == "http://before.test/", 5,
                   what="the browser's page at start to be the guarded one")
        for changed in ("http://elsewhere.test/", "HTTP://BEFORE.TEST/"):
            s.reg_add(IE_MAIN, "Start Page", changed)
            wait_until(lambda: s.reg_query(IE_MAIN, "Start Page") == "http://before.test/", 2.5,
                       what="the start page %s put back" % changed)
        s.reg_add(MAIN_KEY, "Start Page", "0")
        s.reg_add(IE_MAIN, "Start Page", "http://chosen.test/")
        time.sleep(QUIET)
        assert s.reg_query(IE_MAIN, "Start Page") == "http://chosen.test/", "written with the guard off"


def regedit_import(s, lines):
    """Imports REGEDIT4 lines with the system's registry editor."""
    path = os.path.join(s.prefix, "drive_c", "prepare.reg")
    with open(path, "wb") as f:
        f.write(("REGEDIT4\r\n\r\n" + "\r\n".join(lines) + "\r\n").encode("latin-1"))
    harness.run(["wine", "regedit", "/s", r"C:\prepare.reg"], env=s.env, timeout=60)


def typed_list(s):
    return {name: data for name, (kind, data) in (s.reg_query(TYPED_URLS) or {}).items()}


def typed_urls():
    with Scenario("typed_urls") as s:
        # A line break inside a value's text: the text after it would be a
        # line of its own in a registry file.
        evil = "http://evil.test/\r\n[HKEY_CURRENT_USER\\Software\\Injected]"
        regedit_import(s, ["[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]",
                           '"url1"="C:\\\\temp\\\\a.htm"',
                           '"url2"="http://x.test/?q=\\"quoted\\""',
                           '"url3"=hex(1):' + ",".join("%02x" % b for b in (evil.encode("latin-1") + b"\0"))])
        app = s.start_tarnwick()
        ui.click_in_options(s, app, "Browser", ["Clear last typed URL"], "Apply", shot="ticked")
        snapshot = os.path.join(os.path.dirname(app.path), "TypedURLs.reg")
        with open(snapshot, "rb") as f:
            written = f.read()
        want = (b"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\software\\microsoft\\internet explorer\\typedURLs]\r\n"
                b'"url1"="C:\\\\temp\\\\a.htm"\r\n"url2"="http://x.test/?q=\\"quoted\\""\r\n')
        assert written == want, written
        kept = {"url1": r"C:\temp\a.htm", "url2": 'http://x.test/?q="quoted"'}

        for n, address in enumerate(("http://one.test/", "http://two.test/", "http://three.test/"), 4):
            s.reg_add(TYPED_URLS, "url%d" % n, address)
            wait_until(lambda: typed_list(s) == kept, 2.5, interval=0.2,
                       what="the typed address %s undone" % address)
        assert not s.reg_key_exists(r"HKCU\Software\Injected"), "the line-break value wrote a key"
        s.screenshot("after-three")

        # The address-bar erase empties the list; the guard brings it back.
        eraser_command(s, app, "address")
        wait_until(lambda: typed_list(s) == kept, 2.5, interval=0.2, what="the snapshot back after the erase")
        # Switched off: a typed address stays.
        s.reg_add(MAIN_KEY, "Last Typed", "0")
        s.reg_add(TYPED_URLS, "url9", "http://stays.test/")
        time.sleep(QUIET)
        assert typed_list(s).get("url9") == "http://stays.test/", typed_list(s)

        took = exit_program(s, app)
        harness.log("the program ended %.2f s after E&xit" % took)
        assert took < 1.5, "the program took %.1f s to end" % took


def scenario():
    auto_erase()
    start_page()
    typed_urls()


if __name__ == "__main__":
    harness.main(scenario)
