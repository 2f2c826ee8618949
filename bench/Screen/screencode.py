#!/usr/bin/env python3
"""Reads the frame codes that bench/Screen/make_day.sh puts in its pictures
back from screen grabs (8-bit gray, rawvideo) and measures grid playback.

  screencode.py locate GRAB W H X0 Y0 X1 Y1      -> layout (JSON) on stdout
  screencode.py read LAYOUT GRAB W H             -> codes of one grab
  screencode.py decode LAYOUT W H OUT [KEEP_DIR] -> codes of every grab on stdin
  screencode.py analyze CODES SHOWINFO EVENTS    -> table

X0 Y0 X1 Y1 bound the 4x4 grid in the grab; windows are numbered row by row.
"""
import json
import math
import re
import sys

COLUMNS = 16
BITS = 13
ROWS = 4
FRAME_MS = 40
RUN_GAP = 0.2
RUN_STEPS = 3
CLICK_MARGIN = 0.05


def pixel(buf, w, x, y):
    return buf[y * w + x]


def locate_picture(buf, w, cell):
    """The picture's rectangle inside a grid cell: its colour bars reach the
    left, right and bottom edges, the white guard column its top."""
    found = {}
    for frac in (0.35, 0.45, 0.55, 0.65, 0.75, 0.85):
        rect = try_picture(buf, w, cell, frac)
        if rect:
            found[tuple(rect)] = found.get(tuple(rect), 0) + 1
    return list(max(found, key=found.get)) if found else None


