#!/usr/bin/python3
"""Writes the two 13 x 13 flag bitmaps of the grids, pixel by pixel.

SELECT: black frame, red square, white tick.  NOSELECT: black frame, white square.
Run it from this folder after changing a pattern; the PNGs are kept beside it.
"""
import struct
import zlib

BLACK, RED, WHITE = (0, 0, 0), (255, 0, 0), (255, 255, 255)

# The tick, two pixels thick: a short stroke down to the right, then a long one up.
TICK = """
.............
.............
.............
.........##..
........##...
.......##....
..##..##.....
...####......
....##.......
.............
.............
.............
.............
"""


def flag(inside, tick):
    rows = TICK.split()
    pixels = []
    for y in range(13):
        row = []
        for x in range(13):
            if x in (0, 12) or y in (0, 12):
                row.append(BLACK)
            elif tick and rows[y][x] == "#":
                row.append(WHITE)
            else:
                row.append(inside)
        pixels.append(row)
    return pixels


def png(pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    with open("SELECT.png", "wb") as f:
        f.write(png(flag(RED, True)))
    with open("NOSELECT.png", "wb") as f:
        f.write(png(flag(WHITE, False)))
