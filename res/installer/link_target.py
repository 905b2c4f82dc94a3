#!/usr/bin/env python3
"""Prints the target path of a Windows shortcut (.lnk): link_target.py FILE. Reads the shell link's
LinkInfo (its local base path and common path suffix), as the shell resolves a link to a file."""
import struct
import sys


def target(data):
    if len(data) < 0x4C or struct.unpack_from('<I', data, 0)[0] != 0x4C:
        raise ValueError('not a shell link')
    flags = struct.unpack_from('<I', data, 0x14)[0]
    pos = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        pos += 2 + struct.unpack_from('<H', data, pos)[0]
    if not flags & 0x2:  # HasLinkInfo
        raise ValueError('the link has no LinkInfo')
    info = data[pos:pos + struct.unpack_from('<I', data, pos)[0]]
    local = struct.unpack_from('<I', info, 16)[0]
    suffix = struct.unpack_from('<I', info, 24)[0]

    def text(at):
        return info[at:info.index(b'\0', at)].decode('latin-1')

    return text(local) + (text(suffix) if suffix else '')


if __name__ == '__main__':
    try:
        print(target(open(sys.argv[1], 'rb').read()))
    except (ValueError, struct.error) as e:
        sys.exit(f'link_target: {sys.argv[1]}: {e}')
