#!/usr/bin/env python3
"""Writes the program's two pictures: calendar.bmp (the 16 x 16, 8 bits per
pixel picture on the calendar buttons) and quillark.ico (the program icon,
32 x 32 and 16 x 16). Run it again after changing the drawing below; the
files it writes are committed, so the build needs no Python."""
import os
import struct

FRAME, HEADER, CELL, MARK, GRID, RING = range(6)
# Colours (red, green, blue). The frame is the 3-D shadow grey and the grid
# the 3-D face grey, so a button that loads the picture with
# LR_LOADMAP3DCOLORS blends it with the user's colour scheme.
PALETTE = {
    FRAME: (128, 128, 128),
    HEADER: (255, 140, 0),
    CELL: (255, 255, 255),
    MARK: (0, 64, 255),
    GRID: (192, 192, 192),
    RING: (64, 64, 64),
}


def calendar_picture():
    """16 rows of 16 palette indices, top row first."""
    rows = []
    for y in range(16):
        row = []
        for x in range(16):
            if x in (0, 15) or y in (0, 15):
                c = FRAME
            elif y <= 4:
                c = RING if y == 1 and x in (4, 11) else HEADER
            else:
                # Day cells of 3 x 2 pixels separated by one-pixel grid lines.
                on_grid_x = x in (4, 8, 12)
                on_grid_y = y in (7, 10, 13)
                if on_grid_x or on_grid_y:
                    c = GRID
                elif 9 <= x <= 11 and 8 <= y <= 9:
                    c = MARK
                else:
                    c = CELL
            row.append(c)
        rows.append(row)
    return rows


def write_bmp(path, rows):
    width, height = 16, 16
    colours = 256
    palette = b""
    for i in range(colours):
        r, g, b = PALETTE.get(i, (0, 0, 0))
        palette += bytes((b, g, r, 0))
    pixels = b"".join(bytes(row) for row in reversed(rows))  # bottom-up, 16 bytes a row
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, colours, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def icon_image(rows, scale):
    size = 16 * scale
    xor = b""
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b = PALETTE[rows[y // scale][x // scale]]
            xor += bytes((b, g, r, 255))
    mask_row = (size + 31) // 32 * 4
    mask = bytes(mask_row * size)  # all opaque
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return size, info + xor + mask


def write_ico(path, rows):
    images = [icon_image(rows, 2), icon_image(rows, 1)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, blob in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    with open(path, "wb") as f:
        f.write(out + data)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    picture = calendar_picture()
    write_bmp(os.path.join(here, "calendar.bmp"), picture)
    write_ico(os.path.join(here, "quillark.ico"), picture)
