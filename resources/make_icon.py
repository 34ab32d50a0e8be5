#!/usr/bin/env python3
"""Writes kelto.ico: a rock, a sheet of paper and a pair of scissors in the 16
standard colours, at 32 x 32 and 16 x 16. Run it again after changing the drawing."""
import math
import pathlib
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, LIGHT_GREY, WHITE, RED, BLUE = 0, 8, 7, 15, 9, 12


def colour_at(x, y):
    """The colour at (x, y) in a 32 x 32 drawing, or None where it is transparent."""
    # Rock: a grey boulder, lower left.
    if (x - 10) ** 2 + ((y - 22) * 1.2) ** 2 <= 64:
        edge = (x - 10) ** 2 + ((y - 22) * 1.2) ** 2 > 40
        return DARK_GREY if edge else LIGHT_GREY
    # Paper: a white sheet with a black border, upper left.
    if 3 <= x <= 16 and 2 <= y <= 13:
        border = x in (3, 16) or y in (2, 13)
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


def image(size):
    scale = 32 / size
    pixels = [[colour_at(int((x + 0.5) * scale), int((y + 0.5) * scale)) for x in range(size)]
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


def main():
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    pathlib.Path(__file__).with_name('kelto.ico').write_bytes(out)


if __name__ == '__main__':
    main()
