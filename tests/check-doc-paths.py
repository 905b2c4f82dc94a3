#!/usr/bin/env python3
"""Every path that the README or a doc names exists, and the README's layout table lists the
tree's folders: check-doc-paths.py [ROOT].

A path is a word whose first part is a folder of the tree or of the layout table (`app/log.h`,
`lab/net/up`, `res/lang/*/app.rc`, `app/switches.{h,cpp}`) or a top-level script (`./run-tests`).
Paths in build/ are made by the build and are not checked; globs must match something."""

import glob
import os
import re
import subprocess
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))


def tracked():
    out = subprocess.run(["git", "-C", ROOT, "ls-files"], capture_output=True, text=True, check=True)
    return out.stdout.split()


def layout_folders(readme):
    """The folders of the README's "## Layout" table, as written there (`app/`)."""
    section = readme.split("\n## Layout", 1)
    if len(section) < 2:
        return None
    rows = re.findall(r"^\| `([^`]+)/` \|", section[1].split("\n## ", 1)[0], re.M)
    return set(rows)


def expand_braces(path):
    m = re.search(r"\{([^{}]*)\}", path)
    if not m:
        return [path]
    return [p for part in m.group(1).split(",")
            for p in expand_braces(path[:m.start()] + part + path[m.end():])]


def exists(path):
    for p in expand_braces(path):
        full = os.path.join(ROOT, p)
        if not (glob.glob(full) if any(c in p for c in "*?[") else os.path.exists(full)):
            return False
    return True


def main():
    files = tracked()
    folders = sorted({f.split("/", 1)[0] for f in files if "/" in f and not f.startswith(".")})
    top_files = {f for f in files if "/" not in f}
    docs = ["README.md"] + sorted(f for f in files if f.startswith("docs/") and f.endswith(".md"))
    readme = open(os.path.join(ROOT, "README.md"), encoding="utf-8").read()
    problems = []

    listed = layout_folders(readme)
    if listed is None:
        problems.append("README.md: no \"## Layout\" table")
        listed = set()
    for f in folders:
        if f not in listed:
            problems.append(f"README.md: the layout table does not list {f}/")
    for f in sorted(listed - set(folders)):
        problems.append(f"README.md: the layout table lists {f}/, which the tree does not have")

    first = "|".join(re.escape(f) for f in sorted(set(folders) | listed))
    path_re = re.compile(r"(?<![\w./$<>@:-])(?:\./)?(?:" + first + r")/[\w./{},*+-]*")
    script_re = re.compile(r"(?<![\w./$-])\./([\w.-]+)")
    for doc in docs:
        text = open(os.path.join(ROOT, doc), encoding="utf-8").read()
        for number, line in enumerate(text.split("\n"), 1):
            for m in path_re.finditer(line):
                path = m.group(0).rstrip(".,:;")
                if path.startswith("./"):
                    path = path[2:]
                if not exists(path):
                    problems.append(f"{doc}:{number}: names {path}, which does not exist")
            for m in script_re.finditer(line):
                name = m.group(1).rstrip(".,:;")
                if name not in top_files and name not in folders:
                    problems.append(f"{doc}:{number}: names ./{name}, which does not exist")

    for p in problems:
        print(p)
    print(f"{len(docs)} documents checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
