"""The password lock and the popup sound, set up in the options window.

The lock: a password typed into "Password setup:" on the Misc tab and
applied locks the tray menu at once, leaving only "Log &in..."; in the
log-in window a wrong password shows "Password not accepted" for about a
second and changes nothing, the right one brings the full menu with "Log
o&ut..." and stores "Pass Temp", and the main window shows its Help pane;
log-out locks the menu again, empties "Pass Temp" and hides the Help pane
(read from the window list: while the menu is locked nothing can show the
main window, "&Show" being gone); the next log-in (by Enter this time)
brings the Help pane back.

The sound: "&Play sound when popup is closed" ticked, a WAV file chosen in
the real open dialog of the "..." button (its path typed into the file name
field and Enter pressed), and the "Play" button: the file's samples arrive
at the sound device, here ALSA's file plugin in the scenario's own home."""

import os
import time

import harness
from harness import Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY
import sound_device
from sound_device import sine_wav, size

PASSWORD = "secret"
WRONG = "Secret"  # differs in letter case only
# The main window's folded panes: caption bars 35 pixels apart from 40
# pixels below the window's top; the Help pane is the fourth.
HELP_CAPTION_Y = 40 + 35 * 3
PASSWORD_CHAR = ord("*")


def password_field(win):
    fields = [c for c in win.controls if c.cls == "Edit" and c.visible and c.state == PASSWORD_CHAR]
    assert len(fields) == 1, "one password field: %s" % fields
    return fields[0]


def menu_count(s, app, shot):
    menu = ui.open_menu(s, app)
    n = ui.selectable_count(s, menu)
    s.screenshot(shot)
    ui.close_menus(s, app)
    return n


def show_main(s, app):
    menu = ui.open_menu(s, app)
    s.key_on(menu, "s")
    main = wait_until(lambda: ui.main_window(s, app), 5, what="the main window")
    time.sleep(0.5)
    return main


def help_pane_shown(s, main):
    """Whether the Help pane's light caption bar is where the fourth folded
    pane sits, or only the pane area's blue."""
    pic = s.grab().crop(*s.geometry(main))
    colour = pic.pixel(150, HELP_CAPTION_Y)
    if min(colour) > 190:
        return True
    assert colour == ui.PANE_BACK, "neither a caption bar nor the pane blue: %s" % (colour,)
    return False


def help_pane_own_visibility(s, app):
    """The Help pane's own visibility, whether or not the main window is up."""
    main = s.win32_windows(title=ui.MAIN_CAPTION, exe=app.exe_name, controls=True)[0]
    return [c for c in main.controls if c.cls == "TarnwickTaskPane" and c.text == "help"][0].shown


def hide_main(s, app, main):
    s.click(*ui.hide_button(s, main))
    wait_until(lambda: ui.main_window(s, app) is None, 5, what="Hide to hide the main window")


def log_in_window(s, app):
    wait_until(lambda: s.windows(name="Log in", cls=app.exe_name), 5, what="the log-in window")
    time.sleep(0.5)
    return s.win32_windows(title="Log in", exe=app.exe_name, controls=True)[0]


def strip_of(img, info):
    """The band of the log-in window between the password field and the
    buttons, where "Status:" and the status text are painted."""
    field = password_field(info)
    button = info.control("Log in...")
    x, _, w, _ = info.window
    top = field.window[1] + field.window[3]
    return img.crop(x + 1, top, w - 2, button.window[1] - top)


def status_strip(s, info):
    return strip_of(s.grab(), info)


def ink(pic):
    """Pixels not of the picture's most common colour."""
    counts = pic.colours()
    return pic.width * pic.height - max(counts.values())


