"""The tray menu: opened by a right click at the pointer; without a stored
password its entries are, in order, &Erase, E&rase... (a sub-menu of nine),
Show Block &List, &Options, &Show, &Check Latest Version..., &Help, &About,
E&xit; with a password stored it offers only Log &in... Its keys are
pressed as a person presses them, with the pointer resting on the menu,
and reach it however the program's windows were shown and hidden before;
F1 closes it and opens the help window."""

import time

import harness
from harness import Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY


def check_at_pointer(s, menu, pointer):
    """The menu opens with a corner at the pointer; where it would not fit
    on the screen, Wine moves it back onto the screen (it does not flip it
    as Windows does), so on each axis it either has an edge at the pointer
    or lies against the screen's edge, and the pointer is on it."""
    x, y, w, h = s.geometry(menu)
    px, py = pointer
    W, H = s.SIZE
    assert x - 3 <= px <= x + w + 3 and y - 3 <= py <= y + h + 3, "menu %s is not at the pointer %s" % (
        (x, y, w, h), pointer)
    assert abs(px - x) <= 3 or abs(px - (x + w)) <= 3 or x + w == W, "menu %s, pointer %s" % ((x, y, w, h), pointer)
    assert abs(py - y) <= 3 or abs(py - (y + h)) <= 3 or y + h == H, "menu %s, pointer %s" % ((x, y, w, h), pointer)


def unlocked():
    with Scenario("tray_menu") as s:
        app = s.start_tarnwick()
        time.sleep(1)
        menu = ui.open_menu(s, app)
        s.screenshot("menu")
        check_at_pointer(s, menu, app.icon)
        assert ui.main_window(s, app) is None
        s.expect(not s.has_taskbar_button(), "a taskbar button while the menu is open")
        # Nine entries the arrow keys stop at.
        count = ui.selectable_count(s, menu)
        assert count == len(ui.MENU_ITEMS), "the menu has %d entries, not %d" % (count, len(ui.MENU_ITEMS))
        height = s.geometry(menu)[3]
        ui.close_menus(s, app)

        # The second entry opens the sub-menu of the nine single erases and the preview.
        menu = ui.open_menu(s, app)
        s.key_on(menu, "Down", "Down", "Right")
        sub = wait_until(lambda: [w for w in ui.menus(s, app) if w.id != menu.id], 5, what="the Erase sub-menu")[0]
        assert [w.id for w in ui.menus(s, app)] == [sub.id, menu.id], "the sub-menu on top of the menu"
        time.sleep(0.3)
        s.screenshot("erase-submenu")
        assert ui.selectable_count(s, sub) == len(ui.ERASE_SUBMENU)
        ui.close_menus(s, app)

        # The fifth is "&Show".
        menu = ui.open_menu(s, app)
        s.key_on(menu, "Down", "Down", "Down", "Down", "Down", "Return")
        main = wait_until(lambda: ui.main_window(s, app), 5, what="the main window after the fifth entry")
        s.key_on(main, "alt+F4")
        wait_until(lambda: ui.main_window(s, app) is None, 5, what="the main window to hide")

        # Its letter "s" does the same.
        menu = ui.open_menu(s, app)
        s.key_on(menu, "s")
        shown = wait_until(lambda: ui.main_window(s, app), 5, what="the main window after 's'")
        assert ui.menus(s, app) == []
        s.key_on(shown, "alt+F4")
        wait_until(lambda: ui.main_window(s, app) is None, 5, what="the main window to hide")
        assert main is not None

        # F1: the menu closes and the help window opens.
        menu = ui.open_menu(s, app)
        s.key_on(menu, "F1")
        wait_until(lambda: s.windows(name="Tarnwick Help"), 15, what="the help window after F1 in the menu")
        assert ui.menus(s, app) == []
        s.screenshot("help-from-menu")

        # The last entry (one Up from the top) is "E&xit".
        menu = ui.open_menu(s, app)
        s.key_on(menu, "Up", "Return")
        app.wait_exit(5)
        wait_until(lambda: s.tray_slots() == [], 5, what="the icon to go")
        return height


def keys_after_hiding():
    """The menu answers its letters however the main window was shown and
    hidden before: "a" opens About right after the start; after the main
    window has been shown and hidden by the header's Hide button it still
    does, and after it has been shown and hidden by Alt+F4 (pressed with the
    pointer on it) too. About itself is closed by Escape pressed on it."""
    with Scenario("tray_menu_keys") as s:
        app = s.start_tarnwick()
        time.sleep(1)

        def about_by_its_letter(when, shot):
            menu = ui.open_menu(s, app)
            s.key_on(menu, "a")
            about = wait_until(lambda: s.windows(name="About", cls=app.exe_name), 5,
                               what='About after "a" in the menu %s' % when)[0]
            assert ui.menus(s, app) == [], "the menu closed"
            time.sleep(0.5)  # mapped before painted
            s.screenshot(shot)
            s.key_on(about, "Escape")
            wait_until(lambda: not s.windows(name="About", cls=app.exe_name), 5, what="About to close on Escape")

        def show_by_its_letter(when):
            menu = ui.open_menu(s, app)
            s.key_on(menu, "s")
            return wait_until(lambda: ui.main_window(s, app), 5, what='the main window after "s" %s' % when)

        about_by_its_letter("right after the start", "about-at-start")

        main = show_by_its_letter("after About closed")
        time.sleep(0.5)
        s.click(*ui.hide_button(s, main))
        wait_until(lambda: ui.main_window(s, app) is None, 5, what="Hide to hide the main window")
        about_by_its_letter("after Hide", "about-after-hide")

        main = show_by_its_letter("after About closed again")
        time.sleep(0.5)
        s.key_on(main, "alt+F4")
        wait_until(lambda: ui.main_window(s, app) is None, 5, what="Alt+F4 to hide the main window")
        about_by_its_letter("after Alt+F4", "about-after-alt-f4")
        assert app.alive()


def locked(unlocked_height):
    with Scenario("tray_menu_locked") as s:
        s.reg_add(MAIN_KEY, "Password", "secret")
        app = s.start_tarnwick()
        time.sleep(1)
        menu = ui.open_menu(s, app)
        s.screenshot("menu")
        check_at_pointer(s, menu, app.icon)
        x, y, w, h = s.geometry(menu)
        assert h < unlocked_height, "the locked menu (%d high) is shorter than the full one (%d)" % (h,
                                                                                                    unlocked_height)
        assert ui.selectable_count(s, menu) == 1, "only one entry to choose"
        # Neither "Show" nor "Exit" is there to be chosen by its letter.
        s.key_on(menu, "s", "x")
        time.sleep(1)
        assert app.alive() and ui.main_window(s, app) is None
        ui.close_menus(s, app)
        assert s.reg_query(MAIN_KEY, "Password") == "secret"


def scenario():
    keys_after_hiding()
    locked(unlocked())


if __name__ == "__main__":
    harness.main(scenario)
