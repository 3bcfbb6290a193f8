"""The update check against the real vendor server (PHP's own server on
127.0.0.1:8631 serving what `make dist` lays out), as a user runs it from
the tray menu's "&Check Latest Version...".

With the server down, "Ch&eck" says "Connection error..." with the bar
empty; with it up again a second check works. The server's version decides
as bytes: "3.4.1" (installed) and "3.10" are not newer, "3.4.1 " (a trailing
blank) and "3.4.10" are, and "&Update" takes the place of "Ch&eck". An
installer with one byte changed, one without a signature and one signed by
another certificate are each refused: the error text, nothing started, the
downloaded file gone, Tarnwick still running. In a fresh window "3.4.2" is
offered: the genuine 3.4.1 installer served under that name is refused the
same way (no downgrade, nor the same version again). Then the installer of
a real 3.4.2 build (`make dist VERSION=3.4.2`), served slowly enough to catch
the bar half full with both sizes shown, is started after "Updating to newer
version... please wait...", Tarnwick ends, and the wizard, answered with
Enter, leaves Tarnwick 3.4.2 installed and running."""

import glob
import os
import shutil
import subprocess
import time
import urllib.request

import harness
from harness import E2EError, Scenario, wait_until
from installer import make_dist, make_newer_dist, unix, user_folders, wizard_page
import tarnwick_ui as ui

CAPTION = "Latest Version Check"
PORT = 8631
NEWER = "3.4.2"
BAR = (8, 112, 391, 8)
LEFT_BUTTON = (8, 136, 105, 25)  # "Ch&eck", or "&Update" in its place
SIZES = (272, 80, 130, 30)


