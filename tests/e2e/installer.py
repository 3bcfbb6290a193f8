"""The installer as the scenarios meet it: made by `make dist`'s script,
its wizard pages answered with Enter, where it puts the program, and the
manifest it carries among its resources."""

import os
import struct
import subprocess
import time

import harness
from harness import E2EError, wait_until

SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
RT_MANIFEST = 24


def user_folders(s):
    """Where a per-user install goes, as the user's profile names the
    folders: the program's folder in the user's own programs folder, and
    its folder in the user's Start menu."""
    folders = s.reg_query(SHELL_FOLDERS)
    return folders["Local AppData"][1] + r"\Programs\Tarnwick", folders["Programs"][1] + r"\Tarnwick"


def unix(s, winpath):
    """The prefix's file for a path on drive C:."""
    return os.path.join(s.prefix, "drive_c", *winpath[3:].split("\\"))


def make_dist(s):
    """Runs `make dist`'s script into the scenario's folder; returns the
    folder holding setup.exe and the vendor server's www tree."""
    dist = os.path.join(s.workdir, "dist")
    t = time.monotonic()
    subprocess.run(["bash", os.path.join(harness.SOURCE_ROOT, "scripts", "dist.sh"), s.build, dist], check=True,
                   stdout=subprocess.DEVNULL, timeout=300)
    harness.log("setup.exe made in %.1f s, %d bytes" % (time.monotonic() - t,
                                                         os.path.getsize(os.path.join(dist, "setup.exe"))))
    return dist


def make_newer_dist(s, version):
    """Builds the program as `version` and its installer, as `make dist
    VERSION=...` does; returns the folder holding that setup.exe."""
    t = time.monotonic()
    subprocess.run(["bash", os.path.join(harness.SOURCE_ROOT, "scripts", "dist-version.sh"), s.build, version],
                   check=True, stdout=subprocess.DEVNULL, timeout=900)
    dist = os.path.join(os.path.dirname(os.path.abspath(s.build)), "dist-" + version)
    harness.log("Tarnwick %s and its setup.exe made in %.1f s" % (version, time.monotonic() - t))
    return dist


def wizard_page(s, heading, shot):
    """Waits for the wizard page with `heading`, keeps its picture, presses Enter on it."""
    page = wait_until(lambda: [w for w in s.win32_windows(cls="#32770", controls=True)
                               if w.visible and any(c.visible and c.text == heading for c in w.controls)], 30,
                      what="the page %r" % heading)[0]
    time.sleep(0.5)
    s.screenshot(shot)
    s.key_on(page, "Return")


def embedded_manifest(path):
    """The manifest among a PE file's resources (type RT_MANIFEST, its
    first name and language), as text."""
    with open(path, "rb") as f:
        data = f.read()
    u16 = lambda at: struct.unpack_from("<H", data, at)[0]
    u32 = lambda at: struct.unpack_from("<I", data, at)[0]
    pe = u32(0x3C)
    sections, optional_size = u16(pe + 6), u16(pe + 20)
    optional = pe + 24
    directories = optional + (112 if u16(optional) == 0x20B else 96)
    resources = u32(directories + 2 * 8)  # the resource table's address

    def offset(rva):
        for i in range(sections):
            at = optional + optional_size + 40 * i
            size, address, raw = u32(at + 8), u32(at + 12), u32(at + 20)
            if address <= rva < address + max(size, u32(at + 16)):
                return raw + rva - address
        raise E2EError("%s: address %#x lies in no section" % (path, rva))

    root = offset(resources)

    def entries(table):
        count = u16(root + table + 12) + u16(root + table + 14)
        return [(u32(root + table + 16 + 8 * i), u32(root + table + 20 + 8 * i)) for i in range(count)]

    for ident, target in entries(0):
        if ident == RT_MANIFEST and target & 0x80000000:
            name = entries(target & 0x7FFFFFFF)[0][1] & 0x7FFFFFFF
            leaf = root + entries(name)[0][1]
            start, size = offset(u32(leaf)), u32(leaf + 4)
            return data[start:start + size].decode("utf-8")
    raise E2EError("%s carries no manifest" % path)
