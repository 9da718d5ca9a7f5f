#!/usr/bin/env python3
"""Draws the weather icon sets: one PNG per icon name in weather/images_1
(16 px), images_2 (32 px) and images_3 (64 px).

Usage: tools/weather-icons/draw_icons.py [weather-folder]

Each icon is a stack of simple shapes (circles, strokes, polygons) in a unit
square, rendered with 4 x 4 supersampling. Pixels carry coverage as alpha and
their colour already blended over white, so the icons look right both where
alpha is honoured and where the picture is copied onto a white cell as is.
Only the standard library is used (zlib for the PNG stream).
"""
import math
import os
import struct
import sys
import zlib

SIZES = {"images_1": 16, "images_2": 32, "images_3": 64}
SUB = 4  # supersamples per pixel side

SUN = (250, 190, 20)
SUN_EDGE = (230, 140, 0)
CLOUD = (236, 240, 246)
CLOUD_EDGE = (120, 130, 150)
DARK_CLOUD = (150, 158, 172)
DARK_EDGE = (80, 86, 100)
RAIN = (40, 110, 230)
ICE = (60, 190, 230)
SNOW = (90, 140, 200)
FOG = (150, 155, 165)
BOLT = (255, 200, 0)
BOLT_EDGE = (200, 120, 0)
HAIL = (170, 210, 240)
NONE = (170, 170, 170)


# Shapes: functions (x, y) -> bool in the unit square, y downwards.
def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w / 2) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= (r + w / 2) ** 2


