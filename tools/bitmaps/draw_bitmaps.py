#!/usr/bin/env python3
"""Draws the program's small bitmaps and its icon.

Writes 24-bit BMP files to resources/bitmaps/, the program icon as PNG to
resources/orbelline.png, and resources/BitmapData.cpp, which compiles the BMP
bytes into the program. Magenta (255, 0, 255) marks transparent pixels, so
pictures that are drawn transparently use hard edges: a blended edge would
leave a pink fringe.

Run from the repository root:  python3 tools/bitmaps/draw_bitmaps.py
"""

import math
import os
import struct
import sys
import zlib

MAGENTA = (255, 0, 255)


class Picture:
    def __init__(self, width, height, fill=MAGENTA):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the half-open rectangle [x0, x1) x [y0, y1)."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1):
            self.set(x, y0, colour)
            self.set(x, y1 - 1, colour)
        for y in range(y0, y1):
            self.set(x0, y, colour)
            self.set(x1 - 1, y, colour)

    def disc(self, cx, cy, r, colour, ox=0):
        """A filled circle with its centre at pixel-centre coordinates."""
        for y in range(self.height):
            for x in range(ox, self.width):
                dx = x + 0.5 - cx
                dy = y + 0.5 - cy
                if dx * dx + dy * dy <= r * r:
                    self.set(x, y, colour)

    def polygon(self, points, colour):
        """Fills a polygon, sampling each pixel at its centre."""
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        for y in range(max(0, int(min(ys))), min(self.height, int(math.ceil(max(ys))) + 1)):
            for x in range(max(0, int(min(xs))), min(self.width, int(math.ceil(max(xs))) + 1)):
                if inside(points, x + 0.5, y + 0.5):
                    self.set(x, y, colour)

    def line(self, x0, y0, x1, y1, colour, width=1.0):
        """A thick line as a filled rectangle around the segment."""
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)


