#!/usr/bin/env python3
"""Compiles the help files the screens open (strings 217 to 226) from the HTML pages beside this
script: make_help.py WORKDIR OUTDIR. Each "\\name.chm" is made of name.html, the troubleshooting
page every help file links to, and the style sheet."""
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'strings'))
from texts import HELP  # noqa: E402

SHARED = ['troubleshooting.html', 'style.css']


def title_of(page):
    with open(page, encoding='utf-8') as f:
        text = f.read()
    start = text.index('<title>') + len('<title>')
    return text[start:text.index('</title>', start)]


def main():
    work, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for number in sorted(HELP):
        name = HELP[number].lstrip('\\')
        stem = name[:-len('.chm')]
        page = stem + '.html'
        source = os.path.join(HERE, page)
        if not os.path.isfile(source):
            sys.exit(f'make_help: string {number} names {name}, but res/help/{page} is missing')
        stage = os.path.join(work, stem)
        shutil.rmtree(stage, ignore_errors=True)
        os.makedirs(stage)
        for f in [page] + SHARED:
            shutil.copy(os.path.join(HERE, f), stage)
        with open(os.path.join(stage, stem + '.hhp'), 'w', newline='\r\n') as f:
            f.write('[OPTIONS]\n')
            f.write(f'Compiled file={name}\n')
            f.write(f'Default topic={page}\n')
            f.write(f'Title={title_of(source)}\n')
            f.write('Language=0x409 English (United States)\n\n')
            f.write('[FILES]\n')
            for p in [page] + SHARED:
                f.write(p + '\n')
        log = os.path.join(stage, 'chmcmd.log')
        with open(log, 'w') as f:
            rc = subprocess.call(['chmcmd', '--no-html-scan', stem + '.hhp'], cwd=stage,
                                 stdout=f, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        built = os.path.join(stage, name)
        if rc != 0 or not os.path.isfile(built):
            sys.stderr.write(open(log).read())
            sys.exit(f'make_help: chmcmd failed on {name}')
        shutil.copy(built, os.path.join(out, name))


if __name__ == '__main__':
    main()
