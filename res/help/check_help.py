#!/usr/bin/env python3
"""Checks the built help files: check_help.py BINDIR. Every file that strings 217 to 226 name is
in BINDIR, is a compiled help file (the "ITSF" header of version 3 with its directory section),
holds its own page and every page and style sheet that page links to, and its page has real text."""
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'strings'))
from texts import HELP  # noqa: E402


def directory_names(data):
    """The names in the CHM's directory chunks ("PMGL"): each entry is an encoded length and the
    name, which begins with a slash or "::"."""
    names = set()
    for m in re.finditer(rb'PMGL', data):
        chunk = data[m.start():m.start() + 4096]
        free = struct.unpack_from('<I', chunk, 4)[0]
        pos, end = 20, 4096 - free
        while pos < end:
            length = chunk[pos]
            pos += 1
            name = chunk[pos:pos + length]
            pos += length
            for _ in range(3):  # section, offset, length: encoded integers
                while chunk[pos] & 0x80:
                    pos += 1
                pos += 1
            names.add(name.decode('latin-1'))
    return names


def check(bindir, number, name):
    path = os.path.join(bindir, name)
    if not os.path.isfile(path):
        return [f'string {number}: {name} was not built']
    data = open(path, 'rb').read()
    problems = []
    if data[:4] != b'ITSF' or struct.unpack_from('<I', data, 4)[0] != 3:
        return [f'{name}: not a compiled help file (header {data[:8]!r})']
    if b'ITSP' not in data[:0x200]:
        problems.append(f'{name}: no directory header')
    names = directory_names(data)
    page = name[:-len('.chm')] + '.html'
    wanted = {page}
    html = open(os.path.join(HERE, page), encoding='utf-8').read()
    wanted |= set(re.findall(r'(?:href|src)="([^"#:]+)"', html))
    for w in sorted(wanted):
        if '/' + w not in names:
            problems.append(f'{name}: {w} is not in it (it holds {sorted(names)})')
    body = re.sub(r'<[^>]+>', ' ', html.split('<body>', 1)[-1])
    if len(body.split()) < 100:
        problems.append(f'{name}: its page has {len(body.split())} words')
    return problems


def main():
    bindir = sys.argv[1]
    problems = []
    for number in sorted(HELP):
        problems += check(bindir, number, HELP[number].lstrip('\\'))
    for p in problems:
        print('FAIL:', p)
    if not problems:
        print(f'{len(HELP)} help files checked')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
