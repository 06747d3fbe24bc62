#!/usr/bin/env python3
"""Draws the limiter's icons and state pictures with the standard library only.

    make_art.py OUTDIR [--sheet FILE.png]

writes icon<N>.ico (N = 100..114; 16, 32 and 48 px, 32-bit with alpha),
the settings utility's editor_program.ico, editor_users.ico and
editor_groups.ico (the same sizes), and bitmap<N>.bmp (N = 300..304; 64x64,
24-bit on the button-face grey) into OUTDIR, and with --sheet a PNG contact
sheet of all of them for a look.

One colour language for the five states, each a round badge with its own
white sign so that it also reads without colour:

    initialising  grey   three dots
    no limit      blue   infinity sign
    plenty        green  clock dial, most of it left
    little left   amber  clock dial, a small slice left
    out of time   red    bar of a no-entry sign

Shapes are tests of a point in a unit square; every pixel is supersampled.
"""
import math
import os
import struct
import sys
import zlib

WHITE = (255, 255, 255)
BUTTON_FACE = (240, 240, 240)

# state: (badge colour, rim colour)
STATE = {
    "init": ((0x8C, 0x92, 0x9C), (0x55, 0x5B, 0x66)),
    "none": ((0x2F, 0x7F, 0xE0), (0x17, 0x4A, 0x96)),
    "plenty": ((0x2B, 0xA8, 0x48), (0x17, 0x69, 0x2B)),
    "little": ((0xF0, 0x9A, 0x0C), (0xA8, 0x5E, 0x00)),
    "out": ((0xDA, 0x2E, 0x2E), (0x8E, 0x14, 0x14)),
}


# --- shapes: functions (x, y) -> bool over the unit square, y downwards ------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    lo, hi = (r - w / 2) ** 2, (r + w / 2) ** 2
    return lambda x, y: lo <= (x - cx) ** 2 + (y - cy) ** 2 <= hi


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def round_rect(x0, y0, x1, y1, rad):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + rad), x1 - rad)
        cy = min(max(y, y0 + rad), y1 - rad)
        return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad
    return inside


