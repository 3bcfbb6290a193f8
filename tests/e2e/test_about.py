"""The about window, opened from the tray menu: 370 x 264 inside, centred,
no title bar but the striped header; the version stored in the registry
(and nothing when none is stored); the links turning blue and underlined
under the pointer and back to exactly what they were; a left click on the
home page link and a right click on the e-mail link opening them with the
system's handlers for their schemes (here a stand-in that logs what it was
given); the links reached with Tab, each then framed by a focus rectangle,
and opened with Enter and with Space; no tray menu while the window is up,
and the tray menu again once it has closed by "&Close", by the header's
button or by the keyboard; F1 in the window opens the help window."""

import os
import re
import time

import harness
from harness import WS_CAPTION, E2EError, Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY

CLIENT = (370, 264)
CAPTION = "About"
# Client rectangles (x, y, w, h) of the parts the checks look at.
VERSION = (32, 104, 38, 13)  # up to the text area's frame
HOME_LINK = (210, 136, 136, 13)
MAIL_LINK = (240, 152, 107, 13)
TITLE = (128, 40, 200, 28)
CLOSE_BUTTON = (8, 236, 353, 25)
HIDE_BUTTON = (2, 2, 15, 15)
BLUE = (0, 0, 255)


def configured(name):
    """A setting of the build under test, from its CMake cache."""
    cache = os.path.join(os.environ.get("TARNWICK_BUILD", ""), "CMakeCache.txt")
    with open(cache) as f:
        m = re.search(r"^%s:STRING=(.*)$" % name, f.read(), re.M)
    if not m:
        raise E2EError("%s is not in %s" % (name, cache))
    return m.group(1)


def dark(c):
    return max(c) < 96


def text_columns(img):
    """Columns of a picture holding dark (text) pixels."""
    return [x for x in range(img.width) if any(dark(img.pixel(x, y)) for y in range(img.height))]


def open_about(s, app):
    menu = ui.open_menu(s, app)
    s.key_on(menu, "a")
    win = wait_until(lambda: s.windows(name=CAPTION, cls=app.exe_name), 5, what="the about window")[0]
    time.sleep(0.5)  # mapped before painted
    return s.geometry(win)


def part(s, win, rect):
    x, y, w, h = rect
    return s.grab().crop(win[0] + x, win[1] + y, w, h)


def centre(win, rect):
    x, y, w, h = rect
    return win[0] + x + w // 2, win[1] + y + h // 2


def close_by(s, app, win, button=None, key=None):
    """Closes the window by a click on a button or by a key; afterwards the
    tray menu opens again."""
    if key:
        s.key_on(s.windows(name=CAPTION, cls=app.exe_name)[0], key)
    else:
        s.click(*centre(win, button))
    wait_until(lambda: not s.windows(name=CAPTION, cls=app.exe_name), 5, what="the about window to close")
    time.sleep(0.3)
    ui.open_menu(s, app)  # raises when the tray menu does not open
    # A click beside the menu closes it, as a person does. (Escape sent to
    # the menu window can reach the next window shown instead.)
    s.click(100, 100)
    wait_until(lambda: not ui.menus(s, app), 5, what="the tray menu to close")


def register_handler(s, scheme, log_path):
    """Makes the stand-in the program the system opens `scheme` URLs with."""
    command = '"%s" "%s" "%%1"' % (s._wine_path(s.helper("argslog")), s._wine_path(log_path))
    s.reg("add", r"HKCR\%s\shell\open\command" % scheme, "/ve", "/d", command, "/f")
    s.reg("delete", r"HKCR\%s\shell\open\ddeexec" % scheme, "/f", check=False)


def logged(log_path):
    if not os.path.exists(log_path):
        return []
    with open(log_path, encoding="latin-1") as f:
        return [line for line in f.read().splitlines() if line]


