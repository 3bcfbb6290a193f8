"""Where the idle program's CPU goes: the Wine server requests it makes. The
same desktops as bench/idle_cpu.py (50 block-list entries, 100 hidden windows
of class IEFrame in another program), the bare tray program first, then
tarnwick.exe with nothing on, with the popup blocker on and with auto-erase on
and every category selected. After start-up, strace counts for SECONDS (10
unless given) the system calls every thread of the program makes; each
request to the Wine server is one write or writev on its request pipe, so
their count per second is the program's request rate.

    python3 bench/server_requests.py [SECONDS]

Needs strace, and what bench/idle_cpu.py needs."""

import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import idle_cpu  # noqa: E402
import harness  # noqa: E402


def syscalls(pid, seconds):
    """Calls per system call name made by every thread of `pid` in `seconds`."""
    tids = os.listdir("/proc/%d/task" % pid)
    cmd = ["strace", "-c", "-f"] + [a for t in tids for a in ("-p", t)]
    p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    time.sleep(seconds)
    p.send_signal(2)
    _, err = p.communicate(timeout=30)
    calls = {}
    for line in err.splitlines():
        m = re.match(r"\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+(?:\d+\s+)?(\w+)$", line)
        if m:
            calls[m.group(2)] = int(m.group(1))
    return calls


def measure(name, settings, seconds):
    with idle_cpu.prepared(name, settings) as (s, app):
        return syscalls(app.pid, seconds)


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 10
    print("Wine server requests (write + writev) per second, over %.0f s after start-up" % seconds)
    for name, settings in idle_cpu.RUNS:
        calls = measure(name, settings, seconds)
        requests = calls.get("write", 0) + calls.get("writev", 0)
        busiest = sorted(calls.items(), key=lambda c: -c[1])[:4]
        print("  %-14s %8.1f requests/s   (all system calls %.1f/s: %s)"
              % (name, requests / seconds, sum(calls.values()) / seconds,
                 ", ".join("%s %.0f" % (n, c / seconds) for n, c in busiest)))


if __name__ == "__main__":
    harness.main(main)
