#!/usr/bin/env python3
"""Draws the program's icon at every size the desktop's icon theme looks for.

Writes resources/icons/orbelline_<size>.png for the hicolor theme
(share/icons/hicolor/<size>x<size>/apps/orbelline.png once installed). Each
size is drawn afresh from the same shapes as resources/orbelline.png rather
than scaled, so the small ones stay crisp.

Run from the repository root:  python3 tools/icons/draw_app_icons.py
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bitmaps"))
import draw_bitmaps  # noqa: E402

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def main():
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    out_dir = os.path.join(root, "resources", "icons")
    os.makedirs(out_dir, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(out_dir, "orbelline_%d.png" % size), "wb") as f:
            f.write(draw_bitmaps.png_bytes(draw_bitmaps.program_icon(size)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
