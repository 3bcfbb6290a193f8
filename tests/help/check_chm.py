"""Checks the built help file from the Linux side: unpacked with 7-Zip, it
holds a page for every topic the program opens (the names its sources pass
to the help service), every link and picture inside it resolves, and its
table of contents and index name only pages it holds, the contents every one,
and no page's text shows a raw "&" (an access key is underlined instead).

    python3 tests/help/check_chm.py build/win/help.chm"""

import html
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def topics_in_sources():
    """Topic names the program passes to the help service."""
    found = set()
    for folder, _, files in os.walk(os.path.join(ROOT, "src")):
        for name in files:
            if not name.endswith(".cpp"):
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                text = f.read()
            found.update(re.findall(r'\.topic\([^,()]+,\s*"([^"]+)"\)', text))
            for array in re.findall(r"Topics\[\]\s*=\s*\{([^}]*)\}", text):
                found.update(re.findall(r'"([^"]+)"', array))
    return found


def raw_ampersands(page_html):
    """Bits of a page's visible text around each "&" the reader would see."""
    body = re.sub(r"<(script|style)\b.*?</\1>", "", page_html, flags=re.I | re.S)
    text = html.unescape(re.sub(r"<[^>]*>", "", body))
    return [text[max(0, i - 10):i + 10].strip() for i, c in enumerate(text) if c == "&"]


def main(chm):
    failures = []
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["7z", "x", "-y", "-o" + out, chm], check=True, stdout=subprocess.DEVNULL)
        # Names as the archive holds them, by their lower-case form (the
        # help system ignores letter case).
        actual = {os.path.relpath(os.path.join(d, f), out).replace(os.sep, "/").lower():
                  os.path.join(d, f) for d, _, names in os.walk(out) for f in names}
        files = set(actual)
        pages = {f for f in files if f.endswith(".htm")}
        topics = topics_in_sources()
        if len(topics) < 12:
            failures.append("only %d topics found in the sources: %s" % (len(topics), sorted(topics)))
        for topic in sorted(topics):
            if (topic + ".htm").lower() not in pages:
                failures.append("no page for the topic %s" % topic)
        for page in sorted(pages):
            with open(actual[page], encoding="latin-1") as f:
                text = f.read()
            for target in re.findall(r'(?:href|src)="([^"#:]+)', text, re.I):
                if target.lower() not in files:
                    failures.append("%s links to %s, which is not there" % (page, target))
            for bit in raw_ampersands(text):
                failures.append('%s shows a raw "&": %r' % (page, bit))
        listed = {}
        for name in ("toc.hhc", "index.hhk"):
            with open(actual[name], encoding="latin-1") as f:
                listed[name] = {v.lower() for v in re.findall(r'name="Local" value="([^"]+)"', f.read(), re.I)}
            for target in sorted(listed[name] - files):
                failures.append("%s names %s, which is not there" % (name, target))
        for page in sorted(pages - listed["toc.hhc"]):
            failures.append("the table of contents does not list %s" % page)
        print("%d pages, %d topics of the program, %d contents entries, %d index entries" % (
            len(pages), len(topics), len(listed["toc.hhc"]), len(listed["index.hhk"])))
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
