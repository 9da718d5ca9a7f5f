#!/usr/bin/env python3
"""Renders every view and dialog at QVGA and VGA at one fixed instant, and
compares two such sets pixel by pixel: the check that a change to the window
code left what the user sees alone.

Run from the repository root (needs a build):
  python3 tools/screens/compare_screens.py shoot DIR     renders into DIR
  python3 tools/screens/compare_screens.py compare A B   exits 1 on any difference
"""

import os
import shutil
import subprocess
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.dirname(__file__))
import make_screens  # noqa: E402  (the cities, the instant, the forecasts)

SIZES = ["240x320", "480x640"]
# Beyond the README's pictures: a selected row, and taps on the planner.
EXTRA = [
    ("map-select", ["--view", "map", "--select", "2"]),
    ("planner-select", ["--view", "planner", "--select", "3"]),
    ("weather-select", ["--view", "weather", "--select", "1"]),
]


def shoot(out):
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    app = os.path.join(root, "build", "app")
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        folder = os.path.join(work, "app")
        shutil.copytree(app, folder, ignore=shutil.ignore_patterns("settings.csv", "data", "*.log*"))
        with open(os.path.join(folder, "settings.csv"), "w") as f:
            f.write("cities,%s\r\n" % ";".join(str(c) for c in make_screens.CITIES))
        data = os.path.join(folder, "weather", "data")
        os.makedirs(data, exist_ok=True)
        for i, city in enumerate(make_screens.CITIES[:-2]):
            with open(os.path.join(data, "f_%d.xml" % city), "w") as f:
                f.write(make_screens.forecast(city, i))
        env = dict(os.environ, LC_ALL="C.UTF-8", TZ="UTC")
        for size in SIZES:
            for name, options in make_screens.SHOTS + EXTRA:
                target = os.path.join(out, "%s-%s.png" % (name, size))
                args = [os.path.join(folder, "orbelline"), "--headless", "--screenshot", target, "--screen", size]
                if "--at" not in options:
                    args += ["--at", make_screens.AT]
                if size == "240x320":  # the map tap at the same place on the smaller map
                    options = [("125,60" if o == "250,120" else o) for o in options]
                result = subprocess.run(args + options, env=env, capture_output=True, text=True)
                if result.returncode != 0:
                    print("failed %s %s: %s" % (name, size, (result.stderr or result.stdout).strip()))


def pixels(path):
    """The picture's header and inflated data: the same pixels written by
    the same encoder give the same bytes."""
    with open(path, "rb") as f:
        data = f.read()
    pos, header, idat = 8, b"", b""
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
    return header, zlib.decompress(idat)


def compare(a, b):
    names = sorted(set(os.listdir(a)) | set(os.listdir(b)))
    bad = 0
    for name in names:
        pa, pb = os.path.join(a, name), os.path.join(b, name)
        if not (os.path.exists(pa) and os.path.exists(pb)):
            print("missing on one side: %s" % name)
            bad += 1
        elif pixels(pa) != pixels(pb):
            print("differs: %s" % name)
            bad += 1
    print("%d pictures, %d differ" % (len(names), bad))
    return 1 if bad else 0


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "shoot":
        shoot(sys.argv[2])
        sys.exit(0)
    if len(sys.argv) == 4 and sys.argv[1] == "compare":
        sys.exit(compare(sys.argv[2], sys.argv[3]))
    sys.exit(__doc__)
