#!/usr/bin/env python3
"""Draws the screens' artwork (backgrounds, buttons, icons) into a folder, with the .rc lines.

Usage: make_art.py OUTDIR. Only the standard library: every image is drawn pixel by pixel with
anti-aliased shapes and written as a 24-bit BMP (or a 32-bit icon). Transparent parts of the
backgrounds are exact magenta, which the skin cuts out of the window.
"""
import math
import os
import struct
import sys

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLUE = (26, 51, 144)         # title blue
BLUE_MID = (52, 92, 196)
BLUE_LIGHT = (234, 240, 251)
GREY_TEXT = (51, 51, 51)
STRIP = (241, 243, 248)      # bottom strip behind the push buttons
STRIP_LINE = (217, 222, 232)
BORDER = (138, 151, 184)
PANEL = (230, 230, 230)      # grey panel of the restore page
BAND_HEIGHT = 70
SMALL_BAND = 44
RADIUS = 14


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def band_colour(y, height):
    """The title band's vertical gradient, also used behind the title-bar buttons."""
    t = min(max(y / float(height - 1), 0.0), 1.0)
    return mix((18, 38, 118), (44, 82, 182), t)


class Canvas:
    def __init__(self, w, h, colour=WHITE):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def get(self, x, y):
        return self.px[y][x]

    def put(self, x, y, colour, alpha=1.0):
        if 0 <= x < self.w and 0 <= y < self.h and alpha > 0:
            if alpha >= 1:
                self.px[y][x] = colour
            else:
                self.px[y][x] = mix(self.px[y][x], colour, alpha)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = colour

    def shape(self, x0, y0, x1, y1, dist, colour, alpha=1.0):
        """Fills where dist(x + .5, y + .5) < 0, with one pixel of anti-aliasing."""
        for y in range(max(0, int(y0) - 1), min(self.h, int(y1) + 2)):
            for x in range(max(0, int(x0) - 1), min(self.w, int(x1) + 2)):
                d = dist(x + 0.5, y + 0.5)
                cover = min(max(0.5 - d, 0.0), 1.0)
                if cover > 0:
                    self.put(x, y, colour, cover * alpha)

    def rrect(self, x0, y0, x1, y1, r, colour, alpha=1.0):
        self.shape(x0, y0, x1, y1, rrect_dist(x0, y0, x1, y1, r), colour, alpha)

    def circle(self, cx, cy, r, colour, alpha=1.0):
        self.shape(cx - r, cy - r, cx + r, cy + r,
                   lambda x, y: math.hypot(x - cx, y - cy) - r, colour, alpha)

    def ring(self, cx, cy, r, width, colour, gap=None):
        def d(x, y):
            v = abs(math.hypot(x - cx, y - cy) - r) - width / 2.0
            if gap is not None:
                a = math.degrees(math.atan2(y - cy, x - cx)) % 360
                if gap[0] <= a <= gap[1]:
                    return 1.0
            return v
        self.shape(cx - r - width, cy - r - width, cx + r + width, cy + r + width, d, colour)

    def line(self, xa, ya, xb, yb, width, colour):
        def d(x, y):
            vx, vy = xb - xa, yb - ya
            l2 = vx * vx + vy * vy or 1e-9
            t = min(max(((x - xa) * vx + (y - ya) * vy) / l2, 0.0), 1.0)
            return math.hypot(x - (xa + t * vx), y - (ya + t * vy)) - width / 2.0
        self.shape(min(xa, xb) - width, min(ya, yb) - width, max(xa, xb) + width,
                   max(ya, yb) + width, d, colour)

    def triangle(self, pts, colour):
        """Fills a triangle, 4 by 4 samples per pixel for the edges."""
        (ax, ay), (bx, by), (cx, cy) = pts

        def inside(x, y):
            d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
            d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy)
            d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay)
            neg = d1 < 0 or d2 < 0 or d3 < 0
            pos = d1 > 0 or d2 > 0 or d3 > 0
            return not (neg and pos)
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            for x in range(max(0, int(min(xs))), min(self.w, int(max(xs)) + 1)):
                n = sum(inside(x + (i + 0.5) / 4.0, y + (j + 0.5) / 4.0)
                        for i in range(4) for j in range(4))
                if n:
                    self.put(x, y, colour, n / 16.0)

    def blit(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                self.put(x0 + x, y0 + y, other.px[y][x])

    def crop(self, x0, y0, w, h):
        c = Canvas(w, h)
        for y in range(h):
            for x in range(w):
                c.px[y][x] = self.px[y0 + y][x0 + x]
        return c


def rrect_dist(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return d


# A 5 by 7 pixel font for the few capitals the artwork writes.
FONT = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'G': ["01111", "10000", "10000", "10111", "10001", "10001", "01111"],
    'H': ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    ' ': ["00000"] * 7,
}


def text(c, x, y, s, colour, scale=1, spacing=1):
    for ch in s:
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit == '1':
                    # rounded dots read better than squares when scaled
                    if scale >= 2:
                        c.rrect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale,
                                y + (gy + 1) * scale, scale * 0.3, colour)
                    else:
                        c.put(x + gx, y + gy, colour)
        x += (5 + spacing) * scale


