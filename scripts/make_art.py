#!/usr/bin/env python3
"""Placeholder artwork: plain squares in the five state colours.

make_art.py OUTDIR writes icon<N>.ico (N = 100..114, 16/32/48 px) and
bitmap<N>.bmp (N = 300..304, 64x64, 24-bit) into OUTDIR.
"""
import os
import struct
import sys

STATE = {  # initialising, no limit, plenty, little left, out of time
    "init": (0x80, 0x80, 0x80),
    "none": (0x30, 0x70, 0xD0),
    "plenty": (0x20, 0xA0, 0x40),
    "little": (0xF0, 0xA0, 0x00),
    "out": (0xD0, 0x20, 0x20),
}
ICONS = {
    100: "plenty", 101: "none", 102: "init", 103: "none", 104: "plenty", 105: "little",
    106: "out", 107: "out", 108: "out", 109: "init", 110: "plenty", 111: "little",
    112: "out", 113: "none", 114: "init",
}
BITMAPS = {300: "init", 301: "none", 302: "plenty", 303: "little", 304: "out"}


def dib(size, rgb, alpha):
    """A bottom-up 32-bit DIB with its AND mask, as an icon image stores it."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = bytes((rgb[2], rgb[1], rgb[0], alpha)) * (size * size)
    mask_row = ((size + 31) // 32) * 4
    return header + px + bytes(mask_row * size)


def write_ico(path, rgb):
    sizes = (16, 32, 48)
    images = [dib(s, rgb, 0xFF) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_bmp(path, rgb, size=64):
    row = bytes((rgb[2], rgb[1], rgb[0])) * size
    pad = (4 - len(row) % 4) % 4
    data = (row + bytes(pad)) * size
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + data)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for n, state in ICONS.items():
        write_ico(os.path.join(out, "icon%d.ico" % n), STATE[state])
    for n, state in BITMAPS.items():
        write_bmp(os.path.join(out, "bitmap%d.bmp" % n), STATE[state])


if __name__ == "__main__":
    main()
