#!/usr/bin/env python3
"""check_chm.py HELP.chm SOURCE_DIR

Checks the compiled help file from the outside: it is extracted again with
chmls, then the table of contents must list every topic, every topic of the
sources must be inside, every link and picture of a topic must resolve to a
file inside, the index must point at topics inside, and "Index.html" (the
page the programs open) must be there. Prints every fault, exits 1 on any.
"""
import html.parser
import os
import posixpath
import subprocess
import sys
import tempfile


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.locals = [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "a" and a.get("href"):
            self.links.append(a["href"])
        if tag in ("img", "script") and a.get("src"):
            self.links.append(a["src"])
        if tag == "link" and a.get("href"):
            self.links.append(a["href"])
        if tag == "param" and (a.get("name") or "").lower() == "local":
            self.locals.append(a.get("value", ""))


def parse(text):
    p = Links()
    p.feed(text)
    return p


def main():
    chm, source = sys.argv[1], sys.argv[2]
    faults = []
    with tempfile.TemporaryDirectory() as out:
        r = subprocess.run(["chmls", "extractall", chm, out], capture_output=True, text=True)
        if r.returncode != 0:
            print(r.stdout, r.stderr)
            return 1
        inside = set()
        for root, _, files in os.walk(out):
            for f in files:
                rel = os.path.relpath(os.path.join(root, f), out).replace(os.sep, "/")
                if not rel.startswith(("#", "$", "::")):
                    inside.add(rel)
        lower = {f.lower(): f for f in inside}

        def read(name, encoding):
            with open(os.path.join(out, name), "rb") as f:
                return f.read().decode(encoding)

        def resolves(base, target):
            target = target.split("#", 1)[0]
            if not target or ":" in target:
                return True
            path = posixpath.normpath(posixpath.join(posixpath.dirname(base), target))
            return path.lower() in lower

        if "Index.html" not in inside:
            faults.append("Index.html, the page the programs open, is missing")
        try:
            toc = parse(read("toc.hhc", "cp932")).locals
        except (OSError, UnicodeDecodeError) as e:
            faults.append(f"toc.hhc unreadable as Shift_JIS: {e}")
            toc = []
        try:
            index = parse(read("index.hhk", "cp932")).locals
        except (OSError, UnicodeDecodeError) as e:
            faults.append(f"index.hhk unreadable as Shift_JIS: {e}")
            index = []
        topics = sorted(f for f in inside if f.lower().endswith((".html", ".htm")))
        for t in toc:
            if not resolves("", t):
                faults.append(f"contents entry {t} is not inside")
        for t in index:
            if not resolves("", t):
                faults.append(f"index entry {t} is not inside")
        listed = {t.split("#", 1)[0].lower() for t in toc}
        for t in topics:
            if t.lower() not in listed:
                faults.append(f"topic {t} is not in the table of contents")
        for f in sorted(os.listdir(os.path.join(source, "topics"))):
            if f.lower().endswith((".html", ".css")) and f not in inside:
                faults.append(f"source topic {f} is not inside")
        for t in topics:
            for link in parse(read(t, "utf-8")).links:
                if not resolves(t, link):
                    faults.append(f"{t}: link {link} does not resolve")
        print(f"{len(topics)} topics, {len(toc)} contents entries, {len(index)} index entries, "
              f"{len(inside)} files")
    for f in faults:
        print("FAIL", f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
