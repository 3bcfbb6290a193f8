"""The installer and the uninstaller, as a user runs them.

`make dist`'s script makes the signed setup.exe; its wizard is driven with
Enter pressed on each page (Welcome, install location, finish with "Start
Tarnwick now" ticked): Tarnwick lands in "C:\\Program Files\\Tarnwick" with
its help file and uninstaller, the Start menu gets its three entries, the
uninstall key names it, and the program starts; its help button opens the
help window on the main window's topic. `setup.exe /S` started while
Tarnwick runs waits for it to end (exited from the tray menu) before it
replaces the files. The uninstaller, started from its Start-menu entry,
ends the running program, removes its files, the Start-menu entries, the
start-with-Windows entry and the uninstall key, and, answered Yes, the
settings."""

import os
import time

import harness
from harness import E2EError, Scenario, wait_until
from installer import PROGRAM, make_dist, unix, wizard_page
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY

MENU = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Tarnwick"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
ENTRIES = ["Tarnwick.lnk", "Tarnwick Help.lnk", "Uninstall Tarnwick.lnk"]


def make_installer(s):
    return s.install(os.path.join(make_dist(s), "setup.exe"), folder="Downloads")


def install_and_uninstall():
    with Scenario("install") as s:
        setup = make_installer(s)
        s.start_desktop()
        s.launch(setup)
        wizard_page(s, "Welcome to Tarnwick 3.4.1 Setup", "welcome")
        wizard_page(s, "Choose Install Location", "location")
        wizard_page(s, "Completing Tarnwick 3.4.1 Setup", "finish")
        wait_until(lambda: s.running("tarnwick.exe"), 15, what="Tarnwick started by the installer")
        for name in ("tarnwick.exe", "help.chm", "uninstall.exe"):
            assert os.path.isfile(os.path.join(unix(s, PROGRAM), name)), name
        assert sorted(os.listdir(unix(s, MENU))) == sorted(ENTRIES), os.listdir(unix(s, MENU))
        assert s.reg_query(UNINSTALL_KEY, "DisplayVersion") == "3.4.1"
        assert s.reg_query(UNINSTALL_KEY, "Publisher") == "Tarnwick"
        assert s.reg_query(UNINSTALL_KEY, "DisplayIcon").lower() == (PROGRAM + r"\tarnwick.exe,0").lower()

        # The main window's help button: the help window on its topic.
        app = harness.App(s, "tarnwick.exe", s.pids("tarnwick.exe")[0])
        app.icon_slot = wait_until(lambda: s.tray_slots(), 10, what="the tray icon")[-1]
        app.icon = s.slot_centre(app.icon_slot)
        s.key_on(ui.open_menu(s, app), "s")
        main = wait_until(lambda: ui.main_window(s, app), 10, what="the main window")
        x, y, w, h = s.geometry(main)
        s.click(x + 1 + 15 * 2 + 7, y + 1 + 7)  # the header's third button, "?"
        help_window = wait_until(lambda: s.windows(name="Tarnwick Help"), 15, what="the help window")[0]
        time.sleep(1)
        s.screenshot("help")
        s.key_on(help_window, "alt+F4")

        # Start with Windows was chosen: the uninstaller must take that away too.
        s.reg_add(RUN_KEY, "Tarnwick", PROGRAM + r"\tarnwick.exe")
        s.reg_add(MAIN_KEY, "Popup Blocker", "1")
        s.launch("start.exe", [MENU + r"\Uninstall Tarnwick.lnk"])
        wizard_page(s, "Uninstall Tarnwick 3.4.1", "uninstall")
        question = wait_until(lambda: [w for w in s.win32_windows(cls="#32770", controls=True)
                                       if w.visible and "settings" in w.body], 30, what="the settings question")[0]
        s.screenshot("settings-question")
        s.click(*question.control("Yes").centre)
        wizard_page(s, "Uninstallation Complete", "uninstalled")
        wait_until(lambda: not os.path.exists(unix(s, PROGRAM)), 10, what="the program's folder to go")
        assert not s.running("tarnwick.exe"), "the uninstaller left Tarnwick running"
        assert not os.path.exists(unix(s, MENU)), "Start-menu entries left"
        assert not s.reg_key_exists(UNINSTALL_KEY)
        assert s.reg_query(RUN_KEY, "Tarnwick") is None, "the start-with-Windows entry is left"
        assert not s.reg_key_exists(MAIN_KEY), "the settings are left though Yes was answered"


def silent_over_running():
    with Scenario("install_silent") as s:
        setup = make_installer(s)
        s.start_desktop()
        s.launch(setup, ["/S"])
        exe = os.path.join(unix(s, PROGRAM), "tarnwick.exe")
        wait_until(lambda: os.path.isfile(exe) and not s.running("setup.exe"), 60, what="the first silent install")
        app = s.start(exe)
        # The help file, which the running program does not hold, marked:
        # the installer puts it back only once the program has ended.
        chm = os.path.join(unix(s, PROGRAM), "help.chm")
        with open(os.path.join(s.build, "help.chm"), "rb") as f:
            shipped = f.read()
        with open(chm, "wb") as f:
            f.write(b"replaced by nobody yet")
        s.launch(setup, ["/S"])
        wait_until(lambda: s.running("setup.exe"), 10, what="the second installer to start")
        time.sleep(3)
        with open(chm, "rb") as f:
            assert s.running("setup.exe") and f.read() != shipped, "the files were replaced while Tarnwick ran"
        s.key_on(ui.open_menu(s, app), "x")
        app.wait_exit(5)
        wait_until(lambda: not s.running("setup.exe"), 30, what="the installer to finish")
        with open(chm, "rb") as f:
            assert f.read() == shipped, "the files were not replaced after Tarnwick ended"


def scenario():
    install_and_uninstall()
    silent_over_running()


if __name__ == "__main__":
    harness.main(scenario)
