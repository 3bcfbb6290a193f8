"""The two global hot keys, pressed on the keyboard wherever the pointer is.

With "Hot Key" Shift+Ctrl+A and "Panic Hot Key" Shift+Ctrl+P stored: the
popup hot key, with a stand-in browser window "Deals - Microsoft Internet
Explorer" in front, puts "Deals" into the block list file beside the
program, raises "Counter PopHot", stores "Counter Block" and flashes the
tray icon; pressed again it changes nothing. The Boss-Panic key asks each
of four browser windows (two of one title, one hidden) to close, once, and
raises "Counter Panic" by four. A
popup key changed in the options window (a click into its field, the new
combination pressed, Apply) works at once and the old one no longer does.
With one combination stored for both keys, the popup key, registered first,
is the one that acts."""

import os
import time

import harness
from harness import Scenario, wait_until
import tarnwick_ui as ui
from tarnwick_ui import MAIN_KEY
from browsers import Browser, COUNTER_KEY, SUFFIX, block_file, counter

# How long a key that should do nothing is given to do something.
QUIET = 1.5


def press_and_wait(s, keys, pred, what, timeout=5):
    s.key(keys)
    return wait_until(pred, timeout, interval=0.05, what=what)


def hot_key_field(win):
    fields = [c for c in win.controls if c.cls.lower() == "msctls_hotkey32" and c.visible]
    assert len(fields) == 1, "one hot-key field on the tab: %s" % fields
    return fields[0]


# The hot-key control's value: the key code, and HOTKEYF_SHIFT (1) and
# HOTKEYF_CONTROL (2) in the high byte.
SHIFT_CTRL = (1 | 2) << 8


