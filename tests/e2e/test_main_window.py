"""The main window: shown from the tray menu, centred, 203 wide inside, no
system title bar but the striped header with three buttons, four folded
panes; no tray menu while it is up; Hide, dragging, the pane accordion,
Alt+F4 hiding it, and Exit ending the program."""

import time

import harness
from harness import WS_CAPTION, Scenario, wait_until
import tarnwick_ui as ui

# Where to click, relative to the main window's top left corner: the
# panes' caption bars, 35 pixels apart while folded, and the command lines
# of the open Tools pane, 20 pixels apart.
FIRST_CAPTION_Y = 40
PANE_STEP = 35
TOOLS_FIRST_LINE_Y = 104
LINE_STEP = 20


def pane_caption(win, index, expanded_above=0):
    """Centre of a folded pane's caption bar in desktop coordinates;
    `expanded_above` is how much taller the panes above it are."""
    return (win[0] + win[2] // 2, win[1] + FIRST_CAPTION_Y + PANE_STEP * index + expanded_above)


def tools_line(win, line):
    """A point on the n-th line (from 0) of the open Tools pane."""
    return (win[0] + 40, win[1] + TOOLS_FIRST_LINE_Y + LINE_STEP * line)


def show(s, app):
    menu = ui.open_menu(s, app)
    s.key_on(menu, "s")
    return wait_until(lambda: ui.main_window(s, app), 5, what="the main window")


def scenario():
    with Scenario("main_window") as s:
        app = s.start_tarnwick()
        time.sleep(1)
        main = show(s, app)
        time.sleep(0.5)
        s.screenshot("shown")
        win = s.geometry(main)
        x, y, w, h = win
        W, H = s.SIZE
        s.expect(s.has_taskbar_button(), "a taskbar button while the window is shown")
        info = s.win32_windows(title=ui.MAIN_CAPTION, exe=app.exe_name)
        assert len(info) == 1 and info[0].visible, info
        info = info[0]
        # Without its caption the window keeps a one-pixel border; the
        # client area is at least the designed width and the bevelled
        # panels fill all of it (no unpainted strip at the right).
        s.expect(info.client[0] == w - 2 * ui.BORDER and info.client[0] >= ui.MAIN_CLIENT_WIDTH,
                 "client width %d in a window %d wide: %s" % (info.client[0], w, info))
        s.expect(info.style & WS_CAPTION != WS_CAPTION, "no system title bar (style %#x)" % info.style)
        s.expect(abs((x + w / 2) - W / 2) <= 1, "centred across: %s" % (win,))
        s.expect(abs((y + h / 2) - H / 2) <= 12, "centred down: %s" % (win,))

        # The striped header is the top of the window: blue stripes on
        # every second row from the third pixel, no title bar above them;
        # at its left end the three buttons cover the stripes.
        pic = s.grab().crop(*win)
        stripes = ui.header_stripe_rows(pic, 52, 100)
        assert stripes and stripes[0] <= 4, "the header starts at the top (stripe rows %s)" % stripes
        assert len(stripes) >= 6 and all(b - a == 2 for a, b in zip(stripes, stripes[1:])), stripes
        under_buttons = ui.header_stripe_rows(pic, 5, 45)
        s.expect(under_buttons == [], "three buttons at the header's left end (%s)" % under_buttons)
        s.expect(pic.crop(0, stripes[-1] + 2, w, h - stripes[-1] - 2).count(ui.PANE_BACK) > 1000,
                 "the pane area in its blue")
        # Four folded panes: four light caption bars with the pane blue
        # between them, and the window ends below the fourth.
        for i, pane in enumerate(ui.PANES):
            cy = FIRST_CAPTION_Y + PANE_STEP * i
            s.expect(min(pic.pixel(150, cy)) > 190, "the caption bar of %s at y %d: %s" % (pane, cy,
                                                                                          pic.pixel(150, cy)))
            for px in (150, w - 6):
                s.expect(pic.pixel(px, cy + 17) == ui.PANE_BACK, "pane blue below %s at x %d: %s" % (
                    pane, px, pic.pixel(px, cy + 17)))
        s.expect(h <= FIRST_CAPTION_Y + PANE_STEP * 3 + 30, "nothing below the fourth pane (height %d)" % h)

        # No tray menu while the window is up.
        assert ui.right_click_opens_nothing(s, app), "a tray menu opened while the main window is shown"

        # Dragging the header moves the window.
        s.drag(x + 120, y + 8, x + 20, y - 120)
        moved = wait_until(lambda: [m for m in app.windows() if m.name == ui.MAIN_CAPTION and m.x != main.x], 5,
                           what="the window to move")[0]
        assert (moved.x - main.x, moved.y - main.y) == (-100, -128), (main, moved)
        main = moved
        win = s.geometry(main)

        # The accordion: Tools opens to 397; one of its commands folds it.
        s.click(*pane_caption(win, ui.PANES.index("Tools")))
        main = ui.wait_height(s, ui.PANE_HEIGHTS["Tools"])
        s.screenshot("tools-open")
        # "Cookies", the third line under the Tools caption.
        s.click(*tools_line(s.geometry(main), 2))
        ui.wait_height(s, ui.FOLDED_HEIGHT)

        # Help while Tools is open: Tools folds and the window takes Help's
        # height.
        s.click(*pane_caption(win, ui.PANES.index("Tools")))
        main = ui.wait_height(s, ui.PANE_HEIGHTS["Tools"])
        grown = ui.PANE_HEIGHTS["Tools"] - ui.FOLDED_HEIGHT
        s.click(*pane_caption(win, ui.PANES.index("Help"), expanded_above=grown))
        main = ui.wait_height(s, ui.PANE_HEIGHTS["Help"])
        s.screenshot("help-open")
        s.click(*pane_caption(win, ui.PANES.index("Help")))
        main = ui.wait_height(s, ui.FOLDED_HEIGHT)

        # "Hide", the header's second button: hidden, and the tray menu
        # opens again.
        s.click(*ui.hide_button(s, main))
        wait_until(lambda: ui.main_window(s, app) is None, 5, what="Hide to hide the window")
        wait_until(lambda: not s.has_taskbar_button(), 15, what="the taskbar button to go with the window")
        ui.open_menu(s, app)
        ui.close_menus(s, app)

        # Alt+F4 only hides the window.
        main = show(s, app)
        s.key_on(main, "alt+F4")
        wait_until(lambda: ui.main_window(s, app) is None, 5, what="Alt+F4 to hide the window")
        time.sleep(0.5)
        assert app.alive() and s.tray_slots() == [0]

        # "E&xit" ends the program within a second and takes its icon away.
        menu = ui.open_menu(s, app)
        s.key_on(menu)  # the pointer rests on the menu first, so the time counts from the key
        t = time.monotonic()
        s.key_on(menu, "x")
        app.wait_exit(5)
        took = time.monotonic() - t
        harness.log("Exit ended the process %.2f s after the key" % took)
        assert took <= 1.0, "Exit took %.2f s" % took
        wait_until(lambda: s.tray_slots() == [], 2, what="the icon to go")
        s.screenshot("after-exit")


if __name__ == "__main__":
    harness.main(scenario)
