#!/usr/bin/env python3
"""The pictures of screens that the README and the docs show were made by the build, are real
pictures, and a German or French one shows the screen translated: check-doc-screens.py ROOT SHOTS.

A picture is named as `build/win32/screens/LANG/NAME.png` in a Markdown image link; SHOTS is the
folder the build wrote them to. ImageMagick measures them."""

import glob
import os
import re
import subprocess
import sys

ROOT, SHOTS = sys.argv[1], sys.argv[2]
LINK = re.compile(r"!\[[^\]]*\]\(build/win32/screens/(\w+)/([\w-]+\.png)\)")
# a picture of a dialog: at least this big, with anti-aliased text and artwork in it
MIN_SIDE, MIN_COLOURS = 200, 64
# a translated screen differs from the English one in more of its pixels than this share
MIN_CHANGED = 0.005


def identify(path):
    out = subprocess.run(["identify", "-format", "%w %h %k", path], capture_output=True,
                         text=True, check=True).stdout.split()
    return [int(v) for v in out]


def changed_pixels(a, b):
    # compare prints the count of differing pixels on its error stream and exits 1 when any do
    run = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True,
                         text=True)
    if run.returncode > 1:
        raise RuntimeError(run.stderr.strip())
    return float(run.stderr.split()[0])


def main():
    docs = ["README.md"] + sorted(os.path.relpath(p, ROOT)
                                  for p in glob.glob(os.path.join(ROOT, "docs", "*.md")))
    problems = []
    shown = []
    for doc in docs:
        text = open(os.path.join(ROOT, doc), encoding="utf-8").read()
        for number, line in enumerate(text.split("\n"), 1):
            shown += [(doc, number, lang, name) for lang, name in LINK.findall(line)]
    if not any(doc == "README.md" for doc, _, _, _ in shown):
        problems.append("README.md shows no picture of a screen")
    for doc, number, lang, name in shown:
        where = f"{doc}:{number}: {lang}/{name}"
        path = os.path.join(SHOTS, lang, name)
        if not os.path.isfile(path):
            problems.append(f"{where}: the build made no such picture")
            continue
        width, height, colours = identify(path)
        if min(width, height) < MIN_SIDE or colours < MIN_COLOURS:
            problems.append(f"{where}: {width}x{height} with {colours} colours is no screen")
        if lang != "eng":
            english = os.path.join(SHOTS, "eng", name)
            if not os.path.isfile(english):
                problems.append(f"{where}: no English picture to compare it with")
            elif changed_pixels(path, english) <= MIN_CHANGED * width * height:
                problems.append(f"{where}: looks like the English screen")
    for p in problems:
        print(p)
    print(f"{len(shown)} pictures, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
