#!/usr/bin/env python3
"""Compares every city's clock as the program shows it with Python's zoneinfo.

Runs the real binary (orbelline --clock --format tsv) for every city at many
instants from 1995 to 2037, and at one minute either side of every clock
change of 2020-2030 in the zones the cities keep, and checks the local date
and time, the UTC offset, the summer flag and the offset text from home.
Both read the same tz database (TZDIR or /usr/share/zoneinfo).

Usage: tools/zonecheck/compare_zoneinfo.py [build/app/orbelline] [--quick]
"""
import subprocess
import sys
from datetime import datetime, timedelta, timezone
from pathlib import Path
from zoneinfo import ZoneInfo

ROOT = Path(__file__).resolve().parents[2]
UTC = timezone.utc
DAY = timedelta(days=1)
SHORTEST_WINTER = timedelta(days=60)


def city_zones():
    rows = (ROOT / 'tools' / 'gazetteer' / 'report.tsv').read_text(encoding='utf8').splitlines()
    header = rows[0].split('\t')
    zone_col = header.index('zone')
    return {int(r.split('\t')[0]): r.split('\t')[zone_col].split(' ')[0] for r in rows[1:]}


def reading(zone, t):
    local = t.astimezone(zone)
    return local.utcoffset(), local.dst()


def change_before(zone, t, limit=timedelta(days=400)):
    """The latest instant <= t at which offset or dst changed (to the second), or None."""
    now = reading(zone, t)
    lo = t
    step = timedelta(hours=6)
    while t - lo < limit:
        lo -= step
        if reading(zone, lo) != now:
            hi = lo + step
            while hi - lo > timedelta(seconds=1):
                mid = lo + (hi - lo) / 2
                if reading(zone, mid) == now:
                    hi = mid
                else:
                    lo = mid
            return hi
    return None


def is_summer(zone, t):
    """The clock is ahead of the zone's winter clock: positive summer time, or
    the summer of a zone whose winter is written as negative summer time (a
    step back shorter than 60 days, Morocco's Ramadan, is no winter)."""
    offset, dst = reading(zone, t)
    if dst > timedelta(0):
        return True
    if dst < timedelta(0) or zone.key not in NEGATIVE:
        return False
    began = change_before(zone, t)
    if began is None:
        return False
    before_offset, before_dst = reading(zone, began - timedelta(seconds=1))
    if not (before_dst < timedelta(0) and before_offset < offset):
        return False
    winter_began = change_before(zone, began - timedelta(seconds=1))
    if winter_began is not None and began - winter_began < SHORTEST_WINTER:
        return False
    # ... and the clock goes back within a year (Namibia kept +2 for good in 2017).
    return any(reading(zone, t + timedelta(days=d))[0] < offset for d in range(1, 367))


# Zones that write some winter or step back as negative summer time.
NEGATIVE = set()


def find_negative(zones):
    for name, zone in zones.items():
        t = datetime(1994, 1, 1, tzinfo=UTC)
        while t < datetime(2038, 1, 1, tzinfo=UTC):
            if reading(zone, t)[1] < timedelta(0):
                NEGATIVE.add(name)
                break
            t += timedelta(days=5)


def offset_text(seconds):
    def trunc(a, b):
        return int(a / b)
    h = abs(trunc(seconds, 3600) - trunc(seconds, 86400) * 24)
    m = abs(trunc(seconds, 60) - trunc(seconds, 3600) * 60)
    if h == 0 and m == 0:
        return 'none'
    text = ''
    if h:
        text += f'{h} hour' + ('s' if h > 1 else '') + ' '
    if m:
        text += f'{m} mins '
    return text + ('ahead' if seconds > 0 else 'behind')


def changes(zone, start, end):
    found = []
    t = start
    prev = reading(zone, t)
    while t < end:
        n = t + DAY
        now = reading(zone, n)
        if now[0] != prev[0]:
            lo, hi = t, n
            while hi - lo > timedelta(seconds=1):
                mid = lo + (hi - lo) / 2
                if reading(zone, mid) == prev:
                    lo = mid
                else:
                    hi = mid
            found.append(hi)
        t, prev = n, now
    return found


def main():
    args = [a for a in sys.argv[1:] if not a.startswith('--')]
    quick = '--quick' in sys.argv
    binary = args[0] if args else str(ROOT / 'build' / 'app' / 'orbelline')
    zones = city_zones()
    ids = sorted(zones)
    tz = {name: ZoneInfo(name) for name in set(zones.values())}
    homes = [234, 292, 414, 198, 59, 27]
    find_negative(tz)
    print('zones with negative summer time:', ', '.join(sorted(NEGATIVE)))

    instants = []
    t = datetime(1995, 1, 1, 0, 17, tzinfo=UTC)
    step = timedelta(days=29 if quick else 7, hours=5, minutes=13)
    while t < datetime(2037, 12, 31, tzinfo=UTC):
        instants.append(t)
        t += step
    change_instants = set()
    for name, zone in tz.items():
        for c in changes(zone, datetime(2020, 1, 1, tzinfo=UTC), datetime(2031, 1, 1, tzinfo=UTC)):
            change_instants.update({c - timedelta(minutes=1), c + timedelta(minutes=1)})
    instants += sorted(change_instants)
    if quick:
        instants = instants[::7]

    checked = mismatches = 0
    by_city = {}
    shown = 0
    for n, t in enumerate(instants):
        home = homes[n % len(homes)]
        order = [home] + [i for i in ids if i != home]
        at = t.strftime('%Y-%m-%dT%H:%M:%SZ')
        out = subprocess.run([binary, '--clock', '--at', at, '--cities', ';'.join(map(str, order)),
                              '--format', 'tsv'], capture_output=True, text=True, check=True).stdout
        lines = out.splitlines()
        header = lines[0].split('\t')
        col = {name: header.index(name) for name in ('id', 'date', 'time', 'summer', 'utc_offset', 'offset')}
        home_offset = t.astimezone(tz[zones[home]]).utcoffset()
        for line in lines[1:]:
            cells = line.split('\t')
            city = int(cells[col['id']])
            zone = tz[zones[city]]
            local = t.astimezone(zone)
            expected = {
                'date': local.strftime('%Y-%m-%d'),
                'time': local.strftime('%H:%M:%S'),
                'utc_offset': str(int(local.utcoffset().total_seconds() // 60)),
                'summer': 'Yes' if is_summer(zone, t) else 'No',
                'offset': offset_text(int((local.utcoffset() - home_offset).total_seconds())),
            }
            checked += 1
            wrong = {k: (cells[col[k]], v) for k, v in expected.items() if cells[col[k]] != v}
            if wrong:
                mismatches += 1
                key = (city, zones[city], tuple(sorted(wrong)))
                by_city[key] = by_city.get(key, 0) + 1
                if shown < 40:
                    shown += 1
                    print(f'{at} home {home} city {city} {zones[city]}: ' +
                          ', '.join(f'{k} ours {a!r} zoneinfo {b!r}' for k, (a, b) in wrong.items()))
    for (city, zone, fields), count in sorted(by_city.items()):
        print(f'  city {city} {zone}: {", ".join(fields)} differ at {count} instants')
    print(f'{len(instants)} instants ({len(change_instants)} at a minute either side of a change of '
          f'2020-2030), {len(ids)} cities, {checked} city clocks compared, {mismatches} differ')
    sys.exit(1 if mismatches else 0)


if __name__ == '__main__':
    main()