def text_width(s, scale=1, spacing=1):
    return len(s) * (5 + spacing) * scale - spacing * scale


# --- emblems: 64 by 64 pictures at the left of the face ----------------------------------------

def emblem(c, kind, cx, cy):
    c.circle(cx, cy, 30, BLUE_LIGHT)
    c.ring(cx, cy, 30, 1.2, (205, 216, 240))
    b, m = BLUE, BLUE_MID
    if kind == 'locate':
        c.ring(cx - 5, cy - 5, 12, 4, b)
        c.line(cx + 4, cy + 4, cx + 15, cy + 15, 6, b)
    elif kind == 'note':
        c.line(cx, cy - 16, cx, cy + 4, 6, m)
        c.circle(cx, cy + 14, 3.5, m)
    elif kind == 'home':
        c.triangle([(cx - 20, cy - 1), (cx, cy - 19), (cx + 20, cy - 1)], b)
        c.rect(cx - 13, cy - 2, cx + 13, cy + 17, b)
        c.rect(cx - 4, cy + 5, cx + 4, cy + 17, BLUE_LIGHT)
    elif kind == 'menu':
        for i, dy in enumerate((-12, 0, 12)):
            c.circle(cx - 14, cy + dy, 3.5, m)
            c.rrect(cx - 7, cy + dy - 3, cx + 18, cy + dy + 3, 3, b)
    elif kind == 'drive':
        c.rrect(cx - 20, cy - 11, cx + 20, cy + 11, 5, b)
        c.rrect(cx - 16, cy + 1, cx + 6, cy + 5, 2, (120, 150, 220))
        c.circle(cx + 12, cy + 3, 2.5, (120, 230, 140))
    elif kind == 'status':
        for i, hgt in enumerate((14, 24, 32)):
            x = cx - 17 + i * 13
            c.rrect(x, cy + 16 - hgt, x + 9, cy + 16, 2, b if i == 2 else m)
        c.rect(cx - 21, cy + 17, cx + 21, cy + 19, b)
    elif kind == 'restore':
        c.ring(cx, cy, 14, 4.5, b, gap=(300, 350))
        c.triangle([(cx + 6, cy - 14), (cx + 19, cy - 21), (cx + 19, cy - 6)], b)
    elif kind == 'info':
        c.circle(cx, cy - 13, 3.5, m)
        c.line(cx, cy - 4, cx, cy + 16, 6, m)


# --- faces --------------------------------------------------------------------------------------

def face(w, h, kind, band=BAND_HEIGHT, strip=52, panel=None, brand=True):
    c = Canvas(w, h, MAGENTA)
    inside = rrect_dist(0, 0, w, h, RADIUS)
    for y in range(h):
        row = c.px[y]
        for x in range(w):
            # only the corners need the distance; the rest is plainly inside
            if (x < RADIUS or x >= w - RADIUS) and (y < RADIUS or y >= h - RADIUS):
                if inside(x + 0.5, y + 0.5) > 0:
                    continue
            if y < band:
                row[x] = band_colour(y, band)
            elif y >= h - strip:
                row[x] = STRIP_LINE if y == h - strip else STRIP
            else:
                row[x] = WHITE
    # a thin light rule under the band
    for x in range(w):
        for y, col in ((band, (120, 160, 232)), (band + 1, (200, 216, 246))):
            if c.px[y][x] != MAGENTA:
                c.px[y][x] = col
    # border along the outline, inside the kept pixels
    for y in range(h):
        for x in range(w):
            if c.px[y][x] == MAGENTA:
                continue
            near = x < 2 or y < 2 or x >= w - 2 or y >= h - 2 or (
                (x < RADIUS + 2 or x >= w - RADIUS - 2) and (y < RADIUS + 2 or y >= h - RADIUS - 2))
            if near:
                d = inside(x + 0.5, y + 0.5)
                if d > -1.6:
                    c.px[y][x] = mix(c.px[y][x], (14, 30, 96) if y < band else BORDER,
                                     min(1.0, (d + 1.6) / 1.1))
    if brand:
        scale = 2 if band >= 60 else 1
        ty = 18 if scale == 2 else 12
        text(c, 24, ty, "KELVOX", WHITE, scale)
        text(c, 24 + text_width("KELVOX ", scale), ty, "LUMORA", (160, 196, 255), scale)
        text(c, 24, ty + 7 * scale + 8, "SHARED STORAGE", (150, 176, 230), 1)
    if panel:
        x0, y0, x1, y1 = panel
        c.rrect(x0, y0, x1, y1, 8, PANEL)
    if kind:
        emblem(c, kind, 52, band + 54 if band >= 60 else band + 44)
    return c


