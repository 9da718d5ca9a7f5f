#!/bin/sh
# Times programs from exec to their window on the desktop, by hand (never a
# test): runs them in turn, N rounds, on the X display in DISPLAY (an Xvfb
# is best: `Xvfb :187 -screen 0 1920x1080x24 &`), and prints for each the
# median, least and most milliseconds from exec to the window mapped, to its
# first frame that is not one flat colour, and to its last change before its
# picture stays still for 400 ms (the first screen complete).
#
#   DISPLAY=:187 tools/startup/measure.sh 21 build/app/orbelline sunclock
#
# Each run is ended with SIGTERM. Needs a C compiler and libX11's headers.
set -e
rounds=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/firstpaint" "$here/firstpaint.c" -lX11
for i in $(seq "$rounds"); do
    for program in "$@"; do
        echo "$program $("$work/firstpaint" "$program" 2>/dev/null || true)"
    done
done >"$work/runs"
python3 - "$work/runs" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    program, *values = line.split()
    if len(values) == 3:
        runs.setdefault(program, []).append([float(v) for v in values])
for program, values in runs.items():
    columns = list(zip(*values))
    print(program, f"{len(values)} runs:", " | ".join(
        f"{name} {statistics.median(c):.0f} ({min(c):.0f}-{max(c):.0f})"
        for name, c in zip(["mapped", "first frame", "complete"], columns)))
PY
