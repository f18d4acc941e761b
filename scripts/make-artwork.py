#!/usr/bin/env python3
"""Draws the program's artwork into res/: the UPLOAD button's face bitmap
(UploadButton.bmp, 111 x 70, 16 colours, light-grey corners) and the program
icon (ProgramIcon.png, 32 x 32; ProgramIcon48/128/256.png, the same pixels
scaled without blurring, for the desktop's icon theme; ProgramIcon.svg, the
same design as squares, for the theme's scalable size).

Everything is drawn here from simple shapes; run it again after a change and
commit the files it writes."""
import os
import struct
import sys
import zlib

# The 16-colour palette (the classic VGA colours).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(16)

# A 5 x 7 pixel font for the letters the button needs.
GLYPHS = {
    'U': ["X...X", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    'P': ["XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."],
    'L': ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    'O': [".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    'A': [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    'D': ["XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."],
}


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        """Fills the inclusive rectangle."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.set(x, y, colour)

    def frame(self, left, top, right, bottom, colour):
        for x in range(left, right + 1):
            self.set(x, top, colour)
            self.set(x, bottom, colour)
        for y in range(top, bottom + 1):
            self.set(left, y, colour)
            self.set(right, y, colour)

    def disc(self, cx, cy, radius, colour):
        for y in range(cy - radius, cy + radius + 1):
            for x in range(cx - radius, cx + radius + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + radius:
                    self.set(x, y, colour)

    def text(self, left, top, word, scale, colour):
        x = left
        for letter in word:
            for row, line in enumerate(GLYPHS[letter]):
                for col, cell in enumerate(line):
                    if cell == 'X':
                        self.rect(x + col * scale, top + row * scale,
                                  x + col * scale + scale - 1, top + row * scale + scale - 1, colour)
            x += 6 * scale


def draw_sheet(c, left, top):
    """A program file: a page with a folded corner and lines of code."""
    c.rect(left, top, left + 19, top + 25, WHITE)
    c.frame(left, top, left + 19, top + 25, BLACK)
    for i in range(6):  # the folded corner
        for j in range(6 - i):
            c.set(left + 19 - j, top + i, SILVER)
    for i in range(6):
        c.set(left + 13 + i, top + i, BLACK)
    c.rect(left + 13, top + 1, left + 13, top + 6, BLACK)
    for n, width in enumerate([10, 13, 8, 12, 6]):
        c.rect(left + 3, top + 9 + n * 3, left + 3 + width, top + 9 + n * 3, NAVY)


def draw_arrow(c, left, top, length, colour, edge):
    """A thick arrow pointing right, its shaft 6 pixels high."""
    mid = top + 7
    c.rect(left, mid - 3, left + length - 9, mid + 2, colour)
    for i in range(8):
        c.rect(left + length - 9 + i, mid - 7 + i, left + length - 9 + i, mid + 6 - i, colour)
    c.frame(left, mid - 3, left, mid + 2, edge)
    for x in range(left, left + length - 8):
        c.set(x, mid - 4, edge)
        c.set(x, mid + 3, edge)
    for i in range(9):
        c.set(left + length - 9 + i, mid - 8 + i, edge)
        c.set(left + length - 9 + i, mid + 7 - i, edge)


def draw_camera(c, left, top, scale=1):
    """A compact camera seen from the front."""
    w, h = 28 * scale, 20 * scale
    c.rect(left + 4 * scale, top, left + 11 * scale, top + 3 * scale, GREY)  # flash housing
    c.frame(left + 4 * scale, top, left + 11 * scale, top + 3 * scale, BLACK)
    c.rect(left + 5 * scale, top + 1 * scale, left + 10 * scale, top + 2 * scale, WHITE)
    c.rect(left, top + 3 * scale, left + w - 1, top + 3 * scale + h - 1, GREY)
    c.frame(left, top + 3 * scale, left + w - 1, top + 3 * scale + h - 1, BLACK)
    c.rect(left + 1, top + 3 * scale + 1, left + w - 2, top + 3 * scale + 2, SILVER)
    cx, cy = left + w // 2, top + 3 * scale + h // 2
    c.disc(cx, cy, 7 * scale, BLACK)
    c.disc(cx, cy, 6 * scale, NAVY)
    c.disc(cx, cy, 3 * scale, TEAL)
    c.set(cx - 2 * scale, cy - 2 * scale, WHITE)
    c.rect(left + w - 6 * scale, top + 5 * scale, left + w - 3 * scale, top + 6 * scale, RED)


def upload_bitmap():
    c = Canvas(111, 70, SILVER)
    draw_sheet(c, 8, 8)
    draw_arrow(c, 33, 12, 38, YELLOW, OLIVE)
    draw_camera(c, 75, 9)
    c.text(20, 45, "UPLOAD", 2, BLACK)
    c.rect(20, 61, 29, 62, BLACK)  # the mnemonic's underline under the U
    return c


def program_icon():
    """The 32 x 32 design: a camera with a green arrow rising from it."""
    c = Canvas(32, 32, None)
    c.rect(5, 8, 12, 11, GREY)  # flash housing
    c.frame(5, 8, 12, 11, BLACK)
    c.rect(6, 9, 11, 10, WHITE)
    c.rect(1, 11, 30, 29, GREY)  # body
    c.frame(1, 11, 30, 29, BLACK)
    c.rect(2, 12, 29, 13, SILVER)
    c.disc(15, 20, 7, BLACK)
    c.disc(15, 20, 6, NAVY)
    c.disc(15, 20, 3, TEAL)
    c.set(13, 18, WHITE)
    c.rect(25, 14, 28, 15, RED)
    # the arrow, above the body's right half
    for i in range(6):
        c.rect(24 - i, 1 + i, 24 + i, 1 + i, GREEN)
    c.rect(22, 7, 26, 10, GREEN)
    c.frame(22, 7, 26, 10, GREEN)
    return c


def scaled(canvas, size):
    """Nearest-neighbour scaling, so the pixel art stays crisp."""
    c = Canvas(size, size, None)
    for y in range(size):
        for x in range(size):
            c.pixels[y][x] = canvas.pixels[y * canvas.height // size][x * canvas.width // size]
    return c


def write_bmp16(canvas, path):
    """A bottom-up 4-bit BMP with the 16-colour palette."""
    row_bytes = ((canvas.width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(canvas.width):
            v = canvas.pixels[y][x]
            row[x // 2] |= v << 4 if x % 2 == 0 else v
        pixels += row
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 4, 0, len(pixels), 2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


def write_png(canvas, path):
    """An RGBA PNG; cells holding None are transparent."""
    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)
        for v in row:
            raw += bytes(PALETTE[v]) + b"\xff" if v is not None else b"\0\0\0\0"

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                + chunk(b"IEND", b""))


def write_svg(canvas, path):
    """The pixels as squares, one rectangle per run of a colour in a row."""
    rects = []
    for y, row in enumerate(canvas.pixels):
        x = 0
        while x < canvas.width:
            v, start = row[x], x
            while x < canvas.width and row[x] == v:
                x += 1
            if v is not None:
                rects.append('<rect x="%d" y="%d" width="%d" height="1" fill="#%02x%02x%02x"/>'
                             % ((start, y, x - start) + PALETTE[v]))
    with open(path, "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
                'shape-rendering="crispEdges">\n' % (canvas.width, canvas.height, canvas.width, canvas.height))
        f.write("\n".join(rects) + "\n</svg>\n")


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
    if len(sys.argv) > 1:
        res = sys.argv[1]
    write_bmp16(upload_bitmap(), os.path.join(res, "UploadButton.bmp"))
    icon = program_icon()
    write_png(icon, os.path.join(res, "ProgramIcon.png"))
    for size in (48, 128, 256):
        write_png(scaled(icon, size), os.path.join(res, "ProgramIcon%d.png" % size))
    write_svg(icon, os.path.join(res, "ProgramIcon.svg"))


if __name__ == "__main__":
    main()
