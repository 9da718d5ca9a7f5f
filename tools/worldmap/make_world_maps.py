#!/usr/bin/env python3
"""Makes the program's two world pictures from NASA's Visible Earth imagery.

The day picture (resource IMAGE kWorldDayImage) and the night picture
(kWorldNightImage) are 640 x 320 baseline JPEGs in an equirectangular
projection: longitude -180 at the left edge, latitude +90 at the top. The map draws the day picture and
lays the night picture over the dark side of the terminator.

Sources: Debian's xplanet-images package, which ships NASA's "Blue Marble"
day picture (earth.jpg) and the "Earth's City Lights" picture (night.jpg),
both 2048 x 1024 in the same projection. NASA asks for a credit, which the
About box and the README give.

The city-lights picture alone is almost black and would hide the coasts on a
small screen, so the night picture is the day picture darkened and tinted
blue, with the lights laid over it. Both are scaled down in linear light with
a Lanczos filter and sharpened a little, since the program scales them once
more to the screen.

Needs (Debian):  apt-get install xplanet-images python3-pil python3-numpy
Run from the repository root:  /usr/bin/python3 tools/worldmap/make_world_maps.py
Optional: --preview DIR also writes PNGs of both pictures at 240 and 480
pixels wide, scaled the way the program scales them, to look at.
"""

import argparse
import os
import sys

import numpy as np
from PIL import Image, ImageFilter

sys.path.insert(0, os.path.join(os.path.dirname(__file__), ".."))
from resource_ids import resource_id  # noqa: E402

SOURCE_DIR = "/usr/share/xplanet/images"
WIDTH, HEIGHT = 640, 320
QUALITY = 90

# The night side: the day picture's brightness, dimmed and tinted towards a
# moonlit blue, so land, ocean and ice keep their shapes.
NIGHT_TINT = np.array([0.33, 0.43, 0.80])
NIGHT_LEVEL = 0.12
NIGHT_FLOOR = np.array([0.004, 0.007, 0.022])
# The lights: warm sodium yellow, strengthened so that the scaled-down
# points of light still glow.
LIGHT_COLOUR = np.array([1.0, 0.82, 0.45])
LIGHT_GAIN = 2.6


def to_linear(srgb):
    c = srgb / 255.0
    return np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)


def to_srgb(linear):
    c = np.clip(linear, 0.0, 1.0)
    s = np.where(c <= 0.0031308, c * 12.92, 1.055 * c ** (1 / 2.4) - 0.055)
    return np.clip(np.round(s * 255.0), 0, 255).astype(np.uint8)


def resize_linear(linear, width, height):
    """Lanczos scaling of a linear-light picture, channel by channel."""
    channels = []
    for i in range(linear.shape[2]):
        band = Image.fromarray(linear[:, :, i].astype(np.float32), mode="F")
        channels.append(np.asarray(band.resize((width, height), Image.LANCZOS), dtype=np.float64))
    return np.clip(np.stack(channels, axis=2), 0.0, None)


def luminance(linear):
    return linear @ np.array([0.2126, 0.7152, 0.0722])


def load(name):
    path = os.path.join(SOURCE_DIR, name)
    if not os.path.exists(path):
        sys.exit("%s is missing: apt-get install xplanet-images" % path)
    picture = Image.open(path).convert("RGB")
    if picture.size != (2048, 1024):
        print("note: %s is %d x %d" % (name, picture.size[0], picture.size[1]))
    return to_linear(np.asarray(picture, dtype=np.float64))


def make_day(day_linear):
    day = resize_linear(day_linear, WIDTH, HEIGHT)
    # The Blue Marble's oceans are very dark; lift them a little so the map
    # reads as sea rather than a hole at small sizes.
    lift = np.array([0.004, 0.012, 0.040])
    blue = np.clip((day[:, :, 2] - day[:, :, 0]) * 8.0, 0.0, 1.0)[:, :, None]
    day = day + lift * blue
    return day


def make_night(day_small, lights_linear):
    lum = luminance(day_small)
    # Compress the bright ice so it does not glare on the dark side.
    base = (lum / (lum + 0.25))[:, :, None] * NIGHT_LEVEL * NIGHT_TINT + NIGHT_FLOOR
    lights = resize_linear(lights_linear, WIDTH, HEIGHT)
    glow = np.clip(luminance(lights) * LIGHT_GAIN, 0.0, 1.0)[:, :, None]
    return base * (1.0 - glow) + LIGHT_COLOUR * glow


def finish(linear):
    picture = Image.fromarray(to_srgb(linear), mode="RGB")
    return picture.filter(ImageFilter.UnsharpMask(radius=0.8, percent=40, threshold=1))


def save_jpeg(picture, path):
    # Baseline (not progressive), full colour resolution: the coasts stay sharp.
    picture.save(path, "JPEG", quality=QUALITY, subsampling=0, optimize=True, progressive=False)
    print("%s: %d bytes" % (path, os.path.getsize(path)))


def preview(path, out_dir, stem):
    picture = Image.open(path).convert("RGB")
    for width in (240, 480):
        picture.resize((width, width // 2), Image.BOX if width < 320 else Image.BILINEAR).save(
            os.path.join(out_dir, "%s_%d.png" % (stem, width)))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--preview", metavar="DIR", help="also write scaled previews into DIR")
    args = parser.parse_args()

    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    out_dir = os.path.join(root, "resources", "images")
    os.makedirs(out_dir, exist_ok=True)

    day = make_day(load("earth.jpg"))
    night = make_night(day, load("night.jpg"))
    files = (
        ("world_day.jpg", resource_id("kWorldDayImage"), finish(day)),
        ("world_night.jpg", resource_id("kWorldNightImage"), finish(night)),
    )
    for name, _, picture in files:
        save_jpeg(picture, os.path.join(out_dir, name))
    with open(os.path.join(out_dir, "index.txt"), "w") as f:
        f.write("# Written by tools/worldmap/make_world_maps.py: resource type, id, file.\n")
        for name, ident, _ in files:
            f.write("IMAGE %d %s\n" % (ident, name))
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for name, _, _ in files:
            preview(os.path.join(out_dir, name), args.preview, os.path.splitext(name)[0])
    return 0


if __name__ == "__main__":
    sys.exit(main())
