"""Start-up figures of tarnwick.exe next to the bare tray program
traytest.exe, both started the same way under the same Wine: the time from
launch to the tray icon showing, and the anonymous resident memory (RssAnon)
of the program's Linux process 10 s after launch. Each program runs in a
fresh desktop and prefix per round; the median of the rounds is printed.

Not part of the test run: python3 tests/e2e/measure_startup.py [ROUNDS]
(with TARNWICK_EXE, TARNWICK_HELPERS set, or the default build/win paths).
"""

import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
os.environ.setdefault("TARNWICK_BUILD", os.path.join(ROOT, "build", "win"))
os.environ.setdefault("TARNWICK_EXE", os.path.join(os.environ["TARNWICK_BUILD"], "tarnwick.exe"))
os.environ.setdefault("TARNWICK_HELPERS", os.path.join(os.environ["TARNWICK_BUILD"], "helpers"))

from harness import Scenario  # noqa: E402

SETTLE = 10.0


def one(kind):
    with Scenario("measure-" + kind) as s:
        exe = s.install(s.exe) if kind == "tarnwick" else s.install(s.helper("traytest"), folder="traytest")
        app = s.start(exe)
        t_icon = app.started_after
        # RssAnon 10 s after the launch (start() returned t_icon after it).
        time.sleep(max(0.0, SETTLE - t_icon))
        rss = app.rss_anon_kb()
        return t_icon, rss


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    results = {"tarnwick": [], "traytest": []}
    for r in range(rounds):
        for kind in ("traytest", "tarnwick"):
            results[kind].append(one(kind))
    print()
    print("%-10s %22s %26s" % ("program", "launch->icon (s)", "RssAnon @10 s (KiB)"))
    for kind in ("tarnwick", "traytest"):
        times = [t for t, _ in results[kind]]
        rss = [m for _, m in results[kind]]
        print("%-10s %8.2f  [%s] %10d  [%s]" % (kind, statistics.median(times), " ".join("%.2f" % t for t in times),
                                               statistics.median(rss), " ".join(str(m) for m in rss)))
    ratio = lambda at: (statistics.median(v[at] for v in results["tarnwick"]) /
                        statistics.median(v[at] for v in results["traytest"]))
    print("tarnwick / traytest: launch->icon %.2fx, RssAnon %.2fx" % (ratio(0), ratio(1)))
    print("(median of %d rounds; the icon is looked for about every 0.1 s)" % rounds)


if __name__ == "__main__":
    main()
