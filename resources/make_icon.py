#!/usr/bin/env python3
"""Writes kelto.ico, a rock, a sheet of paper and a pair of scissors, and
../simulator/keltochat.ico, KeltoChat's speech bubble, which cannot be taken for Kelto's:
each in the 16 standard colours at 32 x 32, and in full colour at every size Windows
shows an icon at from 100 % to 200 % scale (16, 20, 24, 32, 40, 48, 64 and 256 pixels;
the largest compressed as PNG, as Windows expects it), so that Windows, which takes the
deepest image of the size it needs, never scales one. The full-colour images are
smoothed, but for Kelto's 16 x 16 one, drawn pixel by pixel, since the 32 x 32 drawing
shrunk to it does not read. Run it again after changing a drawing."""
import math
import pathlib
import struct
import zlib

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, LIGHT_GREY, WHITE, RED, BLUE = 0, 8, 7, 15, 9, 12
DARK_CYAN, DARK_BLUE = 6, 4

# Kelto at 16 x 16: the sheet, the scissors' crossed blades and rings, the rock.
KELTO_16 = [
    "................",
    ".KKKKKK..R....R.",
    ".KWWWWK..R....R.",
    ".KWWWWK...R..R..",
    ".KWWWWK...R..R..",
    ".KWWWWK....RR...",
    ".KKKKKK....RR...",
    "..........R..R..",
    "...GGGG...R..R..",
    "..GggggG.BBB.BBB",
    ".GggggggGB.B.B.B",
    ".GggggggGBBB.BBB",
    ".GggggggG.......",
    "..GggggG........",
    "...GGGG.........",
    "................",
]
ART_COLOURS = {'.': None, 'K': BLACK, 'W': WHITE, 'g': LIGHT_GREY, 'G': DARK_GREY, 'R': RED,
               'B': BLUE}