# --- buttons ------------------------------------------------------------------------------------

def push_button(state):
    w, h = 96, 24
    c = Canvas(w, h, STRIP)
    if state == 'disabled':
        c.rrect(0, 0, w, h, 6, (200, 204, 212))
        c.rrect(1, 1, w - 1, h - 1, 5, (244, 245, 247))
        return c
    border = BLUE if state in ('down', 'focus') else BORDER
    c.rrect(0, 0, w, h, 6, border)
    top, bottom = ((206, 217, 240), (232, 238, 250)) if state == 'down' else (WHITE, (226, 232, 244))
    inner = Canvas(w, h, (0, 0, 0))
    for y in range(h):
        col = mix(top, bottom, y / float(h - 1))
        for x in range(w):
            inner.px[y][x] = col
    inset = 2 if state == 'focus' else 1
    d = rrect_dist(inset, inset, w - inset, h - inset, 6 - inset)
    for y in range(h):
        for x in range(w):
            cover = min(max(0.5 - d(x + 0.5, y + 0.5), 0.0), 1.0)
            if cover > 0:
                c.put(x, y, inner.px[y][x], cover)
    return c


def item_button(down):
    c = Canvas(20, 20, WHITE)
    c.circle(10, 10, 9, BLUE if down else BLUE_MID)
    c.line(8, 6, 12.5, 10, 2.2, WHITE)
    c.line(12.5, 10, 8, 14, 2.2, WHITE)
    return c


def title_button(kind, down):
    c = Canvas(16, 16)
    for y in range(16):
        col = band_colour(8 + y, BAND_HEIGHT)
        for x in range(16):
            c.px[y][x] = col
    if down:
        c.rrect(0, 0, 16, 16, 3, WHITE, 0.28)
    else:
        c.rrect(0, 0, 16, 16, 3, WHITE, 0.10)
    if kind == 'close':
        c.line(4.5, 4.5, 11.5, 11.5, 1.8, WHITE)
        c.line(11.5, 4.5, 4.5, 11.5, 1.8, WHITE)
    else:
        c.line(4.5, 11, 11.5, 11, 2.0, WHITE)
    return c