def lock():
    with Scenario("lock") as s:
        app = s.start_tarnwick()
        time.sleep(1)
        full = len(ui.MENU_ITEMS)
        assert menu_count(s, app, "menu-unlocked") == full

        # A password typed into its field on the Misc tab, and Apply.
        win = ui.open_options(s, app, ui.OPTIONS_TABS.index("Misc"))
        s.click(*password_field(win).centre)
        time.sleep(0.2)
        ui.type_on(s, win, PASSWORD)
        s.screenshot("password-typed")
        s.click(*win.control("Apply").centre)
        wait_until(lambda: not s.windows(name="Options", cls=app.exe_name), 5, what="Apply to close the window")
        wait_until(lambda: s.reg_query(MAIN_KEY, "Password") == PASSWORD, 5, what="the password stored")
        assert menu_count(s, app, "menu-locked") == 1, "only Log in... after Apply"

        # "Log &in..." by its letter; a wrong password first.
        menu = ui.open_menu(s, app)
        s.key_on(menu, "i")
        info = log_in_window(s, app)
        field = password_field(info)
        logged_out = status_strip(s, info)
        s.click(*field.centre)
        time.sleep(0.2)
        ui.type_on(s, info, WRONG)
        s.click(*info.control("Log in...").centre)
        t0 = time.monotonic()
        # 0.3 s into the one-second pause the refusal is on the screen.
        time.sleep(0.3)
        shot = s.grab()
        shot.save_png(os.path.join(s.shots, "%s-wrong-password.png" % s.name))
        refused = strip_of(shot, info)
        assert refused.diff(logged_out) > 0, '"Password not accepted" is not on the screen %.2f s after the ' \
            'click (see the picture "wrong-password")' % (time.monotonic() - t0)
        assert ink(refused) > ink(logged_out), "a longer status text (%d against %d pixels)" % (
            ink(refused), ink(logged_out))
        wait_until(lambda: status_strip(s, info).diff(logged_out) == 0, 4, interval=0.05,
                   what="the status back to its first text")
        back = time.monotonic() - t0
        harness.log("the refusal was on the screen until %.2f s after the click" % back)
        assert 0.7 <= back <= 2.0, "the refusal stayed %.2f s" % back
        assert s.windows(name="Log in", cls=app.exe_name), "the window stays open"
        assert s.reg_query(MAIN_KEY, "Pass Temp") == "", s.reg_query(MAIN_KEY, "Pass Temp")

        # The right one, typed over the wrong one.
        s.click(*field.centre)
        s.key_on(info, "End", *["BackSpace"] * len(WRONG))
        ui.type_on(s, info, PASSWORD)
        s.click(*info.control("Log in...").centre)
        wait_until(lambda: not s.windows(name="Log in", cls=app.exe_name), 5, what="the log-in window to close")
        assert s.reg_query(MAIN_KEY, "Pass Temp") == PASSWORD, s.reg_query(MAIN_KEY, "Pass Temp")
        assert menu_count(s, app, "menu-logged-in") == full + 1, "the full menu and Log out..."

        main = show_main(s, app)
        s.screenshot("main-logged-in")
        assert help_pane_shown(s, main), "the Help pane after log-in"
        hide_main(s, app, main)

        # "Log o&ut..." by its letter.
        menu = ui.open_menu(s, app)
        s.key_on(menu, "u")
        wait_until(lambda: s.reg_query(MAIN_KEY, "Pass Temp") == "", 5, what="Pass Temp emptied")
        assert ui.menus(s, app) == []
        assert menu_count(s, app, "menu-logged-out") == 1, "locked again"
        assert not help_pane_own_visibility(s, app), "log-out hides the Help pane"

        # Logged in again: the full menu once more, the Help pane shown.
        menu = ui.open_menu(s, app)
        s.key_on(menu, "i")
        info = log_in_window(s, app)
        s.click(*password_field(info).centre)
        ui.type_on(s, info, PASSWORD)
        s.key_on(info, "Return")
        wait_until(lambda: not s.windows(name="Log in", cls=app.exe_name), 5, what="Enter to log in")
        main = show_main(s, app)
        s.screenshot("main-logged-in-again")
        assert help_pane_shown(s, main), "the Help pane after the second log-in"
        assert help_pane_own_visibility(s, app)


def sound():
    with Scenario("sound", own_home=True) as s:
        played = sound_device.file_sink(s)
        samples = sine_wav(os.path.join(s.prefix, "drive_c", "Sounds", "chime.wav"))
        app = s.start_tarnwick()
        time.sleep(1)

        win = ui.open_options(s, app, ui.OPTIONS_TABS.index("Misc"))
        box = win.control("Play sound when popup is closed")
        assert box.state == 0 and not win.control("...").enabled and not win.control("Play").enabled, win.controls
        s.click(*box.centre)
        win = wait_until(lambda: [w for w in s.win32_windows(title="Options", exe=app.exe_name, controls=True)
                                  if w.control("...").enabled], 5, what="the file button enabled")[0]
        assert win.control("Play sound when popup is closed").state == 1
        assert not win.control("Play").enabled, "nothing to play yet"

        s.click(*win.control("...").centre)
        dialog = wait_until(lambda: s.windows(name="Open Wav File...", cls=app.exe_name), 10,
                            what="the open dialog")[0]
        time.sleep(0.5)
        s.screenshot("open-dialog")
        ui.type_on(s, dialog, r"C:\Sounds\chime.wav")
        s.key_on(dialog, "Return")
        wait_until(lambda: not s.windows(name="Open Wav File...", cls=app.exe_name), 5, what="the dialog to close")
        win = wait_until(lambda: [w for w in s.win32_windows(title="Options", exe=app.exe_name, controls=True)
                                  if w.control("Play").enabled], 5, what="the play button enabled")[0]
        s.screenshot("file-chosen")

        before = size(played)
        assert before == 0, "nothing played before the button (%d bytes)" % before
        s.click(*win.control("Play").centre)
        wait_until(lambda: size(played) >= len(samples), 10, what="%d bytes at the sound device" % len(samples))
        time.sleep(1)  # anything more would come now
        with open(played, "rb") as f:
            arrived = f.read()
        harness.log("%d bytes arrived at the sound device for %d bytes of samples" % (len(arrived), len(samples)))
        assert len(arrived) <= len(samples) + 4096, "about the file's size: %d bytes" % len(arrived)
        assert samples in arrived, "the file's own samples arrived"

        # Applied, the choice is stored.
        s.click(*win.control("Apply").centre)
        wait_until(lambda: not s.windows(name="Options", cls=app.exe_name), 5, what="Apply to close the window")
        assert s.reg_query(MAIN_KEY, "Popup Sound") == "1"
        assert s.reg_query(MAIN_KEY, "Sound Path").lower() == r"c:\sounds\chime.wav", s.reg_query(
            MAIN_KEY, "Sound Path")


def scenario():
    sound()
    lock()


if __name__ == "__main__":
    harness.main(scenario)