def keys_at_work():
    with Scenario("hotkeys") as s:
        s.reg_add(MAIN_KEY, "Hot Key", "Shift+Ctrl+A")
        s.reg_add(MAIN_KEY, "Panic Hot Key", "Shift+Ctrl+P")
        # The blocker's closing loop would close a listed window on its
        # own; off, every close request comes from a hot key.
        s.reg_add(MAIN_KEY, "Popup Blocker", "0")
        app = s.start_tarnwick()
        time.sleep(1)
        assert block_file(s, app) in (None, b""), block_file(s, app)

        # The popup key with the browser window in front.
        deals = Browser(s, "deals", "Deals")
        deals.bring_to_front(deals.titles[0])
        s.move(500, 700)  # the pointer anywhere: a global key does not follow it
        icon_before = s.slot_image(app.icon_slot)
        press_and_wait(s, "shift+ctrl+a", lambda: block_file(s, app) == b"Deals\r\n",
                       "Deals in the block list file")
        flash = s.slot_image(app.icon_slot)
        s.screenshot("popup-key-flash")
        time.sleep(1)
        icon_after = s.slot_image(app.icon_slot)
        s.expect(flash.diff(icon_before) > 0, "the tray icon changed while the key's entry was added")
        s.expect(icon_after.diff(icon_before) == 0, "the tray icon back to normal a second later")
        assert counter(s, "Counter PopHot") == "1", counter(s, "Counter PopHot")
        assert counter(s, "Counter Block") == "1", counter(s, "Counter Block")
        assert deals.closed() == [], "the popup key closes nothing: %s" % deals.closed()

        # Again on the same window: already listed, nothing moves.
        s.key("shift+ctrl+a")
        time.sleep(QUIET)
        assert block_file(s, app) == b"Deals\r\n", block_file(s, app)
        assert (counter(s, "Counter PopHot"), counter(s, "Counter Block")) == ("1", "1")

        # Boss-Panic with four browser windows in two processes: two of
        # one title and a hidden one among them. Each is asked by its own
        # handle, once; a window destroys itself at its first WM_CLOSE, so
        # two logged requests for "News" and no window left mean one each.
        news = "News" + SUFFIX
        others = Browser(s, "others", "News", "News", ("hidden-window", "Mail" + SUFFIX))
        assert len(s.win32_windows(cls="IEFrame", title=news)) == 2
        assert counter(s, "Counter Panic") is None
        asked = deals.titles + others.titles
        s.key("shift+ctrl+p")
        wait_until(lambda: sorted(deals.closed() + others.closed()) == sorted(asked), 5,
                   interval=0.1, what="WM_CLOSE in each of the four windows")
        wait_until(lambda: counter(s, "Counter Panic") == "4", 5, what="Counter Panic 4, not %r" % (
            counter(s, "Counter Panic"),))
        wait_until(lambda: not s.win32_windows(cls="IEFrame"), 5, what="the browser windows to go")
        time.sleep(0.5)
        assert sorted(deals.closed() + others.closed()) == sorted(asked), (deals.closed(), others.closed())
        assert others.closed().count(news) == 2, others.closed()
        assert counter(s, "Counter Panic") == "4"

        # Another popup key, pressed into its field on the Popup Blocker
        # tab and applied.
        win = ui.open_options(s, app, ui.OPTIONS_TABS.index("Popup Blocker"))
        field = hot_key_field(win)
        assert field.state == SHIFT_CTRL | ord("A"), "the stored key in the field: %#x" % field.state
        s.click(*field.centre)
        time.sleep(0.3)
        s.key_on(win, "shift+ctrl+b")
        win = wait_until(lambda: [w for w in s.win32_windows(title="Options", exe=app.exe_name, controls=True)
                                  if hot_key_field(w).state == SHIFT_CTRL | ord("B")], 5,
                         what="Shift+Ctrl+B in the field")[0]
        s.screenshot("options-new-key")
        s.click(*win.control("Apply").centre)
        wait_until(lambda: not s.windows(name="Options", cls=app.exe_name), 5, what="Apply to close the window")
        assert s.reg_query(MAIN_KEY, "Hot Key") == "Shift+Ctrl+B", s.reg_query(MAIN_KEY, "Hot Key")
        assert s.reg_query(MAIN_KEY, "Panic Hot Key") == "Shift+Ctrl+P"

        weather = Browser(s, "weather", "Weather")
        weather.bring_to_front(weather.titles[0])
        s.move(500, 700)
        s.key("shift+ctrl+a")
        time.sleep(QUIET)
        assert block_file(s, app) == b"Deals\r\n", "the old key still acts: %r" % block_file(s, app)
        assert counter(s, "Counter PopHot") == "1"
        press_and_wait(s, "shift+ctrl+b", lambda: block_file(s, app) == b"Deals\r\nWeather\r\n",
                       "Weather in the block list file, after Deals")
        time.sleep(0.2)
        assert (counter(s, "Counter PopHot"), counter(s, "Counter Block")) == ("2", "2"), (
            counter(s, "Counter PopHot"), counter(s, "Counter Block"))
        # The Boss-Panic key, registered again by Apply, still acts.
        s.key("shift+ctrl+p")
        wait_until(lambda: weather.closed() == weather.titles, 5, what="WM_CLOSE in Weather")
        wait_until(lambda: counter(s, "Counter Panic") == "5", 5, what="Counter Panic 5")


def one_combination_for_both():
    with Scenario("hotkeys_same") as s:
        s.reg_add(MAIN_KEY, "Hot Key", "Shift+Ctrl+A")
        s.reg_add(MAIN_KEY, "Panic Hot Key", "Shift+Ctrl+A")
        s.reg_add(MAIN_KEY, "Popup Blocker", "0")
        app = s.start_tarnwick()
        time.sleep(1)
        deals = Browser(s, "deals", "Deals")
        deals.bring_to_front(deals.titles[0])
        s.move(500, 700)
        press_and_wait(s, "shift+ctrl+a", lambda: block_file(s, app) == b"Deals\r\n",
                       "the popup key to list Deals")
        time.sleep(QUIET)
        assert deals.closed() == [], "the Boss-Panic key acted as well: %s" % deals.closed()
        assert counter(s, "Counter Panic") is None, counter(s, "Counter Panic")
        assert counter(s, "Counter PopHot") == "1"
        assert s.windows(name=deals.titles[0]), "the window stays"


def scenario():
    keys_at_work()
    one_combination_for_both()


if __name__ == "__main__":
    harness.main(scenario)
