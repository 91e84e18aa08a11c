#!/usr/bin/env python3
"""Draws the tickmeter icon: a dial with its needle above three read-out boxes.

Writes, beside this script:
  tickmeter.ico  three images: 32x32 in 2 colours, 32x32 in 16 colours,
                 16x16 in 16 colours (the classic Windows icon set)
  tickmeter.png  48x48 with alpha, for desktop entries

Python standard library only. Run it again after changing the drawing.
"""
import math
import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent

# The standard 16-colour Windows palette, in its usual order.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, RED, WHITE = (0, 0, 0), (0, 0, 128), (192, 192, 192), (255, 0, 0), (255, 255, 255)

DIAL_X, DIAL_Y, DIAL_R = 16.0, 17.0, 12.5
NEEDLE_ANGLE = math.radians(40)  # from straight up, clockwise
BOXES = [(3.0, 9.5), (11.5, 20.5), (22.0, 29.0)]  # left, right on a 32-unit grid
BOX_TOP, BOX_BOTTOM = 21.5, 27.5


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def colour_at(x, y):
    """The picture on a 32 x 32 unit square; None where it is transparent."""
    corner = 4.0
    cx = min(max(x, corner), 32 - corner)
    cy = min(max(y, corner), 32 - corner)
    if math.hypot(x - cx, y - cy) > corner:
        return None
    for left, right in BOXES:
        if left <= x <= right and BOX_TOP <= y <= BOX_BOTTOM:
            inside = left + 1 <= x <= right - 1 and BOX_TOP + 1 <= y <= BOX_BOTTOM - 1
            return WHITE if inside else BLACK
    tip_x = DIAL_X + (DIAL_R - 2.5) * math.sin(NEEDLE_ANGLE)
    tip_y = DIAL_Y - (DIAL_R - 2.5) * math.cos(NEEDLE_ANGLE)
    distance = math.hypot(x - DIAL_X, y - DIAL_Y)
    if y <= DIAL_Y + 0.5 and distance <= DIAL_R:
        if distance <= 2.0:
            return BLACK
        if segment_distance(x, y, DIAL_X, DIAL_Y, tip_x, tip_y) <= 1.0:
            return RED
        if distance >= DIAL_R - 1.2:
            return BLACK
        return WHITE
    return NAVY


def render(size):
    """Rows of colours (or None), top row first, sampled at pixel centres."""
    scale = 32.0 / size
    return [[colour_at((i + 0.5) * scale, (j + 0.5) * scale) for i in range(size)] for j in range(size)]


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda k: sum((a - b) ** 2 for a, b in zip(colour, palette[k])))


def bits_row(values, bits_per_pixel):
    """One bitmap row, packed high bits first and padded to 4 bytes."""
    out, accumulator, filled = bytearray(), 0, 0
    for value in values:
        accumulator = (accumulator << bits_per_pixel) | value
        filled += bits_per_pixel
        if filled == 8:
            out.append(accumulator)
            accumulator, filled = 0, 0
    if filled:
        out.append(accumulator << (8 - filled))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def icon_image(size, palette):
    """A BITMAPINFOHEADER, palette, colour bits and transparency mask."""
    rows = render(size)
    bits_per_pixel = 1 if len(palette) == 2 else 4
    colour_rows = [bits_row([0 if c is None else nearest(c, palette) for c in row], bits_per_pixel)
                   for row in rows]
    mask_rows = [bits_row([1 if c is None else 0 for c in row], 1) for row in rows]
    colour_bits = b"".join(reversed(colour_rows))
    mask_bits = b"".join(reversed(mask_rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits_per_pixel, 0,
                         len(colour_bits) + len(mask_bits), 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + colour_bits + mask_bits


def write_ico(path):
    images = [(32, [BLACK, WHITE]), (32, PALETTE16), (16, PALETTE16)]
    data = [icon_image(size, palette) for size, palette in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (size, palette), image in zip(images, data):
        bits_per_pixel = 1 if len(palette) == 2 else 4
        out += struct.pack("<BBBBHHII", size, size, len(palette), 0, 1, bits_per_pixel, len(image), offset)
        offset += len(image)
    for image in data:
        out += image
    path.write_bytes(bytes(out))


def write_png(path, size, supersample=4):
    """RGBA, each pixel the average of supersample x supersample samples."""
    rows = render(size * supersample)
    raw = bytearray()
    for j in range(size):
        raw.append(0)  # no filter
        for i in range(size):
            samples = [rows[j * supersample + dj][i * supersample + di]
                       for dj in range(supersample) for di in range(supersample)]
            opaque = [c for c in samples if c is not None]
            if not opaque:
                raw += bytes(4)
                continue
            rgb = [round(sum(c[k] for c in opaque) / len(opaque)) for k in range(3)]
            raw += bytes(rgb + [round(255 * len(opaque) / len(samples))])

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    path.write_bytes(png)


if __name__ == "__main__":
    write_ico(HERE / "tickmeter.ico")
    write_png(HERE / "tickmeter.png", 48)