class VendorServer:
    """php -S on the port the test build asks, serving `www`."""

    def __init__(self, www):
        self.www = www
        self.proc = None

    def start(self):
        router = os.path.join(harness.SOURCE_ROOT, "tests", "e2e", "vendor_router.php")
        self.proc = subprocess.Popen(["php", "-S", "127.0.0.1:%d" % PORT, "-t", self.www, router],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(self.answers, 10, what="the vendor server")

    def answers(self):
        try:
            with urllib.request.urlopen(urllib.request.Request(self.url("verzija.php"), data=b""), timeout=2):
                return True
        except OSError:
            return False

    def stop(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(10)
            self.proc = None

    def url(self, path):
        return "http://127.0.0.1:%d/tarnwick/%s" % (PORT, path)

    def offer(self, version):
        with open(os.path.join(self.www, "tarnwick", "version.txt"), "w") as f:
            f.write(version + "\n")

    def serve_installer(self, path, slow=False):
        shutil.copyfile(path, os.path.join(self.www, "tarnwick", "download", "setup.exe"))
        flag = os.path.join(self.www, "slow")
        if slow:
            open(flag, "w").close()
        elif os.path.exists(flag):
            os.remove(flag)


def bar_share(s, win):
    """The filled share of the progress bar, from its picture."""
    x, y, w, h = BAR
    row = s.grab().crop(win[0] + x + 1, win[1] + y + h // 2, w - 2, 1)
    filled = [c for c in (row.pixel(i, 0) for i in range(row.width)) if c[2] > 100 and c[2] > c[0] + 50]
    return len(filled) / row.width


def has_text(s, win, rect):
    x, y, w, h = rect
    pic = s.grab().crop(win[0] + x, win[1] + y, w, h)
    return any(max(pic.pixel(i, j)) < 96 for i in range(pic.width) for j in range(pic.height))


def button(s, app, caption):
    """The update window's visible button with `caption`, or None."""
    wins = s.win32_windows(title=CAPTION, exe=app.exe_name, controls=True)
    try:
        return wins[0].control(caption.replace("&", "")) if wins else None
    except E2EError:
        return None


def press(s, app, caption, key):
    """Presses a button's "&" letter with the pointer on the window."""
    win = wait_until(lambda: s.win32_windows(title=CAPTION, exe=app.exe_name), 5, what="the update window")[0]
    wait_until(lambda: button(s, app, caption), 5, what="the button %r" % caption)
    s.key_on(win, key)


def check(s, app, win, shot):
    """Presses "Ch&eck" and waits for the answer: True when "&Update" came."""
    press(s, app, "Ch&eck", "alt+e")
    time.sleep(1.5)  # a refused connection and the answer both take less
    wait_until(lambda: bar_share(s, win) == 0 or bar_share(s, win) > 0.97, 15, what="the check to end")
    s.screenshot(shot)
    return button(s, app, "&Update") is not None


def temp_installer(s):
    return glob.glob(os.path.join(s.prefix, "drive_c", "users", "*", "**", "Temp", "setup.exe"), recursive=True)


def sign_with_another_certificate(s, installer):
    other = os.path.join(s.workdir, "other")
    os.makedirs(other, exist_ok=True)
    key, cert = os.path.join(other, "key.pem"), os.path.join(other, "cert.pem")
    harness.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                 "-days", "2", "-subj", "/CN=Somebody Else"])
    unsigned = os.path.join(other, "unsigned.exe")
    harness.run(["osslsigncode", "remove-signature", "-in", installer, "-out", unsigned])
    resigned = os.path.join(other, "other.exe")
    harness.run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-in", unsigned, "-out", resigned])
    changed = os.path.join(other, "changed.exe")
    with open(installer, "rb") as f:
        data = bytearray(f.read())
    data[len(data) // 2] ^= 1
    with open(changed, "wb") as f:
        f.write(data)
    return [("changed", changed), ("unsigned", unsigned), ("other-signer", resigned)]


def download_refused(s, app, name):
    """Presses "&Update" and sees the installer downloaded, then refused:
    deleted, not started, Tarnwick still running."""
    press(s, app, "&Update", "alt+u")
    wait_until(lambda: temp_installer(s), 10, interval=0.05, what="the download to begin")
    wait_until(lambda: not temp_installer(s), 30, what="the %s installer to be refused" % name)
    time.sleep(1)
    s.screenshot("refused-" + name)
    s.expect(app.alive(), "Tarnwick ended for the %s installer" % name)
    s.expect(not s.running("setup.exe"), "the %s installer was started" % name)


def scenario():
    with Scenario("update") as s:
        dist = make_dist(s)
        newer_dist = make_newer_dist(s, NEWER)
        www = os.path.join(s.workdir, "www")
        shutil.copytree(os.path.join(dist, "www"), www)
        server = VendorServer(www)
        try:
            app = s.start_tarnwick()
            s.key_on(ui.open_menu(s, app), "c")
            win = s.geometry(wait_until(lambda: s.windows(name=CAPTION, cls=app.exe_name), 5,
                                        what="the update window")[0])
            time.sleep(0.5)
            s.screenshot("waiting")
            s.expect(ui.right_click_opens_nothing(s, app), "the tray menu opened while the update window is up")

            # The server down, then up again.
            assert not check(s, app, win, "connection-error")
            s.expect(bar_share(s, win) == 0, "the bar is empty after a connection error")
            server.start()
            for version, newer in (("3.4.1", False), ("3.10", False), ("3.4.1 ", True)):
                server.offer(version)
                got = check(s, app, win, "server-" + version.strip() + ("-blank" if version.endswith(" ") else ""))
                s.expect(got == newer, "server %r: newer is %s" % (version, got))
                if got:
                    break

            # Installers that are not the vendor's: refused, one after another.
            # Each served slowly: the stripped installer is small enough to be
            # fetched and refused between two looks at the temp folder.
            for name, path in sign_with_another_certificate(s, os.path.join(dist, "setup.exe")):
                server.serve_installer(path, slow=True)
                download_refused(s, app, name)
            # A fresh window, a newer version, and the real installer, slowly.
            s.key_on(s.win32_windows(title=CAPTION, exe=app.exe_name)[0], "Escape")
            wait_until(lambda: not s.windows(name=CAPTION, cls=app.exe_name), 5, what="the window to close")
            server.offer(NEWER)
            server.serve_installer(os.path.join(dist, "setup.exe"), slow=True)
            s.key_on(ui.open_menu(s, app), "c")
            win = s.geometry(wait_until(lambda: s.windows(name=CAPTION, cls=app.exe_name), 5,
                                        what="the update window")[0])
            assert check(s, app, win, "server-" + NEWER), NEWER + " is newer than 3.4.1"
            download_refused(s, app, "3.4.1-as-" + NEWER)
            server.serve_installer(os.path.join(newer_dist, "setup.exe"), slow=True)
            press(s, app, "&Update", "alt+u")
            wait_until(lambda: 0.1 < bar_share(s, win) < 0.9, 20, what="the download half done")
            s.screenshot("downloading")
            s.expect(has_text(s, win, SIZES), "the file size and the bytes received are shown")
            wait_until(lambda: bar_share(s, win) == 0 or not app.alive(), 60, what="the download to end")
            s.screenshot("updating")
            wait_until(lambda: not app.alive(), 60, what="Tarnwick to end for the installer")
            wizard_page(s, "Welcome to Tarnwick %s Setup" % NEWER, "installer-welcome")
            wizard_page(s, "Choose Install Location", "installer-location")
            wizard_page(s, "Completing Tarnwick %s Setup" % NEWER, "installer-finish")
            wait_until(lambda: s.running("tarnwick.exe"), 15, what="the new Tarnwick started by the installer")
            program = user_folders(s)[0]
            s.expect(os.path.isfile(os.path.join(unix(s, program), "tarnwick.exe")),
                     "installed in the user's programs folder")
            wait_until(lambda: s.reg_query(r"HKCU\software\Tarnwick", "Version") == NEWER, 15,
                       what="the running Tarnwick to record version " + NEWER)
        finally:
            server.stop()


if __name__ == "__main__":
    harness.main(scenario)