def segment(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= (w / 2) ** 2
    return inside


def sector(cx, cy, r, start, end):
    """Degrees clockwise from twelve o'clock, start <= end."""
    disc = circle(cx, cy, r)

    def inside(x, y):
        if not disc(x, y):
            return False
        a = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return start <= a <= end
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# --- drawings: lists of (shape, colour), later layers on top -----------------

def badge(state, sign):
    fill, rim = STATE[state]
    return [(circle(.5, .5, .485), rim), (circle(.5, .5, .405), fill)] + [(s, WHITE) for s in sign]


def dial(state, left_degrees, size):
    """A clock dial whose white slice is the time left, with a hand at its
    edge; at 16 px only the slice, larger, so that it stays legible."""
    if size <= 16:
        return badge(state, [sector(.5, .5, .31, 0, left_degrees)])
    return badge(state, [ring(.5, .5, .27, .075), sector(.5, .5, .27, 0, left_degrees),
                         segment(.5, .5, .5, .25, .075)])


# Each drawing takes the pixel size it is rendered at.
SIGNS = {
    "init": lambda size: badge("init", [circle(x, .5, .085) for x in (.27, .5, .73)]),
    "none": lambda size: badge("none", [ring(.345, .5, .135, .085), ring(.655, .5, .135, .085)]),
    "plenty": lambda size: dial("plenty", 290, size),
    "little": lambda size: dial("little", 70, size),
    "out": lambda size: badge("out", [round_rect(.2, .4, .8, .6, .05)]),
}


def program_icon(size):
    """A clock at nine, in the product's blue, with a crescent moon: bedtime."""
    navy, face = (0x1B, 0x3A, 0x6B), (0xFF, 0xFF, 0xFF)
    moon = minus(circle(.79, .22, .19), circle(.87, .16, .17))
    ticks = [segment(.5, .13, .5, .2, .06), segment(.87, .5, .8, .5, .06),
             segment(.5, .87, .5, .8, .06), segment(.13, .5, .2, .5, .06)]
    return [(circle(.5, .5, .47), navy), (circle(.5, .5, .39), face)] + [(t, navy) for t in ticks] + [
        (segment(.5, .5, .5, .2, .085), navy), (segment(.5, .5, .27, .5, .1), navy),
        (circle(.5, .5, .06), (0xDA, 0x2E, 0x2E)),
        (circle(.79, .22, .215), (255, 255, 255, 0)), (moon, (0xF2, 0xC0, 0x1E))]


def monitor_icon(size):
    """A screen with a clock on it: the monitor window."""
    frame, screen = (0x3A, 0x44, 0x52), (0xD8, 0xEA, 0xFF)
    return [(round_rect(.04, .1, .96, .76, .06), frame), (rect(.11, .17, .89, .69), screen),
            (polygon([(.36, .92), (.64, .92), (.58, .76), (.42, .76)]), frame),
            (circle(.5, .43, .2), STATE["plenty"][0]), (circle(.5, .43, .14), WHITE),
            (segment(.5, .43, .5, .32, .06), frame), (segment(.5, .43, .58, .43, .06), frame)]


def bedtime_icon(size):
    """Out of time, the amusing way: a red badge with a moon and stars."""
    moon = minus(circle(.46, .52, .25), circle(.58, .42, .22))
    star = lambda cx, cy, r: polygon([(cx + r * math.sin(math.radians(a)) * (1 if i % 2 == 0 else .42),
                                       cy - r * math.cos(math.radians(a)) * (1 if i % 2 == 0 else .42))
                                      for i, a in enumerate(range(0, 360, 36))])
    return badge("out", [moon, star(.7, .36, .12), star(.72, .66, .08)])


def hourglass_icon(size):
    """Out of time, the other way: an hourglass whose sand has all run down."""
    glass = polygon([(.31, .24), (.69, .24), (.55, .5), (.69, .76), (.31, .76), (.45, .5)])
    empty = polygon([(.38, .29), (.62, .29), (.5, .47)])
    sand = polygon([(.5, .55), (.62, .71), (.38, .71)])
    return badge("out", [rect(.27, .19, .73, .25), rect(.27, .75, .73, .81), glass]) + [
        (empty, STATE["out"][0]), (sand, (0xF2, 0xC0, 0x1E))]


def padlock_icon(size):
    """The password prompt: a padlock."""
    gold, dark, steel = (0xE8, 0xB2, 0x1E), (0x7A, 0x55, 0x00), (0x70, 0x78, 0x84)
    shackle = minus(round_rect(.26, .06, .74, .62, .24), round_rect(.36, .16, .64, .62, .14))
    return [(shackle, steel), (round_rect(.14, .42, .86, .95, .08), dark),
            (round_rect(.19, .47, .81, .9, .05), gold),
            (circle(.5, .62, .085), dark), (polygon([(.46, .64), (.54, .64), (.57, .8), (.43, .8)]), dark)]


def editor_program_icon(size):
    """The settings utility: the product's clock with a pencil over it."""
    pencil, tip, lead = (0xF2, 0xC0, 0x1E), (0xF5, 0xDE, 0xB3), (0x3A, 0x44, 0x52)
    return program_icon(size)[:-2] + [
        (segment(.92, .38, .5, .8, .2), (255, 255, 255, 0)),
        (segment(.9, .4, .56, .74, .13), pencil),
        (polygon([(.5, .68), (.62, .8), (.42, .88)]), tip),
        (polygon([(.455, .82), (.48, .86), (.42, .88)]), lead)]


def person(cx, top, scale):
    """Head and shoulders of one account."""
    return union(circle(cx, top + .17 * scale, .15 * scale),
                 minus(circle(cx, top + .72 * scale, .33 * scale), rect(0, top + .74 * scale, 1, 1)))


def editor_users_icon(size):
    """A registered user: one figure in the blue of "no limit"."""
    fill, rim = STATE["none"]
    return [(person(.5, .08, 1.05), rim), (person(.5, .13, .88), fill)]


def editor_groups_icon(size):
    """A registered group: two figures, the one behind in green."""
    return [(person(.66, .1, .8), STATE["plenty"][1]), (person(.66, .14, .68), STATE["plenty"][0]),
            (person(.38, .22, .8), STATE["none"][1]), (person(.38, .26, .68), STATE["none"][0])]


ICONS = {
    100: program_icon,
    101: monitor_icon,
    102: SIGNS["init"], 103: SIGNS["none"], 104: SIGNS["plenty"], 105: SIGNS["little"], 106: SIGNS["out"],
    107: bedtime_icon,
    108: hourglass_icon,
    109: padlock_icon,
    # taskbar overlays: plenty, little left, out of time, no limit, initialising
    110: SIGNS["plenty"], 111: SIGNS["little"], 112: SIGNS["out"], 113: SIGNS["none"], 114: SIGNS["init"],
}
# The settings utility's own images, under names of their own.
EDITOR_ICONS = {"editor_program": editor_program_icon, "editor_users": editor_users_icon,
                "editor_groups": editor_groups_icon}
BITMAPS = {300: "init", 301: "none", 302: "plenty", 303: "little", 304: "out"}
ICON_SIZES = (16, 32, 48)


# --- rendering ----------------------------------------------------------------

def render(layers, size):
    """Rows of (r, g, b, a), top row first; colours may carry their own alpha."""
    n = 4 if size <= 16 else 3
    offsets = [(i + .5) / n for i in range(n)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for oy in offsets:
                y = (py + oy) / size
                for ox in offsets:
                    x = (px + ox) / size
                    for shape, colour in reversed(layers):
                        if shape(x, y):
                            alpha = colour[3] / 255 if len(colour) > 3 else 1.0
                            r += colour[0] * alpha
                            g += colour[1] * alpha
                            b += colour[2] * alpha
                            a += alpha
                            break
            k = n * n
            if a:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / k)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def over(rows, background):
    return [[tuple(round(c * p[3] / 255 + bg * (255 - p[3]) / 255) for c, bg in zip(p[:3], background))
             for p in row] for row in rows]


def ico_image(rows):
    """A bottom-up 32-bit DIB with its AND mask, as an icon entry stores it."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_ico(path, renders):
    images = [ico_image(rows) for rows in renders]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, img in zip(renders, images):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_bmp(path, rgb_rows):
    size = len(rgb_rows)
    data = b""
    for row in reversed(rgb_rows):
        line = b"".join(bytes((p[2], p[1], p[0])) for p in row)
        data += line + bytes((4 - len(line) % 4) % 4)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + data)


def write_png(path, rgb_rows):
    height, width = len(rgb_rows), len(rgb_rows[0])
    raw = b"".join(b"\0" + b"".join(bytes(p[:3]) for p in row) for row in rgb_rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def contact_sheet(icons, bitmaps, background=BUTTON_FACE):
    """One row per picture: each size as drawn, then the 16 px one magnified 4x."""
    cell, gap = 64, 8
    width = gap + (len(ICON_SIZES) + 1) * (cell + gap)
    entries = [renders for _, renders in icons] + [[rows] for _, rows in bitmaps]
    height = gap + len(entries) * (cell + gap)
    sheet = [[background] * width for _ in range(height)]

    def paste(rows, x0, y0, scale=1):
        for y, row in enumerate(rows):
            for x, p in enumerate(row):
                colour = p if len(p) == 3 else over([[p]], background)[0][0]
                for dy in range(scale):
                    for dx in range(scale):
                        sheet[y0 + y * scale + dy][x0 + x * scale + dx] = colour
    for i, renders in enumerate(entries):
        y0 = gap + i * (cell + gap)
        for j, rows in enumerate(renders):
            paste(rows, gap + j * (cell + gap), y0)
        if len(renders) > 1:
            paste(renders[0], gap + len(ICON_SIZES) * (cell + gap), y0, 4)
    return sheet


def main():
    args = sys.argv[1:]
    sheet_path = None
    if "--sheet" in args:
        i = args.index("--sheet")
        sheet_path = args[i + 1]
        del args[i:i + 2]
    out = args[0]
    os.makedirs(out, exist_ok=True)
    icons = []
    for n, draw in ICONS.items():
        renders = [render(draw(s), s) for s in ICON_SIZES]
        write_ico(os.path.join(out, "icon%d.ico" % n), renders)
        icons.append((n, renders))
    for name, draw in EDITOR_ICONS.items():
        renders = [render(draw(s), s) for s in ICON_SIZES]
        write_ico(os.path.join(out, name + ".ico"), renders)
        icons.append((name, renders))
    bitmaps = []
    for n, state in BITMAPS.items():
        rows = over(render(SIGNS[state](64), 64), BUTTON_FACE)
        write_bmp(os.path.join(out, "bitmap%d.bmp" % n), rows)
        bitmaps.append((n, rows))
    if sheet_path:
        write_png(sheet_path, contact_sheet(icons, bitmaps))


if __name__ == "__main__":
    main()