def inside(points, x, y):
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def bmp_bytes(pic):
    """A bottom-up 24-bit BMP with rows padded to four bytes."""
    row_size = (pic.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(pic.height - 1, -1, -1):
        row = bytearray()
        for r, g, b in pic.pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return bytes(header + info + data)


def png_bytes(pic, transparent=MAGENTA):
    """An RGBA PNG; the transparent colour becomes alpha 0."""
    raw = bytearray()
    for row in pic.pixels:
        raw.append(0)
        for c in row:
            raw += bytes(c) + (b"\0" if c == transparent else b"\xff")

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", pic.width, pic.height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


# --- the pictures -----------------------------------------------------------

SUN = (255, 200, 0)
SUN_EDGE = (224, 128, 0)
MOON = (240, 232, 160)
NIGHT = (24, 40, 104)


def draw_sun(pic, ox, size):
    c = ox + size / 2
    r = size * 0.22
    for k in range(8):
        a = k * math.pi / 4
        pic.line(c + math.cos(a) * r * 1.35, size / 2 + math.sin(a) * r * 1.35,
                 c + math.cos(a) * size * 0.46, size / 2 + math.sin(a) * size * 0.46, SUN_EDGE, max(1.0, size / 14))
    pic.disc(c, size / 2, r + max(1, size / 16), SUN_EDGE)
    pic.disc(c, size / 2, r, SUN)


def draw_moon(pic, ox, size):
    # A dark round sky with a crescent, so the night picture reads at 16 pixels.
    c = ox + size / 2
    pic.disc(c, size / 2, size * 0.47, NIGHT)
    moon = Picture(size, size, NIGHT)
    moon.disc(size * 0.46, size * 0.5, size * 0.30, MOON)
    moon.disc(size * 0.60, size * 0.40, size * 0.26, NIGHT)
    for y in range(size):
        for x in range(size):
            if moon.get(x, y) == MOON:
                pic.set(ox + x, y, MOON)
    # Two stars.
    for sx, sy in ((0.72, 0.70), (0.78, 0.30)):
        pic.set(ox + int(size * sx), int(size * sy), (255, 255, 255))
        if size >= 32:
            pic.set(ox + int(size * sx) + 1, int(size * sy), (255, 255, 255))
            pic.set(ox + int(size * sx), int(size * sy) + 1, (255, 255, 255))
            pic.set(ox + int(size * sx) + 1, int(size * sy) + 1, (255, 255, 255))


def row_pictures(size):
    """Day (0) and night (1) side by side."""
    pic = Picture(2 * size, size)
    draw_sun(pic, 0, size)
    draw_moon(pic, size, size)
    return pic


FACE = (212, 208, 200)
LIGHT = (255, 255, 255)
SHADOW = (128, 128, 128)
DARK = (64, 64, 64)
ARROW = (0, 0, 0)
FOCUS = (0, 84, 227)
GREY_ARROW = (160, 160, 160)


def arrow_buttons(size, pointing):
    """Four frames: normal, pressed, focused, disabled. `pointing` -1 left, +1 right."""
    pic = Picture(4 * size, size)
    for frame in range(4):
        ox = frame * size
        pressed = frame == 1
        pic.rect(ox, 0, ox + size, size, FACE)
        top, bottom = (SHADOW, LIGHT) if pressed else (LIGHT, SHADOW)
        for i in range(size):
            pic.set(ox + i, 0, top)
            pic.set(ox, i, top)
            pic.set(ox + i, size - 1, bottom)
            pic.set(ox + size - 1, i, bottom)
        if frame == 2:
            pic.frame(ox + 1, 1, ox + size - 1, size - 1, FOCUS)
        shift = 1 if pressed else 0
        m = size / 2 + shift
        h = size * 0.30
        w = size * 0.26
        colour = GREY_ARROW if frame == 3 else ARROW
        if pointing < 0:
            pts = [(ox + m - w, m), (ox + m + w * 0.9, m - h), (ox + m + w * 0.9, m + h)]
        else:
            pts = [(ox + m + w, m), (ox + m - w * 0.9, m - h), (ox + m - w * 0.9, m + h)]
        pic.polygon(pts, colour)
    return pic


def busy_frames():
    """Eight 8 x 8 frames of a turning ring of dots: the busy indicator."""
    pic = Picture(64, 8)
    spots = [(4 + 2.6 * math.cos(k * math.pi / 4 - math.pi / 2), 4 + 2.6 * math.sin(k * math.pi / 4 - math.pi / 2))
             for k in range(8)]
    for frame in range(8):
        for k, (sx, sy) in enumerate(spots):
            age = (frame - k) % 8
            level = [0, 64, 112, 150, 180, 200, 214, 224][age]
            x, y = int(sx), int(sy)
            pic.rect(frame * 8 + x, y, frame * 8 + x + 1 + (1 if age == 0 else 0), y + 1 + (1 if age == 0 else 0),
                     (level, level, min(255, level + 40)))
    return pic


def check_states():
    """Check list state pictures: 0 unchecked, 1 checked, 2 checked and greyed."""
    pic = Picture(48, 16)
    for index in range(3):
        ox = index * 16
        pic.rect(ox + 2, 2, ox + 15, 15, (240, 240, 240) if index == 2 else (255, 255, 255))
        pic.frame(ox + 2, 2, ox + 15, 15, (96, 96, 96))
        if index:
            tick = (128, 128, 128) if index == 2 else (0, 0, 0)
            pic.line(ox + 4.5, 8.5, ox + 7.5, 11.5, tick, 2.0)
            pic.line(ox + 7.0, 11.5, ox + 12.5, 4.5, tick, 2.0)
    return pic


def program_icon(size=64):
    """A globe with a clock face: the program's icon."""
    pic = Picture(size, size)
    c = size / 2
    pic.disc(c, c, size * 0.48, (16, 64, 128))
    pic.disc(c, c, size * 0.45, (40, 120, 200))
    # Land masses, roughly.
    for (x, y, r) in ((0.33, 0.36, 0.13), (0.40, 0.62, 0.11), (0.66, 0.40, 0.10), (0.70, 0.66, 0.08)):
        pic.disc(size * x, size * y, size * r, (64, 160, 72))
    # Meridian and equator.
    ring = Picture(size, size)
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - c, y + 0.5 - c
            if dx * dx + dy * dy <= (size * 0.45) ** 2 and (abs(dy) < 0.6 or abs(dx) < 0.6):
                pic.set(x, y, (200, 230, 255))
    del ring
    # The clock hands, at least two pixels wide so they read on the small icons.
    hand = max(2.0, size / 16)
    pic.line(c, c, c, c - size * 0.32, (255, 255, 255), hand)
    pic.line(c, c, c + size * 0.22, c + size * 0.08, (255, 255, 255), hand)
    pic.disc(c, c, size / 14, (255, 200, 0))
    return pic


BITMAPS = [
    (110, "row_pictures_16", lambda: row_pictures(16)),
    (1030, "row_pictures_32", lambda: row_pictures(32)),
    (1003, "previous_info_14", lambda: arrow_buttons(14, -1)),
    (1004, "next_info_14", lambda: arrow_buttons(14, +1)),
    (1028, "previous_info_28", lambda: arrow_buttons(28, -1)),
    (1029, "next_info_28", lambda: arrow_buttons(28, +1)),
    (1027, "busy_8", busy_frames),
    (30001, "check_states_16", check_states),
    # The navigation bar's icon, drawn for each density rather than scaled.
    (30010, "program_icon_18", lambda: program_icon(18)),
    (30011, "program_icon_36", lambda: program_icon(36)),
]


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    out_dir = os.path.join(root, "resources", "bitmaps")
    os.makedirs(out_dir, exist_ok=True)
    lines = [
        "// Generated by tools/bitmaps/draw_bitmaps.py; do not edit.",
        "#include \"resources/BitmapData.h\"",
        "",
        "namespace OBResources {",
        "namespace {",
    ]
    table = []
    for ident, name, draw in BITMAPS:
        data = bmp_bytes(draw())
        with open(os.path.join(out_dir, name + ".bmp"), "wb") as f:
            f.write(data)
        lines.append("const unsigned char k%s[] = {" % "".join(p.capitalize() for p in name.split("_")))
        for i in range(0, len(data), 20):
            lines.append("    " + ", ".join(str(b) for b in data[i:i + 20]) + ",")
        lines.append("};")
        table.append("    {%d, k%s, sizeof(k%s)}," % (ident, "".join(p.capitalize() for p in name.split("_")),
                                                      "".join(p.capitalize() for p in name.split("_"))))
    lines += ["}  // namespace", "", "const BitmapData kBitmaps[] = {"] + table + ["};", "",
              "const std::size_t kBitmapCount = sizeof(kBitmaps) / sizeof(kBitmaps[0]);", "",
              "}  // namespace OBResources", ""]
    with open(os.path.join(root, "resources", "BitmapData.cpp"), "w") as f:
        f.write("\n".join(lines))
    with open(os.path.join(root, "resources", "orbelline.png"), "wb") as f:
        f.write(png_bytes(program_icon()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
