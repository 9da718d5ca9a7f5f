#!/usr/bin/env python3
"""Renders the README's pictures of every screen with the headless mode.

Everything is fixed (the instant, the cities, the forecasts), so running it
again gives the same pictures. Needs a build (make build). Writes
docs/screens/*.png at VGA.

Run from the repository root:  python3 tools/screens/make_screens.py [NAME...]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import zlib

CITIES = [234, 292, 414, 20, 88, 150, 300, 320]  # London (home) first
AT = "2026-12-08T12:00:00Z"
SCREEN = "480x640"
ICONS = ["sunny", "partly_cloudy", "cloudy", "rain", "showers", "snow", "mostly_sunny", "thunderstorm"]

# (file name, extra options)
SHOTS = [
    ("map", ["--view", "map"]),
    ("map-bar", ["--view", "map", "--tap", "250,120"]),
    ("planner", ["--view", "planner"]),
    ("planner-change-day", ["--view", "planner", "--at", "2026-03-29T09:00:00Z"]),
    ("weather", ["--view", "weather"]),
    ("dialog-cities", ["--view", "map", "--dialog", "cities"]),
    ("dialog-home", ["--view", "map", "--dialog", "home"]),
    ("dialog-info", ["--view", "map", "--dialog", "info", "--select", "1"]),
    ("dialog-nearby", ["--view", "map", "--dialog", "nearby"]),
    ("dialog-options", ["--view", "map", "--dialog", "options"]),
    ("dialog-fields", ["--view", "map", "--dialog", "fields"]),
    ("dialog-weather", ["--view", "weather", "--dialog", "weather"]),
    ("dialog-about", ["--view", "map", "--dialog", "about"]),
    # The screen is the window: a landscape one lays the same screens out again.
    ("map-landscape", ["--view", "map", "--screen", "800x480"]),
    ("dialog-cities-landscape", ["--view", "map", "--dialog", "cities", "--screen", "800x480"]),
]


def forecast(city, index):
    days = []
    for d in range(7):
        high = 4 + (index * 3 + d * 2) % 19
        low = high - 5 - (d % 3)
        icon = ICONS[(index + d) % len(ICONS)]
        days.append(
            "      <forecastDay>\n"
            "        <date><day>%d</day><month>12</month><year>2026</year></date>\n"
            "        <high><temperature><ambient>%.1f</ambient><units>0</units></temperature></high>\n"
            "        <low><temperature><ambient>%.1f</ambient><units>0</units></temperature></low>\n"
            "        <dayPart><display><icon>%s</icon><conditions>%s</conditions></display></dayPart>\n"
            "      </forecastDay>\n" % (8 + d, high + 0.4, low + 0.2, icon, icon.replace("_", " ").capitalize()))
    return ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<obWeather>\n  <forecast>\n"
            "    <issued>2026-12-08T06:00:00Z</issued>\n    <forecastDays>\n%s    </forecastDays>\n"
            "  </forecast>\n</obWeather>\n" % "".join(days))


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    app = os.path.join(root, "build", "app")
    if not os.path.exists(os.path.join(app, "orbelline")):
        sys.exit("make_screens: build first (make build)")
    out = os.path.join(root, "docs", "screens")
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        folder = os.path.join(work, "app")
        shutil.copytree(app, folder, ignore=shutil.ignore_patterns("settings.csv", "data", "*.log*"))
        with open(os.path.join(folder, "settings.csv"), "w") as f:
            f.write("cities,%s\r\n" % ";".join(str(c) for c in CITIES))
        data = os.path.join(folder, "weather", "data")
        os.makedirs(data, exist_ok=True)
        for i, city in enumerate(CITIES[:-2]):  # the last two have no forecast yet
            with open(os.path.join(data, "f_%d.xml" % city), "w") as f:
                f.write(forecast(city, i))
        env = dict(os.environ, LC_ALL="C.UTF-8", TZ="UTC")
        only = sys.argv[1:]  # names to make again, else all
        for name, options in SHOTS:
            if only and name not in only:
                continue
            target = os.path.join(out, name + ".png")
            args = [os.path.join(folder, "orbelline"), "--headless", "--screenshot", target]
            if "--screen" not in options:
                args += ["--screen", SCREEN]
            if "--at" not in options:
                args += ["--at", AT]
            result = subprocess.run(args + options, env=env, capture_output=True, text=True)
            if result.returncode != 0:
                print("skipped %s: %s" % (name, (result.stderr or result.stdout).strip()))
                continue
            recompress(target)
            print("%-22s %6d bytes" % (name, os.path.getsize(target)))
    return 0


def recompress(path):
    """Deflates the picture's data again at the strongest level: the
    screenshot mode writes quickly, these are kept."""
    with open(path, "rb") as f:
        data = f.read()
    pos, chunks, idat = 8, [], b""
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IDAT":
            idat += body
        else:
            chunks.append((kind, body))
    packed = zlib.compress(zlib.decompress(idat), 9)

    def chunk(kind, body):
        return len(body).to_bytes(4, "big") + kind + body + zlib.crc32(kind + body).to_bytes(4, "big")

    with open(path, "wb") as f:
        f.write(data[:8])
        for kind, body in chunks:
            if kind == b"IEND":
                f.write(chunk(b"IDAT", packed))
            f.write(chunk(kind, body))


if __name__ == "__main__":
    sys.exit(main())