def scenario():
    home = "http://%s/tarnwick" % configured("TARNWICK_VENDOR_HOST")
    mail = configured("TARNWICK_SUPPORT_EMAIL")
    with Scenario("about") as s:
        log_path = os.path.join(s.workdir, "opened.txt")
        for scheme in ("http", "mailto"):
            register_handler(s, scheme, log_path)
        app = s.start_tarnwick()
        time.sleep(1)
        # The program writes its own version at start; what the window
        # shows is what the registry holds when it opens.
        s.reg_add(MAIN_KEY, "Version", "7.7.7")

        win = open_about(s, app)
        s.screenshot("shown")
        info = s.win32_windows(title=CAPTION, exe=app.exe_name)
        assert len(info) == 1 and info[0].visible, info
        s.expect(info[0].client == CLIENT, "client area %s, not %s" % (info[0].client, CLIENT))
        s.expect(info[0].style & WS_CAPTION != WS_CAPTION, "no system title bar (style %#x)" % info[0].style)
        x, y, w, h = win
        W, H = s.SIZE
        s.expect(abs(x + w / 2 - W / 2) <= 1 and abs(y + h / 2 - H / 2) <= 1, "centred: %s" % (win,))

        pic = s.grab().crop(*win)
        stripes = ui.header_stripe_rows(pic, 60, 200)
        s.expect(stripes[:1] == [2] and len(stripes) == 8, "header stripes on rows %s" % stripes)
        # The raised frame of the content is light above and dark below; the
        # text area's lowered frame the other way round.
        s.expect(sum(pic.pixel(100, 24)) > sum(pic.pixel(100, 24 + 208)), "Bevel1 raised")
        s.expect(sum(pic.pixel(150, 32)) < sum(pic.pixel(150, 32 + 192)), "Bevel3 lowered")
        s.expect(len(text_columns(pic.crop(*TITLE))) > 40, "the product's name in large type")
        s.expect(pic.crop(*CLOSE_BUTTON).differing(pic.pixel(*CLOSE_BUTTON[:2])) > 20, "the Close button")
        short = text_columns(part(s, win, VERSION))
        s.expect(short != [], "the stored version is shown")

        # No tray menu while the window is up.
        s.expect(ui.right_click_opens_nothing(s, app), "a tray menu opened while the about window is up")

        # The pointer over the home page link: blue and underlined; away
        # again: exactly the picture it had before.
        away = (win[0] + 30, win[1] + 200)
        s.move(*away)
        time.sleep(0.3)
        for link in (HOME_LINK, MAIL_LINK):
            before = part(s, win, link)
            s.expect(before.count(BLUE) == 0 and text_columns(before), "a black link at %s" % (link,))
            s.move(*centre(win, link))
            time.sleep(0.5)
            hot = part(s, win, link)
            s.screenshot("hover-%d" % link[0])
            underline = max(sum(1 for px in range(hot.width) if hot.pixel(px, py) == BLUE)
                            for py in range(hot.height))
            s.expect(hot.count(BLUE) > 60, "the link turns blue under the pointer (%d)" % hot.count(BLUE))
            s.expect(underline > len(text_columns(before)) * 0.8, "an underline of %d pixels" % underline)
            s.move(*away)
            time.sleep(0.5)
            after = part(s, win, link)
            s.expect(after.diff(before) == 0, "the link at %s is back as it was (%d pixels differ)" % (
                link, after.diff(before)))

        # A left click on one link, a right click on the other: each opens.
        s.click(*centre(win, HOME_LINK))
        wait_until(lambda: home in logged(log_path), 10, what="the home page to be opened")
        s.click(*centre(win, MAIL_LINK), button=3)
        wait_until(lambda: "mailto:" + mail in logged(log_path), 10, what="the e-mail link to be opened")
        s.expect(logged(log_path) == [home, "mailto:" + mail], "opened: %s" % logged(log_path))

        # From the Close button, which has the focus, Tab goes round to the
        # links: Enter opens the first, Space the second.
        about = s.windows(name=CAPTION, cls=app.exe_name)[0]
        for link, key, opened in ((HOME_LINK, "Return", home), (MAIL_LINK, "space", "mailto:" + mail)):
            before = part(s, win, link)
            s.key_on(about, "Tab")
            time.sleep(0.5)
            focused = part(s, win, link)
            s.screenshot("focus-%d" % link[0])
            # The dotted frame round the link: pixels of its edge change.
            edge = sum(1 for px in range(focused.width) for py in (0, focused.height - 1)
                       if focused.pixel(px, py) != before.pixel(px, py))
            s.expect(edge > focused.width // 3, "a focus rectangle round the link at %s (%d)" % (link, edge))
            count = len(logged(log_path))
            s.key_on(about, key)
            wait_until(lambda: len(logged(log_path)) == count + 1, 10, what="%s to open the link" % key)
            s.expect(logged(log_path)[-1] == opened, "opened by %s: %s" % (key, logged(log_path)[-1]))
        s.expect(s.windows(name=CAPTION, cls=app.exe_name), "the links' keys leave the window open")
        s.move(*away)
        close_by(s, app, win, CLOSE_BUTTON)

        # A longer version, read again; closed by the header's button.
        s.reg_add(MAIN_KEY, "Version", "7.77.77")
        win = open_about(s, app)
        longer = text_columns(part(s, win, VERSION))
        s.expect(longer and short and longer[-1] > short[-1] + 5, "a longer version, wider: %s vs %s" % (
            longer[-1:], short[-1:]))
        close_by(s, app, win, HIDE_BUTTON)

        # None stored: nothing shown.
        s.reg("delete", MAIN_KEY, "/v", "Version", "/f")
        win = open_about(s, app)
        s.screenshot("no-version")
        s.expect(text_columns(part(s, win, VERSION)) == [], "no version stored, none shown")
        close_by(s, app, win, CLOSE_BUTTON)

        # The keyboard closes it too: Escape, Enter and the button's letter.
        for key in ("Return", "alt+c", "Escape"):
            win = open_about(s, app)
            close_by(s, app, win, key=key)

        # F1: the help window.
        win = open_about(s, app)
        s.key_on(s.windows(name=CAPTION, cls=app.exe_name)[0], "F1")
        wait_until(lambda: s.windows(name="Tarnwick Help"), 15, what="the help window")
        s.screenshot("help")
        assert app.alive()


if __name__ == "__main__":
    harness.main(scenario)
