"""The installer and the uninstaller, as a user runs them.

`make dist`'s script makes the signed setup.exe; its manifest and the
uninstaller's, read from their resources, ask for the user's own rights
only. The wizard (Enter on Welcome, install location, finish with "Start
Tarnwick now") and `setup.exe /S` each put the program, its help file and
uninstaller in the user's own programs folder, three entries in the user's
Start menu and the uninstall entry under the user's hive. The installed
program's help button opens the help window; it keeps its block list (the
popup hot key) and its typed-URL snapshot beside itself; "Load Tarnwick at
Windows startup" applied writes the user's run-key entry and takes an older
install's machine entry away, applied cleared removes it. The uninstaller
from the Start menu ends the program and, answered Yes, takes the settings
too; a second `/S` over a running copy waits for it to end before it
replaces the files; `uninstall.exe /S` leaves nothing but the settings, its
folder taken away once a program that was still ending in it has ended."""

import os
import subprocess
import time

import harness
from harness import Scenario, wait_until
from browsers import Browser, block_file
from installer import UNINSTALL_KEY, embedded_manifest, make_dist, unix, user_folders, wizard_page
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
MACHINE_RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
MACHINE_UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
MACHINE_PLACES = [r"C:\Program Files\Tarnwick", r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Tarnwick"]
OLDER_ENTRY = r"C:\Program Files\Tarnwick\tarnwick.exe"
ENTRIES = ["Tarnwick.lnk", "Tarnwick Help.lnk", "Uninstall Tarnwick.lnk"]
RUN, LAST_TYPED = "Load Tarnwick at Windows startup", "Clear last typed URL"


def make_installer(s):
    return s.install(os.path.join(make_dist(s), "setup.exe"), folder="Downloads")


def expect_as_invoker(s, path):
    manifest = embedded_manifest(path)
    s.expect('requestedExecutionLevel level="asInvoker"' in manifest,
             "%s does not run as the user who starts it: %s" % (os.path.basename(path), manifest))


def expect_installed(s, program, menu):
    """The program, its Start-menu entries and its uninstall entry, all in
    the user's own places; nothing in the machine's."""
    for name in ("tarnwick.exe", "help.chm", "uninstall.exe"):
        assert os.path.isfile(os.path.join(unix(s, program), name)), name
    assert sorted(os.listdir(unix(s, menu))) == sorted(ENTRIES), os.listdir(unix(s, menu))
    assert s.reg_query(UNINSTALL_KEY, "DisplayVersion") == "3.4.1"
    assert s.reg_query(UNINSTALL_KEY, "Publisher") == "Tarnwick"
    assert s.reg_query(UNINSTALL_KEY, "InstallLocation").lower() == program.lower()
    assert s.reg_query(UNINSTALL_KEY, "DisplayIcon").lower() == (program + r"\tarnwick.exe,0").lower()
    assert s.reg_query(UNINSTALL_KEY, "QuietUninstallString").lower() == ('"%s\\uninstall.exe" /S' % program).lower()
    assert not s.reg_key_exists(MACHINE_UNINSTALL_KEY), "an uninstall entry for the whole machine"
    for place in MACHINE_PLACES:
        assert not os.path.exists(unix(s, place)), place
    expect_as_invoker(s, os.path.join(unix(s, program), "uninstall.exe"))


def expect_uninstalled(s, program, menu):
    # A silent uninstaller goes on from a copy of itself: its steps are
    # waited for, not its process.
    def left():
        return [what for what, there in (
            ("folder %s" % (os.listdir(unix(s, program)) if os.path.exists(unix(s, program)) else ""),
             os.path.exists(unix(s, program))),
            ("Start-menu entries", os.path.exists(unix(s, menu))),
            ("uninstall entry", s.reg_key_exists(UNINSTALL_KEY)),
            ("tarnwick.exe running", s.running("tarnwick.exe")),
            ("uninstaller running", s.running("Un.exe", "Un_A.exe", "uninstall.exe"))) if there]
    try:
        wait_until(lambda: not left(), 60,
                   what="the program's folder, its Start-menu entries and its uninstall entry to go")
    except AssertionError:
        raise AssertionError("left behind: %s" % left())
    assert not s.running("tarnwick.exe"), "the uninstaller left Tarnwick running"
    assert s.reg_query(RUN_KEY, "Tarnwick") is None, "the start-with-Windows entry is left"


def install_and_uninstall():
    with Scenario("install") as s:
        setup = make_installer(s)
        expect_as_invoker(s, setup)
        program, menu = user_folders(s)
        # What the installed program will find: the popup hot key, and an
        # older install's start-with-Windows entry for the whole machine.
        s.reg_add(MAIN_KEY, "Hot Key", "Shift+Ctrl+A")
        s.reg_add(MACHINE_RUN_KEY, "Tarnwick", OLDER_ENTRY)
        s.start_desktop()
        s.launch(setup)
        wizard_page(s, "Welcome to Tarnwick 3.4.1 Setup", "welcome")
        wizard_page(s, "Choose Install Location", "location")
        wizard_page(s, "Completing Tarnwick 3.4.1 Setup", "finish")
        wait_until(lambda: s.running("tarnwick.exe"), 15, what="Tarnwick started by the installer")
        expect_installed(s, program, menu)

        # The main window's help button: the help window on its topic.
        app = harness.App(s, "tarnwick.exe", s.pids("tarnwick.exe")[0])
        app.path = os.path.join(unix(s, program), "tarnwick.exe")
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
        s.click(*ui.hide_button(s, main))  # the tray menu opens only while the window is away
        wait_until(lambda: not ui.main_window(s, app), 5, what="the main window to hide")

        # What the program keeps beside itself.
        deals = Browser(s, "deals", "Deals")
        deals.bring_to_front(deals.titles[0])
        s.move(500, 700)
        s.key("shift+ctrl+a")
        wait_until(lambda: block_file(s, app) == b"Deals\r\n", 5, what="Deals in the block list beside the program")
        time.sleep(1)  # the tray icon's flash
        ui.click_in_options(s, app, "Browser", [LAST_TYPED], "Close")
        ui.click_in_options(s, app, "Misc", [RUN], "Apply", shot="startup-ticked")
        with open(os.path.join(unix(s, program), "TypedURLs.reg"), "rb") as f:
            assert f.read().startswith(b"REGEDIT4\r\n"), "the typed-URL snapshot beside the program"
        entry = s.reg_query(RUN_KEY, "Tarnwick")
        assert entry is not None and entry.lower() == (program + r"\tarnwick.exe").lower(), entry
        assert s.reg_query(MACHINE_RUN_KEY, "Tarnwick") is None, "the older install's entry is left"
        ui.click_in_options(s, app, "Misc", [RUN], "Apply")
        assert s.reg_query(RUN_KEY, "Tarnwick") is None, "Apply without start-up left the entry"
        assert s.reg_query(MAIN_KEY, "Run") == "0"
        ui.click_in_options(s, app, "Misc", [RUN], "Apply")  # for the uninstaller to take away
        assert s.reg_query(RUN_KEY, "Tarnwick") is not None

        s.launch("start.exe", [menu + r"\Uninstall Tarnwick.lnk"])
        wizard_page(s, "Uninstall Tarnwick 3.4.1", "uninstall")
        question = wait_until(lambda: [w for w in s.win32_windows(cls="#32770", controls=True)
                                       if w.visible and "settings" in w.body], 30, what="the settings question")[0]
        s.screenshot("settings-question")
        s.click(*question.control("Yes").centre)
        wizard_page(s, "Uninstallation Complete", "uninstalled")
        expect_uninstalled(s, program, menu)
        assert not s.reg_key_exists(MAIN_KEY), "the settings are left though Yes was answered"


def silent_over_running():
    with Scenario("install_silent") as s:
        setup = make_installer(s)
        program, menu = user_folders(s)
        s.start_desktop()
        s.launch(setup, ["/S"])
        exe = os.path.join(unix(s, program), "tarnwick.exe")
        wait_until(lambda: os.path.isfile(exe) and not s.running("setup.exe"), 60, what="the first silent install")
        expect_installed(s, program, menu)
        # Started from outside its folder: under Wine, what the desktop starts
        # a program through keeps the folder it was started in as its current
        # one until the desktop's last program has ended, here the uninstaller.
        app = s.start(exe, cwd=s.workdir)
        # The help file, which the running program does not hold, marked:
        # the installer puts it back only once the program has ended.
        chm = os.path.join(unix(s, program), "help.chm")
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

        # A program started in the folder is still ending there as the
        # uninstaller empties it, as the copy that starts the uninstaller may
        # be. It is started by wine itself, not through the desktop, whose
        # launcher would hold the folder on past its end. The uninstaller is
        # started as the list of installed programs starts it, from outside.
        holder = subprocess.Popen(["wine", "ping.exe", "-n", "3", "127.0.0.1"], env=s.env, cwd=unix(s, program),
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: s.running("ping.exe"), 10, what="a program in the folder")
        s.launch(os.path.join(unix(s, program), "uninstall.exe"), ["/S"], cwd=s.workdir)
        expect_uninstalled(s, program, menu)
        holder.wait(30)
        assert s.reg_query(MAIN_KEY, "Version") == "3.4.1", "the silent uninstaller took the settings"


def scenario():
    install_and_uninstall()
    silent_over_running()


if __name__ == "__main__":
    harness.main(scenario)