def try_picture(buf, w, cell, frac):
    """locate_picture() from one row of the cell: the pattern's moving line
    may spoil some."""
    cx0, cy0, cx1, cy1 = cell
    mid = int(cy0 + (cy1 - cy0) * frac)
    left = next((x for x in range(cx0 + 4, cx1) if pixel(buf, w, x, mid) > 50), None)
    right = next((x for x in range(cx1 - 4, cx0, -1) if pixel(buf, w, x, mid) > 50), None)
    if left is None or right is None or right - left < 64:
        return None
    gx = left + max(1, (right - left) // 64)
    top = mid
    while top > cy0 and pixel(buf, w, gx, top) <= 200:
        top -= 1
    white = top + 1
    while top > cy0 - 3 and pixel(buf, w, gx, top - 1) > 200:
        top -= 1
    # The red bar below the band runs down to the picture's bottom: its last
    # row of that grey (the pattern's moving line may cross it on the way).
    bottom = mid
    for x in range(gx, gx + 8, 2):
        ref = pixel(buf, w, x, white + 4)
        for y in range(white + 4, cy1 + 3):
            if abs(pixel(buf, w, x, y) - ref) < 10:
                bottom = max(bottom, y)
    rect = [left, top, right + 1, bottom + 1]
    guard = white - top
    height = rect[3] - rect[1]
    if abs(guard - height / 4) > 4:
        return None
    return rect


def locate(buf, w, h, bounds):
    x0, y0, x1, y1 = bounds
    windows = []
    for r in range(ROWS):
        for c in range(ROWS):
            cell = (x0 + (x1 - x0) * c // ROWS, y0 + (y1 - y0) * r // ROWS,
                    x0 + (x1 - x0) * (c + 1) // ROWS, y0 + (y1 - y0) * (r + 1) // ROWS)
            windows.append(locate_picture(buf, w, cell))
    return windows


def read_row(buf, w, rect, frac):
    """The 16 columns of one code row as bits; None when not clear cut."""
    x0, y0, x1, y1 = rect
    cw = (x1 - x0) / COLUMNS
    y = int(y0 + (y1 - y0) * frac)
    bits = []
    for k in range(COLUMNS):
        x = int(x0 + (k + 0.5) * cw)
        s = 0
        for dy in (-2, 0, 2):
            base = (y + dy) * w
            for dx in (-2, 0, 2):
                s += buf[base + x + dx]
        v = s / 9
        if v >= 170:
            bits.append(1)
        elif v <= 85:
            bits.append(0)
        else:
            return None
    if bits[0] != 1 or bits[15] != 0 or sum(bits[1:15]) % 2:
        return None
    return bits[1:1 + BITS]


def read_window(buf, w, rect):
    """(frame index, channel) shown in the picture at rect; None where unreadable."""
    if rect is None:
        return None, None
    gray = read_row(buf, w, rect, 1 / 12)
    index = None
    if gray is not None:
        b = 0
        index = 0
        for g in gray:
            b ^= g
            index = index * 2 + b
    plain = read_row(buf, w, rect, 5 / 24)
    channel = None
    if plain is not None:
        channel = 0
        for p in plain:
            channel = channel * 2 + p
    return index, channel


def fmt(v):
    return "-" if v is None else str(v)


def write_pgm(path, buf, w, h):
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (w, h))
        f.write(buf)


def cmd_locate(args):
    grab, w, h = args[0], int(args[1]), int(args[2])
    bounds = [int(a) for a in args[3:7]]
    buf = open(grab, "rb").read()
    windows = locate(buf, w, h, bounds)
    json.dump({"width": w, "height": h, "windows": windows}, sys.stdout)
    print()
    bad = [i + 1 for i, r in enumerate(windows) if r is None]
    if bad:
        print("no picture found in windows %s" % bad, file=sys.stderr)
        return 1
    return 0


def cmd_read(args):
    layout = json.load(open(args[0]))
    w = int(args[2])
    buf = open(args[1], "rb").read()
    for i, rect in enumerate(layout["windows"]):
        index, channel = read_window(buf, w, rect)
        print("window %2d rect %s frame %s channel %s" % (i + 1, rect, fmt(index), fmt(channel)))
    return 0


def cmd_decode(args):
    layout = json.load(open(args[0]))
    w, h = int(args[1]), int(args[2])
    keep = args[4] if len(args) > 4 else None
    size = w * h
    buf = bytearray(size)
    view = memoryview(buf)
    src = sys.stdin.buffer
    n = 0
    with open(args[3], "w") as out:
        while True:
            got = 0
            while got < size:
                r = src.readinto(view[got:])
                if not r:
                    break
                got += r
            if got < size:
                break
            codes = [read_window(buf, w, rect) for rect in layout["windows"]]
            out.write("%d %s | %s\n" % (n, " ".join(fmt(c[0]) for c in codes), " ".join(fmt(c[1]) for c in codes)))
            if keep and n % 100 == 0:
                write_pgm("%s/grab_%05d.pgm" % (keep, n), buf, w, h)
            n += 1
    return 0


def percentile(values, p):
    if not values:
        return None
    s = sorted(values)
    return s[min(len(s) - 1, int(math.ceil(p / 100 * len(s))) - 1)]


def load_codes(path):
    frames = []
    for line in open(path):
        left, right = line.split("|")
        parts = left.split()
        idx = [None if v == "-" else int(v) for v in parts[1:]]
        ch = [None if v == "-" else int(v) for v in right.split()]
        frames.append((int(parts[0]), idx, ch))
    return frames


def load_times(path):
    times = {}
    for line in open(path, errors="replace"):
        m = re.search(r"\bn:\s*(\d+)\s+pts:\s*(\d+)", line)
        if m:
            times[int(m.group(1))] = int(m.group(2)) / 1e6
    return times


def load_events(path):
    events = {}
    for line in open(path):
        parts = line.split()
        if len(parts) >= 2:
            events[parts[0]] = float(parts[1])
    return events


def window_phase(samples, t0, t1, backward):
    """Per-window figures over one phase. samples: (time, index or None).
    first: the first picture after the click that differs from the one
    shown at the click (played from the start: a new one; reversed: an
    earlier one). run: the first picture of the steady motion, a step the
    right way followed by RUN_STEPS - 1 more, each within RUN_GAP s; steady
    from there."""
    if backward:
        # The day's first picture ends the motion: no hold there.
        t1 = min([t1] + [t for t, v in samples if t >= t0 and v == 0][:1])
    res_end = t1
    before = [v for t, v in samples if t < t0 and v is not None]
    at_click = before[-1] if before else None
    inside = [(t, v) for t, v in samples if t0 <= t < t1]
    readable = [(t, v) for t, v in inside if v is not None]
    res = {"unreadable": len(inside) - len(readable), "samples": len(inside), "end": res_end}
    if backward:
        first = next(((t, v) for t, v in readable if at_click is not None and v < at_click), None)
    else:
        first = next(((t, v) for t, v in readable if v != at_click), None)
    res["first"] = None if first is None else first[0] - t0
    changes = []
    prev = at_click
    for t, v in readable:
        if prev is not None and v != prev:
            changes.append((t, prev, v))
        prev = v

    def right_way(c):
        return (c[2] < c[1]) == backward

    run = None
    for k in range(len(changes) - RUN_STEPS + 1):
        steps = changes[k:k + RUN_STEPS]
        if first is not None and steps[0][0] >= first[0] and all(right_way(c) for c in steps) \
                and all(b[0] - a[0] <= RUN_GAP for a, b in zip(steps, steps[1:])):
            run = steps[0]
            break
    if run is None:
        res["start"] = None
        return res
    start = run[0]
    res["start"] = start
    res["latency"] = start - t0
    res["skip"] = abs(run[2] - run[1]) - 1
    steady = [(t, v) for t, v in readable if t >= start]
    # Holds: from a new index's first grab to the next new index's.
    longest, held = 0.0, None
    wrong_way = 0
    last_t, last_v = steady[0]
    for t, v in steady[1:]:
        if v != last_v:
            if t - last_t > longest:
                longest, held = t - last_t, last_v
            if (v < last_v) != backward:
                wrong_way += 1
            last_t, last_v = t, v
    if t1 - last_t > longest:
        longest, held = t1 - last_t, last_v
    res["hold"] = longest
    res["held"] = held
    res["wrong_way"] = wrong_way
    # New pictures (changes of the shown index) per whole second of the steady part.
    per_second = []
    k = 0
    shown = [c[0] for c in changes if c[0] >= start]
    while start + k + 1 <= t1:
        per_second.append(sum(1 for t in shown if start + k <= t < start + k + 1))
        k += 1
    res["fps_min"] = min(per_second) if per_second else None
    res["fps_mean"] = sum(per_second) / len(per_second) if per_second else None
    span = steady[-1][0] - steady[0][0]
    res["rate"] = (steady[-1][1] - steady[0][1]) / span if span > 0 else None
    res["first_index"] = run[2]
    res["end_index"] = steady[-1][1]
    return res


def spread(frames, times, wins, t0, t1):
    """Largest minus smallest shown index across wins at each grab, in ms."""
    values = []
    for n, idx, _ in frames:
        t = times.get(n)
        if t is None or not (t0 <= t < t1):
            continue
        shown = [idx[w] for w in wins if idx[w] is not None]
        if len(shown) >= 2:
            values.append((max(shown) - min(shown)) * FRAME_MS)
    return values


def cmd_analyze(args):
    frames = load_codes(args[0])
    times = load_times(args[1])
    ev = load_events(args[2])
    title = args[3] if len(args) > 3 else ""
    if not frames:
        print("no grabs read")
        return 1
    nwin = len(frames[0][1])
    # The channel each window shows (most frequent readable code).
    channels = []
    for w in range(nwin):
        counts = {}
        for _, _, ch in frames:
            if ch[w] is not None:
                counts[ch[w]] = counts.get(ch[w], 0) + 1
        channels.append(max(counts, key=counts.get) if counts else None)
    d1 = [w for w in range(nwin) if channels[w] is not None and channels[w] <= 12]
    hd = [w for w in range(nwin) if channels[w] is not None and channels[w] >= 13]
    grab_times = sorted(times[n] for n, _, _ in frames if n in times)
    gaps = [b - a for a, b in zip(grab_times, grab_times[1:])]
    print("== %s" % title)
    for line in open(args[2]):
        if line.startswith(("play ", "reverse ")) and len(line.split()) > 2:
            print("%s click: xdotool took %.0f ms" % (line.split()[0], 1000 * float(line.split()[2])))
        if line.startswith("load "):
            print("load average at the start: %s" % line.split(None, 1)[1].strip())
        elif line.startswith("loadnow "):
            print("load average before the grab: %s" % line.split(None, 1)[1].strip())
    if gaps:
        print("grabs: %d over %.1f s (%.1f/s), gap mean %.1f ms, max %.1f ms, gaps > 1.5x mean: %d"
              % (len(grab_times), grab_times[-1] - grab_times[0], (len(grab_times) - 1) / (grab_times[-1] - grab_times[0]),
                 1000 * sum(gaps) / len(gaps), 1000 * max(gaps), sum(1 for g in gaps if g > 1.5 * sum(gaps) / len(gaps))))
    # The player may answer the Reverse click before its time is taken.
    phases = [("forward", ev["play"], ev["reverse"] - CLICK_MARGIN, False), ("reverse", ev["reverse"], ev["end"], True)]
    for name, t0, t1, backward in phases:
        print("-- %s: %.1f s from the %s click" % (name, t1 - t0, "Reverse" if backward else "play"))
        print("%-4s %-3s %-5s %8s %6s %6s %5s %6s %7s %6s %6s %6s %6s %6s" % (
            "win", "ch", "kind", "unread", "first", "run", "skip", "hold", "@index", "fpsmin", "fpsavg", "rate",
            "from", "to"))
        per = []
        for w in range(nwin):
            samples = [(times[n], idx[w]) for n, idx, _ in frames if n in times]
            r = window_phase(samples, t0, t1, backward)
            per.append(r)
            kind = "D1" if w in d1 else ("1080p" if w in hd else "?")
            head = "%-4d %-3s %-5s %8s" % (w + 1, fmt(channels[w]), kind, "%d/%d" % (r["unreadable"], r["samples"]))
            if r.get("start") is None:
                print("%s %6s  no steady motion after the click" % (
                    head, "-" if r["first"] is None else "%.0f" % (1000 * r["first"])))
                continue
            print("%s %6.0f %6.0f %5d %6.0f %7d %6d %6.1f %6.1f %6d %6d%s" % (
                head, 1000 * r["first"], 1000 * r["latency"], r["skip"], 1000 * r["hold"], r["held"],
                r["fps_min"] or 0, r["fps_mean"] or 0, r["rate"] or 0, r["first_index"], r["end_index"],
                "  wrong-way steps %d" % r["wrong_way"] if r["wrong_way"] else ""))
        for label, group in (("D1", d1), ("1080p", hd)):
            rs = [per[w] for w in group if per[w].get("start") is not None]
            if not rs:
                continue
            print("%-6s %2d windows: first max %4.0f ms, run max %4.0f ms, hold max %4.0f ms (median %4.0f), "
                  "fps min %2d, fps mean %.1f, skip max %d"
                  % (label, len(rs), 1000 * max(r["first"] for r in rs), 1000 * max(r["latency"] for r in rs),
                     1000 * max(r["hold"] for r in rs), 1000 * sorted(r["hold"] for r in rs)[len(rs) // 2],
                     min(r["fps_min"] or 0 for r in rs), sum(r["fps_mean"] or 0 for r in rs) / len(rs),
                     max(r["skip"] for r in rs)))
        starts = [r["start"] for r in per if r.get("start") is not None]
        if len(starts) == nwin:
            s0 = max(starts)
            s1 = min(r["end"] for r in per)
            print("steady part for the spread: %.1f s (from %.2f s to %.2f s after the click%s)"
                  % (s1 - s0, s0 - t0, s1 - t0, ", where a window reached the day's first picture" if s1 < t1 else ""))
            for label, group in (("all 16", list(range(nwin))), ("D1", d1), ("1080p", hd), ):
                v = spread(frames, times, group, s0, s1)
                if v:
                    print("spread %-6s: max %5d ms, p95 %5d ms, median %5d ms (%d grabs)"
                          % (label, max(v), percentile(v, 95), percentile(v, 50), len(v)))
        else:
            print("spread: not every window started (%d of %d)" % (len(starts), nwin))
    return 0


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    cmd = {"locate": cmd_locate, "read": cmd_read, "decode": cmd_decode, "analyze": cmd_analyze}.get(sys.argv[1])
    if cmd is None:
        print(__doc__, file=sys.stderr)
        return 2
    return cmd(sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())