def menu_icon(kind, state):
    c = Canvas(64, 64, WHITE)
    fill = (214, 226, 248) if state == 'down' else BLUE_LIGHT
    off = 1 if state == 'down' else 0
    c.rrect(2 + off, 2 + off, 62 + off, 62 + off, 12, fill)
    c.ring(32 + off, 32 + off, 0, 0, fill) if False else None
    if state == 'focus':
        c.shape(0, 0, 64, 64, lambda x, y: abs(rrect_dist(1, 1, 63, 63, 13)(x, y)) - 1.2, BLUE)
    else:
        c.shape(0, 0, 64, 64,
                lambda x, y: abs(rrect_dist(2 + off, 2 + off, 62 + off, 62 + off, 12)(x, y)) - 0.6,
                (196, 210, 238))
    cx, cy = 32 + off, 32 + off
    if kind == 'setup':
        c.rrect(cx - 18, cy - 6, cx + 18, cy + 12, 4, BLUE)
        c.rrect(cx - 14, cy + 4, cx + 4, cy + 7, 1.5, (120, 150, 220))
        c.circle(cx + 10, cy + 5.5, 2, (120, 230, 140))
        c.circle(cx + 12, cy - 13, 8, BLUE_MID)
        c.line(cx + 12, cy - 18, cx + 12, cy - 8, 2.4, WHITE)
        c.line(cx + 7, cy - 13, cx + 17, cy - 13, 2.4, WHITE)
    elif kind == 'backup':
        c.ring(cx, cy, 15, 4.5, BLUE, gap=(300, 350))
        c.triangle([(cx + 7, cy - 15), (cx + 20, cy - 22), (cx + 20, cy - 7)], BLUE)
        c.line(cx, cy - 7, cx, cy + 6, 3, BLUE_MID)
        c.line(cx, cy + 6, cx + 7, cy + 6, 3, BLUE_MID)
    else:
        # drive management: a drive with a slider
        c.rrect(cx - 18, cy - 14, cx + 18, cy + 2, 4, BLUE)
        c.circle(cx + 11, cy - 6, 2, (120, 230, 140))
        for i, x in enumerate((cx - 12, cx, cx + 12)):
            c.line(x, cy + 7, x, cy + 19, 2, BLUE_MID)
            k = cy + (10, 16, 12)[i]
            c.rrect(x - 4, k - 2, x + 4, k + 2, 1.5, BLUE)
    return c


def sort_notice():
    c = Canvas(32, 32, WHITE)
    c.rrect(2, 9, 30, 28, 3, BLUE_MID)
    c.rrect(2, 6, 14, 12, 2, BLUE_MID)
    c.rrect(4, 12, 28, 26, 2, (120, 150, 220))
    c.line(16, 14, 16, 22, 2.4, WHITE)
    c.triangle([(11, 20), (21, 20), (16, 25)], WHITE)
    return c


# --- icons (32 bits with alpha) -----------------------------------------------------------------

class Rgba:
    """Draws on a transparent square; coverage becomes alpha."""

    def __init__(self, size):
        self.size = size
        self.c = Canvas(size, size, (0, 0, 0))
        self.a = [[0.0] * size for _ in range(size)]

    def shape(self, dist, colour):
        s = self.size
        for y in range(s):
            for x in range(s):
                cover = min(max(0.5 - dist(x + 0.5, y + 0.5), 0.0), 1.0)
                if cover <= 0:
                    continue
                old_a = self.a[y][x]
                new_a = cover + old_a * (1 - cover)
                if new_a > 0:
                    old = self.c.px[y][x]
                    self.c.px[y][x] = tuple(
                        int(round((colour[i] * cover + old[i] * old_a * (1 - cover)) / new_a))
                        for i in range(3))
                self.a[y][x] = new_a


def state_icon(kind, size):
    ic = Rgba(size)
    k = size / 32.0
    cx = cy = size / 2.0
    colour = {'complete': (46, 160, 67), 'failed': (204, 40, 40), 'incomplete': (232, 160, 20),
              'app': BLUE}[kind]
    if kind == 'app':
        ic.shape(rrect_dist(1 * k, 6 * k, 31 * k, 26 * k, 5 * k), colour)
        ic.shape(rrect_dist(5 * k, 16 * k, 20 * k, 20 * k, 1.5 * k), (140, 170, 235))
        ic.shape(lambda x, y: math.hypot(x - 25 * k, y - 18 * k) - 2.5 * k, (120, 230, 140))
        return ic
    ic.shape(lambda x, y: math.hypot(x - cx, y - cy) - 15 * k, colour)

    def seg(xa, ya, xb, yb, wdt):
        def d(x, y):
            vx, vy = xb - xa, yb - ya
            l2 = vx * vx + vy * vy
            t = min(max(((x - xa) * vx + (y - ya) * vy) / l2, 0.0), 1.0)
            return math.hypot(x - (xa + t * vx), y - (ya + t * vy)) - wdt / 2.0
        return d
    w = 3.6 * k
    if kind == 'complete':
        ic.shape(seg(9 * k, 16.5 * k, 14 * k, 21.5 * k, w), WHITE)
        ic.shape(seg(14 * k, 21.5 * k, 23 * k, 11 * k, w), WHITE)
    elif kind == 'failed':
        ic.shape(seg(10.5 * k, 10.5 * k, 21.5 * k, 21.5 * k, w), WHITE)
        ic.shape(seg(21.5 * k, 10.5 * k, 10.5 * k, 21.5 * k, w), WHITE)
    else:
        ic.shape(seg(16 * k, 8.5 * k, 16 * k, 18 * k, w), WHITE)
        ic.shape(lambda x, y: math.hypot(x - 16 * k, y - 23.5 * k) - 2.2 * k, WHITE)
    return ic