def colour_at(x, y):
    """The colour at (x, y) in a 32 x 32 drawing, or None where it is transparent; x and
    y may have fractions, for the smoothed images."""
    # Rock: a grey boulder, lower left.
    if (x - 10) ** 2 + ((y - 22) * 1.2) ** 2 <= 64:
        edge = (x - 10) ** 2 + ((y - 22) * 1.2) ** 2 > 40
        return DARK_GREY if edge else LIGHT_GREY
    # Paper: a white sheet with a black border, upper left. (Pixel x covers x to x + 1.)
    if 3 <= x < 17 and 2 <= y < 14:
        border = x < 4 or x >= 16 or y < 3 or y >= 13
        return BLACK if border else WHITE
    # Scissors: two red blades crossing, two blue rings, right.
    for (x0, y0, x1, y1) in ((19, 3, 29, 20), (29, 3, 19, 20)):
        t = max(0.0, min(1.0, ((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) /
                         ((x1 - x0) ** 2 + (y1 - y0) ** 2)))
        if math.hypot(x - (x0 + t * (x1 - x0)), y - (y0 + t * (y1 - y0))) <= 1.2:
            return RED
    for cx in (20, 28):
        if 2.2 <= math.hypot(x - cx, y - 25) <= 3.6:
            return BLUE
    return None


def chat_colour_at(x, y):
    """KeltoChat's speech bubble: a cyan bubble with a dark border, three lines of white
    text and a tail at its lower left; None where it is transparent."""
    def in_bubble(px, py, inset):
        left, top, right, bottom, radius = 2 + inset, 4 + inset, 30 - inset, 22 - inset, 5 - inset
        cx = min(max(px, left + radius), right - radius)
        cy = min(max(py, top + radius), bottom - radius)
        return left <= px < right and top <= py < bottom and math.hypot(px - cx, py - cy) <= radius
    tail = 6 <= x < 13 and 21 <= y < 29 and x - 6 < 29 - y
    if not (in_bubble(x, y, 0) or tail):
        return None
    if tail and not in_bubble(x, y, 0):
        return DARK_BLUE if x < 7 or x - 6 >= 28 - y else DARK_CYAN
    if not in_bubble(x, y, 1):
        return DARK_BLUE
    for row, (start, end) in enumerate(((7, 25), (7, 22), (7, 17))):
        if 8 + 4 * row <= y < 10 + 4 * row and start <= x < end:
            return WHITE
    return DARK_CYAN


def image(size, colour=colour_at, art=None):
    scale = 32 / size
    if art is not None:
        pixels = [[ART_COLOURS[c] for c in row] for row in art]
    else:
        pixels = [[colour(int((x + 0.5) * scale), int((y + 0.5) * scale)) for x in range(size)]
                  for y in range(size)]
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bottom-up
        nibbles = [c if c is not None else 0 for c in row]
        xor_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2)))
        bits = ''.join('1' if c is None else '0' for c in row)
        bits += '0' * (-len(bits) % 32)  # rows of whole 32-bit words
        and_rows.append(int(bits, 2).to_bytes(len(bits) // 8, 'big'))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


# Full colour: the same drawing, each colour lit a little from the upper left.
FULL = {BLACK: (40, 40, 40), DARK_GREY: (96, 96, 100), LIGHT_GREY: (170, 170, 176),
        WHITE: (250, 250, 246), RED: (214, 40, 40), BLUE: (40, 80, 200),
        DARK_CYAN: (20, 150, 160), DARK_BLUE: (20, 40, 110)}


def full_colour_pixels(size, colour_at=colour_at, samples=4, art=None):
    """Rows of (r, g, b, a), each pixel the mean of samples x samples points, or the art's
    pixels as they are drawn."""
    if art is not None:
        return [[FULL[ART_COLOURS[c]] + (255,) if ART_COLOURS[c] is not None else (0, 0, 0, 0)
                 for c in row] for row in art]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    px = (x + (sx + 0.5) / samples) * 32 / size
                    py = (y + (sy + 0.5) / samples) * 32 / size
                    c = colour_at(px - 0.5, py - 0.5)
                    if c is None:
                        continue
                    light = 1.1 - 0.2 * (px + py) / 64
                    cr, cg, cb = FULL[c]
                    r += min(255, cr * light)
                    g += min(255, cg * light)
                    b += min(255, cb * light)
                    a += 255
            n = samples * samples
            cover = a / 255
            row.append((int(r / cover) if cover else 0, int(g / cover) if cover else 0,
                        int(b / cover) if cover else 0, int(a / n)))
        rows.append(row)
    return rows


def bitmap_image(size, colour=colour_at, art=None):
    """A 32-bit BGRA icon image with an all-clear mask."""
    pixels = full_colour_pixels(size, colour, art=art)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes(v for (r, g, b, a) in row for v in (b, g, r, a))
                   for row in reversed(pixels))
    mask_row = bytes((size + 31) // 32 * 4)
    return header + xor + mask_row * size


def png_image(size, colour=colour_at):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    rows = b''.join(b'\0' + bytes(v for pixel in row for v in pixel)
                    for row in full_colour_pixels(size, colour))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def write_icon(path, images):
    """images: (size, colour count, bits per pixel, data); a size of 256 is written as 0."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits, len(data),
                           offset)
        offset += len(data)
    out += b''.join(data for *_, data in images)
    path.write_bytes(out)


FULL_COLOUR_SIZES = (16, 20, 24, 32, 40, 48, 64)


def images(colour, art_16=None):
    """The 16-colour 32 x 32 image, then the full-colour ones, smallest first."""
    return ([(32, 16, 4, image(32, colour))] +
            [(size, 0, 32, bitmap_image(size, colour, art_16 if size == 16 else None))
             for size in FULL_COLOUR_SIZES] +
            [(256, 0, 32, png_image(256, colour))])


def main():
    here = pathlib.Path(__file__).parent
    write_icon(here / 'kelto.ico', images(colour_at, KELTO_16))
    write_icon(here.parent / 'simulator' / 'keltochat.ico', images(chat_colour_at))


if __name__ == '__main__':
    main()
