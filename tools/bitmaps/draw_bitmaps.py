#!/usr/bin/env python3
"""Draws the program's small bitmaps and its icon.

Writes 24-bit BMP files to resources/bitmaps/ with their resource ids in
resources/bitmaps/index.txt (the build compiles the files listed there into
the program; the ids are read by name from the C++ headers,
tools/resource_ids.py), and the program icon as PNG to resources/orbelline.png. Magenta (255, 0, 255) marks transparent pixels, so
pictures that are drawn transparently use hard edges: a blended edge would
leave a pink fringe.

Run from the repository root:  python3 tools/bitmaps/draw_bitmaps.py
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from resource_ids import resource_id  # noqa: E402

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


# --- the nearest city bar's buttons -------------------------------------------
#
# Round buttons that sit on the bar under the map. Shapes are sampled 4 x 4
# times per pixel; pixels no shape touches stay magenta (transparent), and
# partly covered edge pixels are blended with the bar's pale tip colour, the
# only background these buttons are drawn on, so the edges are smooth
# without a pink fringe.

BAR = (255, 255, 225)
GLYPH = (255, 255, 255)
BUTTON_COLOURS = {  # face, rim
    "info": ((40, 112, 208), (22, 70, 150)),
    "add": ((50, 160, 72), (28, 108, 44)),
    "nearby": ((232, 138, 28), (168, 92, 12)),
    "close": ((204, 62, 52), (142, 36, 30)),
}
ARROW_FACE = (52, 84, 150)
DISABLED_FACE = (196, 196, 190)
DISABLED_RIM = (160, 160, 156)
DISABLED_ARROW = (176, 176, 170)


def shade(colour, factor):
    return tuple(max(0, min(255, int(round(c * factor)))) for c in colour)


def in_disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def in_box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def in_polygon(points):
    return lambda x, y: inside(points, x, y)


def in_segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def test(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= width * width / 4

    return test


def render(pic, ox, width, height, layers, samples=4):
    """Draws shape layers (test, colour), last on top, into pic at x offset ox."""
    n = samples * samples
    for py in range(height):
        for px in range(width):
            total = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    x, y = px + (sx + 0.5) / samples, py + (sy + 0.5) / samples
                    colour = BAR
                    for test, c in reversed(layers):
                        if test(x, y):
                            colour = c
                            hits += 1
                            break
                    total = [t + c for t, c in zip(total, colour)]
            if hits:
                pic.set(ox + px, py, tuple(int(round(t / n)) for t in total))


def glyph_layers(kind, s, ox, oy):
    """The white sign on a round button of size s, moved by (ox, oy)."""
    u = lambda v: v * s
    if kind == "info":
        return [(in_disc(u(0.5) + ox, u(0.29) + oy, u(0.085)), GLYPH),
                (in_box(u(3 / 7) + ox, u(0.41) + oy, u(4 / 7) + ox, u(0.77) + oy), GLYPH)]
    if kind == "add":
        return [(in_box(u(3 / 14) + ox, u(3 / 7) + oy, u(11 / 14) + ox, u(4 / 7) + oy), GLYPH),
                (in_box(u(3 / 7) + ox, u(3 / 14) + oy, u(4 / 7) + ox, u(11 / 14) + oy), GLYPH)]
    if kind == "nearby":
        return [(in_ring(u(0.5) + ox, u(0.5) + oy, u(0.19), u(0.29)), GLYPH),
                (in_disc(u(0.5) + ox, u(0.5) + oy, u(0.085)), GLYPH)]
    # close
    return [(in_segment(u(0.33) + ox, u(0.33) + oy, u(0.67) + ox, u(0.67) + oy, u(0.15)), GLYPH),
            (in_segment(u(0.67) + ox, u(0.33) + oy, u(0.33) + ox, u(0.67) + oy, u(0.15)), GLYPH)]


def round_button(size, kind):
    """Four frames: normal, pressed, focused, disabled."""
    pic = Picture(4 * size, size)
    face, rim = BUTTON_COLOURS[kind]
    c = size / 2
    shift = max(1, size // 14) * 0.5
    for frame in range(4):
        f, r, o = face, rim, 0.0
        if frame == 1:  # pressed: darker, and the sign sinks a little
            f, r, o = shade(face, 0.78), shade(rim, 0.78), shift
        elif frame == 3:
            f, r = DISABLED_FACE, DISABLED_RIM
        layers = []
        if frame == 2:  # focused: a thin blue ring around the button
            layers.append((in_ring(c, c, size * 0.445, size * 0.5), FOCUS))
        layers += [(in_disc(c, c, size * 0.42), r), (in_disc(c, c, size * 0.35), f)]
        # A lighter upper half gives the face a little depth.
        layers.append((lambda x, y, f=f: in_disc(c, c, size * 0.35)(x, y) and y < c - size * 0.02,
                       shade(f, 1.12) if frame != 3 else f))
        layers += glyph_layers(kind, size, o, o)
        render(pic, frame * size, size, size, layers)
    return pic


def arrow_button(width, pointing):
    """Four frames of width x width/2: a triangle up (-1, nearer) or down (+1, further)."""
    height = width // 2
    pic = Picture(4 * width, height)
    for frame in range(4):
        colour = {0: ARROW_FACE, 1: shade(ARROW_FACE, 0.7), 2: FOCUS, 3: DISABLED_ARROW}[frame]
        o = max(1, width // 14) * 0.5 if frame == 1 else 0.0
        top, bottom = height * 0.16 + o, height * 0.86 + o
        left, right, mid = width * 0.2 + o, width * 0.8 + o, width * 0.5 + o
        if pointing < 0:
            points = [(left, bottom), (right, bottom), (mid, top)]
        else:
            points = [(left, top), (right, top), (mid, bottom)]
        render(pic, frame * width, width, height, [(in_polygon(points), colour)])
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


# By the names of their resource ids.
BITMAPS = [
    ("kRowPicturesSmall", "row_pictures_16", lambda: row_pictures(16)),
    ("kRowPicturesLarge", "row_pictures_32", lambda: row_pictures(32)),
    ("kPreviousInfoSmall", "previous_info_14", lambda: arrow_buttons(14, -1)),
    ("kNextInfoSmall", "next_info_14", lambda: arrow_buttons(14, +1)),
    ("kPreviousInfoLarge", "previous_info_28", lambda: arrow_buttons(28, -1)),
    ("kNextInfoLarge", "next_info_28", lambda: arrow_buttons(28, +1)),
    ("kBusyAnimation", "busy_8", busy_frames),
    ("kStateBitmapId", "check_states_16", check_states),
    # The navigation bar's icon, drawn for each density rather than scaled.
    ("kProgramIconBitmap", "program_icon_18", lambda: program_icon(18)),
    ("kProgramIconBitmapLarge", "program_icon_36", lambda: program_icon(36)),
    ("kCityInfoSmall", "city_info_14", lambda: round_button(14, "info")),
    ("kAddCitySmall", "add_city_14", lambda: round_button(14, "add")),
    ("kNearbyCitiesSmall", "nearby_cities_14", lambda: round_button(14, "nearby")),
    ("kCloseBarSmall", "close_bar_14", lambda: round_button(14, "close")),
    ("kNearerCitySmall", "nearer_city_14", lambda: arrow_button(14, -1)),
    ("kFurtherCitySmall", "further_city_14", lambda: arrow_button(14, +1)),
    ("kCityInfoLarge", "city_info_28", lambda: round_button(28, "info")),
    ("kAddCityLarge", "add_city_28", lambda: round_button(28, "add")),
    ("kNearbyCitiesLarge", "nearby_cities_28", lambda: round_button(28, "nearby")),
    ("kCloseBarLarge", "close_bar_28", lambda: round_button(28, "close")),
    ("kNearerCityLarge", "nearer_city_28", lambda: arrow_button(28, -1)),
    ("kFurtherCityLarge", "further_city_28", lambda: arrow_button(28, +1)),
]


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    out_dir = os.path.join(root, "resources", "bitmaps")
    os.makedirs(out_dir, exist_ok=True)
    index = ["# Written by tools/bitmaps/draw_bitmaps.py: resource type, id, file."]
    for ident, name, draw in BITMAPS:
        with open(os.path.join(out_dir, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(draw()))
        index.append("BITMAP %d %s.bmp" % (resource_id(ident), name))
    with open(os.path.join(out_dir, "index.txt"), "w") as f:
        f.write("\n".join(index) + "\n")
    with open(os.path.join(root, "resources", "orbelline.png"), "wb") as f:
        f.write(png_bytes(program_icon()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
