"""The harness itself, against the helper programs: each check the other
scenarios rely on is shown here to see both outcomes (an icon and none, a
taskbar button and none, a matching tooltip and a different one)."""

import os

import harness
from harness import WS_EX_TOOLWINDOW, Scenario, wait_until


def scenario():
    with Scenario("harness") as s:
        traytest = s.helper("traytest")
        iexplore = s.helper("iexplore")
        assert s.tray_slots() == [], "a fresh desktop has no tray icon: %s" % s.tray_slots()
        assert not s.has_taskbar_button(), "a fresh desktop has no taskbar button"

        # A bare tray program: one icon, the first one at the right edge.
        tray = s.start(traytest)
        assert tray.icon_slot == 0, tray.icon_slot
        assert s.tray_slots() == [0]
        assert tray.windows() == [], "traytest shows no window: %s" % tray.windows()
        assert not s.has_taskbar_button(), "traytest has no taskbar button"
        assert tray.rss_anon_kb() > 0

        # Tooltips: the same text twice gives the same picture, another text
        # a different one. A second copy under another name is another
        # process with its own icon, left of the first.
        tip_a = s.tooltip(*tray.icon)
        s.pointer_away()
        other = s.start(s.install(traytest, "tipcheck.exe", folder="tools"), ["--tip", "traytest"])
        assert other.icon_slot == 1 and other.pid != tray.pid
        tip_b = s.tooltip(*other.icon)
        s.pointer_away()
        assert tip_a.width > 10 and tip_a.diff(tip_b) == 0, "same tooltip text, same picture"
        third = s.start(s.install(traytest, "tipother.exe", folder="tools"), ["--tip", "Tarnwick", "--quit-after",
                                                                               "5000"])
        tip_c = s.tooltip(*third.icon)
        s.pointer_away()
        s.screenshot("tooltip")
        assert tip_c.diff(tip_a) > 0, "another tooltip text, another picture"
        third.wait_exit(15)
        wait_until(lambda: len(s.tray_slots()) == 2, 5, what="the third icon to go")

        # The stand-in browser: windows by caption, hidden ones unmapped, a
        # taskbar button for a normal window, WM_CLOSE logged.
        logfile = os.path.join(s.workdir, "iexplore.log")
        ie = s.start(iexplore, ["--log", s._wine_path(logfile), "--window", "Shown A - Microsoft Internet Explorer",
                                "--hidden-window", "Hidden B", "--owned-window", "Owned C", "--tool-window",
                                "Tool D"], tray=False)
        wait_until(lambda: os.path.exists(logfile) and "ready" in open(logfile).read().split(), 15,
                   what="iexplore ready")
        names = {w.name for w in ie.windows()}
        assert {"Shown A - Microsoft Internet Explorer", "Owned C", "Tool D"} <= names, names
        assert "Hidden B" not in names
        assert [w.name for w in ie.windows(visible=False) if w.name == "Hidden B"] == ["Hidden B"]
        wait_until(s.has_taskbar_button, 5, what="a taskbar button")
        # What the system says of them: all of class IEFrame; the hidden
        # one not visible; the owned one owned by a hidden, untitled
        # IEFrame window of the same process; the tool window's style.
        info = s.win32_windows(exe="iexplore.exe", cls="IEFrame")
        by_title = {w.title: w for w in info}
        assert set(by_title) == {"Shown A - Microsoft Internet Explorer", "Hidden B", "Owned C", "Tool D", ""}, info
        assert by_title["Shown A - Microsoft Internet Explorer"].visible and not by_title["Hidden B"].visible
        owner = [w for w in info if w.hwnd == by_title["Owned C"].owner]
        assert owner and owner[0].title == "" and not owner[0].visible, (by_title["Owned C"], owner)
        assert by_title["Tool D"].exstyle & WS_EX_TOOLWINDOW and not by_title["Owned C"].exstyle & WS_EX_TOOLWINDOW
        assert len({w.pid for w in info}) == 1
        s.screenshot("iexplore")

        # Dragging a caption moves a window.
        tool = s.windows(name="Tool D")[0]
        x, y, w, h = s.geometry(tool)
        s.drag(x + 60, y + 8, x + 160, y + 58)
        moved = wait_until(lambda: [t for t in s.windows(name="Tool D") if t.x != tool.x], 5, what="Tool D moved")
        assert (moved[0].x - tool.x, moved[0].y - tool.y) == (100, 50), (tool, moved)

        shown = s.windows(name="Shown A - Microsoft Internet Explorer")[0]
        x, y, w, h = s.geometry(shown)
        s.click(x + 100, y + 10)  # its caption, which no other window covers
        s.key_on(shown, "alt+F4")
        wait_until(lambda: "WM_CLOSE Shown A - Microsoft Internet Explorer" in open(logfile).read(), 5,
                   what="WM_CLOSE in the log")
        wait_until(lambda: not s.windows(name="Shown A - Microsoft Internet Explorer"), 5, what="window gone")
        assert ie.alive(), "other windows remain, so does the process"

        s.launch(iexplore, ["--exit-all"])
        ie.wait_exit(10)
        log = open(logfile, newline="").read()
        assert log.endswith("ready\r\nWM_CLOSE Shown A - Microsoft Internet Explorer\r\nexit\r\n"), log

        # Registry round trip, names with blanks and empty data included.
        key = r"HKCU\Software\TarnwickHarness"
        assert s.reg_query(key) is None
        s.reg_add(key, "Pass Temp", "")
        s.reg_add(key, "Version", "1.2.3")
        assert s.reg_query(key) == {"Pass Temp": ("REG_SZ", ""), "Version": ("REG_SZ", "1.2.3")}, s.reg_query(key)
        assert s.reg_query(key, "version") == "1.2.3"
        assert s.reg_query(key, "Missing") is None

        # Ending a tray program takes its icon away; the later one moves in.
        assert s.pids("traytest.exe") == [tray.pid]
        s.launch("taskkill.exe", ["/im", "traytest.exe"])
        tray.wait_exit(10)
        wait_until(lambda: s.tray_slots() == [0], 5, what="one icon left")
        assert other.alive()

if __name__ == "__main__":
    harness.main(scenario)