# --- writers ------------------------------------------------------------------------------------

def write_bmp(path, c):
    row_bytes = (c.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray()
        for (r, g, b) in c.px[y]:
            row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def write_ico(path, images):
    blobs = []
    for ic in images:
        s = ic.size
        xor = bytearray()
        mask = bytearray()
        mask_row = ((s + 31) // 32) * 4
        for y in range(s - 1, -1, -1):
            bits = 0
            mrow = bytearray(mask_row)
            for x in range(s):
                r, g, b = ic.c.px[y][x]
                a = int(round(ic.a[y][x] * 255))
                xor += bytes((b, g, r, a))
                if a == 0:
                    mrow[x // 8] |= 0x80 >> (x % 8)
            mask += mrow
            del bits
        info = struct.pack('<IiiHHIIiiII', 40, s, s * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append((s, info + xor + mask))
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for s, blob in blobs:
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in blobs:
        out += blob
    with open(path, 'wb') as f:
        f.write(out)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    backgrounds = {
        532: face(650, 364, 'menu'),
        545: face(650, 364, 'note'),
        548: face(650, 364, 'locate'),
        561: face(650, 364, 'drive'),
        579: face(650, 364, 'home'),
        631: face(650, 364, 'status'),
        632: face(650, 364, 'restore', panel=(92, 118, 634, 306)),
        633: face(504, 294, None, band=SMALL_BAND, strip=50),
    }
    buttons = {
        533: item_button(False), 534: item_button(True),
        535: push_button('disabled'), 536: push_button('focus'),
        537: push_button('up'), 538: push_button('down'),
        539: title_button('close', False), 540: title_button('close', True),
        541: title_button('min', False), 542: title_button('min', True),
        569: sort_notice(),
        578: menu_icon('setup', 'up'), 573: menu_icon('setup', 'down'),
        638: menu_icon('setup', 'focus'),
        576: menu_icon('backup', 'up'), 577: menu_icon('backup', 'down'),
        639: menu_icon('backup', 'focus'),
        574: menu_icon('manage', 'up'), 575: menu_icon('manage', 'down'),
        640: menu_icon('manage', 'focus'),
        595: Canvas(350, 20, WHITE),
    }
    # for the skin's tests: corners inside the edge band, magenta in the middle and on the top
    # line outside the searched columns
    test = Canvas(650, 364, WHITE)
    for (x0, y0) in ((0, 0), (640, 0), (0, 354), (640, 354)):
        test.rect(x0, y0, x0 + 10, y0 + 10, MAGENTA)
    test.rect(300, 160, 340, 200, MAGENTA)
    test.rect(300, 0, 340, 1, MAGENTA)
    write_bmp(os.path.join(out, 'test_face.bmp'), test)

    icons = {565: 'app', 611: 'incomplete', 612: 'failed', 613: 'complete'}

    lines = ['// Generated by res/artwork/make_art.py: backgrounds, only in the program.']
    for i, c in sorted(backgrounds.items()):
        write_bmp(os.path.join(out, 'bg_%d.bmp' % i), c)
        lines.append('%d BITMAP "res/gen/art/bg_%d.bmp"' % (i, i))
    open(os.path.join(out, 'backgrounds.rc'), 'w').write('\n'.join(lines) + '\n')

    lines = ['// Generated by res/artwork/make_art.py: button bitmaps and icons, in every module.']
    for i, c in sorted(buttons.items()):
        write_bmp(os.path.join(out, 'btn_%d.bmp' % i), c)
        lines.append('%d BITMAP "res/gen/art/btn_%d.bmp"' % (i, i))
    for i, kind in sorted(icons.items()):
        write_ico(os.path.join(out, 'icon_%d.ico' % i), [state_icon(kind, 32), state_icon(kind, 16)])
        lines.append('%d ICON "res/gen/art/icon_%d.ico"' % (i, i))
    open(os.path.join(out, 'buttons.rc'), 'w').write('\n'.join(lines) + '\n')
    # the icon of the drive's desktop shortcut, which the installer puts into the system folder
    write_ico(os.path.join(out, 'zeltovdrv.ico'), [state_icon('app', 32), state_icon('app', 16)])


if __name__ == '__main__':
    main()