def stroke(x0, y0, x1, y1, w):
    """A line with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= (w / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def grow(points, cx, cy, d):
    return [(x + (x - cx) * d, y + (y - cy) * d) for x, y in points]


class Icon:
    def __init__(self, size):
        self.size = size
        self.layers = []  # drawn in order, later on top

    def px(self, n):
        return n / self.size

    def width(self, fraction, minimum_px):
        """A stroke width: a fraction of the icon, never thinner than minimum_px."""
        return max(fraction, self.px(minimum_px))

    def add(self, shape, colour):
        self.layers.append((shape, colour))

    # Composite pieces.
    def sun(self, cx, cy, r, rays=True):
        if rays:
            w = self.width(0.05, 1.0)
            for k in range(8):
                a = k * math.pi / 4
                self.add(stroke(cx + math.cos(a) * r * 1.35, cy + math.sin(a) * r * 1.35,
                                cx + math.cos(a) * r * 1.75, cy + math.sin(a) * r * 1.75, w), SUN_EDGE)
        self.add(circle(cx, cy, r), SUN_EDGE)
        self.add(circle(cx, cy, r - self.width(0.03, 1.0)), SUN)

    def cloud(self, cx, cy, scale, fill=CLOUD, edge=CLOUD_EDGE):
        parts = [(-0.22, 0.04, 0.13), (-0.06, -0.07, 0.19), (0.15, -0.01, 0.15), (0.25, 0.07, 0.1)]
        base = (cx - 0.3 * scale, cy + 0.04 * scale, cx + 0.3 * scale, cy + 0.06 * scale)
        edge_w = self.width(0.035, 1.0)
        shapes_edge = [circle(cx + dx * scale, cy + dy * scale, r * scale + edge_w) for dx, dy, r in parts]
        shapes_edge.append(stroke(base[0], base[1], base[2], base[3], 0.2 * scale + 2 * edge_w))
        self.add(union(*shapes_edge), edge)
        shapes = [circle(cx + dx * scale, cy + dy * scale, r * scale) for dx, dy, r in parts]
        shapes.append(stroke(base[0], base[1], base[2], base[3], 0.2 * scale))
        self.add(union(*shapes), fill)

    def drops(self, xs, y, colour=RAIN, length=0.14):
        w = self.width(0.06, 1.3)
        for i, x in enumerate(xs):
            yy = y + (0.06 if i % 2 else 0.0)
            self.add(stroke(x + 0.04, yy, x - 0.02, yy + length, w), colour)

    def dots(self, xs, y, colour, r=0.035):
        r = max(r, self.px(0.9))
        for i, x in enumerate(xs):
            self.add(circle(x, y + (0.07 if i % 2 else 0.0), r), colour)

    def flakes(self, xs, y, colour=SNOW, r=0.07):
        w = self.width(0.03, 1.0)
        r = max(r, self.px(2.0))
        for i, x in enumerate(xs):
            yy = y + (0.08 if i % 2 else 0.0)
            for k in range(3):
                a = k * math.pi / 3 + math.pi / 2
                self.add(stroke(x - math.cos(a) * r, yy - math.sin(a) * r,
                                x + math.cos(a) * r, yy + math.sin(a) * r, w), colour)

    def bolt(self, cx, cy, s):
        pts = [(0.02, -0.2), (-0.1, 0.04), (0.0, 0.04), (-0.06, 0.22), (0.12, -0.04), (0.02, -0.04), (0.08, -0.2)]
        pts = [(cx + x * s, cy + y * s) for x, y in pts]
        self.add(polygon(grow(pts, cx, cy, self.width(0.12, 1.0) / s)), BOLT_EDGE)
        self.add(polygon(pts), BOLT)

    def fog_bars(self, ys):
        w = self.width(0.06, 1.3)
        for i, y in enumerate(ys):
            shift = 0.06 if i % 2 else 0.0
            self.add(stroke(0.16 + shift, y, 0.84 - 0.06 + shift, y, w), FOG)


def draw(name, size):
    icon = Icon(size)
    upper = (0.5, 0.4, 0.95)  # cloud above precipitation: centre x, y and scale
    if name == "sunny":
        icon.sun(0.5, 0.5, 0.24)
    elif name == "mostly_sunny":
        icon.sun(0.42, 0.42, 0.22)
        icon.cloud(0.64, 0.72, 0.62)
    elif name == "partly_cloudy":
        icon.sun(0.36, 0.36, 0.2)
        icon.cloud(0.56, 0.62, 0.9)
    elif name == "cloudy":
        icon.cloud(0.62, 0.4, 0.7, DARK_CLOUD, DARK_EDGE)
        icon.cloud(0.46, 0.6, 0.95)
    elif name == "fog":
        icon.cloud(0.5, 0.34, 0.8)
        icon.fog_bars([0.62, 0.74, 0.86])
    elif name == "drizzle":
        icon.cloud(*upper)
        icon.dots([0.34, 0.5, 0.66], 0.7, RAIN)
    elif name == "freezing_drizzle":
        icon.cloud(*upper)
        icon.dots([0.3, 0.46], 0.7, ICE)
        icon.flakes([0.68], 0.74, ICE)
    elif name == "light_rain":
        icon.cloud(*upper)
        icon.drops([0.4, 0.6], 0.66)
    elif name == "rain":
        icon.cloud(*upper)
        icon.drops([0.32, 0.5, 0.68], 0.66)
    elif name == "heavy_rain":
        icon.cloud(0.5, 0.38, 0.95, DARK_CLOUD, DARK_EDGE)
        icon.drops([0.24, 0.38, 0.52, 0.66, 0.8], 0.64, RAIN, 0.2)
    elif name == "freezing_rain":
        icon.cloud(*upper)
        icon.drops([0.3, 0.48], 0.66, ICE)
        icon.flakes([0.7], 0.74, ICE)
    elif name == "light_snow":
        icon.cloud(*upper)
        icon.flakes([0.38, 0.62], 0.74)
    elif name == "snow":
        icon.cloud(*upper)
        icon.flakes([0.28, 0.5, 0.72], 0.74)
    elif name == "heavy_snow":
        icon.cloud(0.5, 0.38, 0.95, DARK_CLOUD, DARK_EDGE)
        icon.flakes([0.2, 0.36, 0.52, 0.68, 0.84], 0.72, SNOW, 0.06)
    elif name == "snow_grains":
        icon.cloud(*upper)
        icon.dots([0.26, 0.38, 0.5, 0.62, 0.74], 0.7, SNOW, 0.03)
        icon.dots([0.32, 0.56, 0.68], 0.86, SNOW, 0.03)
    elif name == "showers":
        icon.sun(0.34, 0.3, 0.17)
        icon.cloud(0.56, 0.48, 0.85)
        icon.drops([0.44, 0.62], 0.74)
    elif name == "heavy_showers":
        icon.sun(0.34, 0.3, 0.17)
        icon.cloud(0.56, 0.48, 0.85, DARK_CLOUD, DARK_EDGE)
        icon.drops([0.36, 0.5, 0.64, 0.78], 0.72, RAIN, 0.17)
    elif name == "snow_showers":
        icon.sun(0.34, 0.3, 0.17)
        icon.cloud(0.56, 0.48, 0.85)
        icon.flakes([0.44, 0.68], 0.8)
    elif name == "thunderstorm":
        icon.cloud(0.5, 0.38, 0.95, DARK_CLOUD, DARK_EDGE)
        icon.bolt(0.52, 0.72, 0.9)
    elif name == "thunderstorm_hail":
        icon.cloud(0.5, 0.38, 0.95, DARK_CLOUD, DARK_EDGE)
        icon.bolt(0.44, 0.72, 0.9)
        icon.dots([0.7, 0.8], 0.72, HAIL, 0.05)
        icon.dots([0.22], 0.76, HAIL, 0.05)
    elif name == "no_report":
        icon.add(ring(0.5, 0.5, 0.3, icon.width(0.07, 1.2)), NONE)
        icon.add(stroke(0.36, 0.5, 0.64, 0.5, icon.width(0.08, 1.4)), NONE)
    else:
        raise ValueError(name)
    return render(icon)


def render(icon):
    size = icon.size
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter type: none
        for px in range(size):
            r = g = b = 0.0
            covered = 0
            for sy in range(SUB):
                y = (py + (sy + 0.5) / SUB) / size
                for sx in range(SUB):
                    x = (px + (sx + 0.5) / SUB) / size
                    for shape, colour in reversed(icon.layers):
                        if shape(x, y):
                            r += colour[0]
                            g += colour[1]
                            b += colour[2]
                            covered += 1
                            break
            n = SUB * SUB
            white = n - covered
            row += bytes([round((r + 255 * white) / n), round((g + 255 * white) / n),
                          round((b + 255 * white) / n), round(255 * covered / n)])
        rows.append(bytes(row))
    return size, b"".join(rows)


def png(size, raw):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


# The icon names the downloader writes (weather/README.md), plus no_report.
NAMES = ["sunny", "mostly_sunny", "partly_cloudy", "cloudy", "fog", "drizzle", "freezing_drizzle",
         "light_rain", "rain", "heavy_rain", "freezing_rain", "light_snow", "snow", "heavy_snow",
         "snow_grains", "showers", "heavy_showers", "snow_showers", "thunderstorm", "thunderstorm_hail",
         "no_report"]


def main():
    weather = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "weather")
    for folder, size in SIZES.items():
        os.makedirs(os.path.join(weather, folder), exist_ok=True)
        for name in NAMES:
            path = os.path.join(weather, folder, name + ".png")
            tmp = path + ".tmp"
            with open(tmp, "wb") as out:
                out.write(png(*draw(name, size)))
            os.replace(tmp, path)
    print("drew %d icons in %d sizes" % (len(NAMES), len(SIZES)))


if __name__ == "__main__":
    main()
