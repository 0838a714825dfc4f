#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the figures of one ./bench run as one table.

Usage: bench/report.py OUT_DIR
OUT_DIR holds the JSON files of the Google Benchmark programs (*.json) and, where the real X
server comparison ran, xspeed.txt (the output of bench/xspeed.sh).
"""
import json
import pathlib
import re
import sys

out = pathlib.Path(sys.argv[1])
rows = []  # (what, time, memory)


def load(name):
    path = out / f"{name}.json"
    if not path.exists():
        return []
    return [b for b in json.loads(path.read_text())["benchmarks"]
            if b.get("run_type", "iteration") == "iteration" and "error_occurred" not in b]


def time_text(bench, field="real_time"):
    value, unit = bench[field], bench["time_unit"]
    seconds = value * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[unit]
    if seconds >= 1:
        return f"{seconds:.2f} s"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.2f} ms"
    if seconds >= 1e-6:
        return f"{seconds * 1e6:.1f} µs"
    return f"{seconds * 1e9:.0f} ns"


def size_text(n):
    for limit, unit in ((1 << 20, "MB"), (1 << 10, "KB")):
        if n >= limit and n % limit == 0:
            return f"{n // limit} {unit}"
    return f"{n:,}".replace(",", " ")


def arg(bench):
    match = re.search(r"/(?:\w+:)?(\d+)", bench["name"])
    return int(match.group(1)) if match else 0


def count_text(n):
    return f"{n:,}".replace(",", "\u202f")


def mem(bench, key="peak_MiB"):
    return f"{bench[key]:.1f} MiB" if key in bench else ""


for b in load("keystep"):
    rows.append((f"Key in the main window, {size_text(arg(b))} lesson (CPU time per key)",
                 time_text(b, "cpu_time"), mem(b)))
keys = {arg(b): b["cpu_time"] for b in load("keystep")}
if 1 << 10 in keys and 10 << 20 in keys:
    rows.append(("Key cost, 10 MB lesson against 1 KB (target: at most 2)",
                 f"{keys[10 << 20] / keys[1 << 10]:.2f} ×", ""))
for b in load("keyboard"):
    state = "on" if arg(b) else "off"
    rows.append((f"Key with the on-screen keyboard {state}, 1 KB lesson (CPU time per key)",
                 time_text(b, "cpu_time"), ""))
for b in load("engine"):
    rows.append((f"Engine key step alone, {size_text(arg(b))} lesson", time_text(b, "cpu_time"), ""))
for b in load("startup"):
    rows.append((f"Start to main window shown, chooser filled, {count_text(arg(b))} lessons",
                 time_text(b), mem(b)))
for b in load("results"):
    rows.append((f"Results window shown, Score.csv of {count_text(arg(b))} rows",
                 time_text(b), mem(b)))
for b in load("statistics"):
    cache = "with Keys.cache" if arg(b) else "first opening, no Keys.cache"
    rows.append((f"Statistics window shown with its chart, 100\u202f000 score rows, {cache} "
                 f"(CPU time {b['shown_cpu_ms']:.0f} ms)", time_text(b), mem(b)))
    rows.append((f"Statistics window: key colours of 3.5 million Keys.csv rows shown, {cache}",
                 f"{b['keys_s'] * 1000:.0f} ms", ""))
for b in load("overview"):
    rows.append(("Class overview shown, 30 players, 100\u202f000 score rows "
                 f"(CPU time {b['shown_cpu_ms']:.0f} ms)", time_text(b), mem(b)))
    rows.append(("Class overview: weak keys of 3.5 million Keys.csv rows in the table",
                 f"{b['keys_s'] * 1000:.0f} ms", ""))
for b in load("keytable"):
    if b["name"].startswith("BM_AppendKeyRows"):
        rows.append(("One exercise's 35 rows appended to Keys.csv of 3.5 million rows",
                     time_text(b), ""))
    else:
        how = ["no cache", "with Keys.cache", "one exercise added since the cache"][arg(b)]
        rows.append((f"Every player's key tallies from 3.5 million Keys.csv rows, {how}",
                     time_text(b), mem(b)))

xspeed = out / "xspeed.txt"
if xspeed.exists():
    for line in xspeed.read_text().splitlines():
        match = re.match(r"(Start: exec.*|Resident memory.*|Processor time per key.*?)\s{2,}"
                         r"([\d.]+)\s+([\d.]+)\s+([\d.]+) x", line)
        if match:
            rows.append((f"Real X server, Pekto / floor: {match.group(1).strip()}",
                         f"{match.group(2)} / {match.group(3)}", f"{match.group(4)} ×"))

if not rows:
    sys.exit("no benchmark results in " + str(out))
width = max(len(r[0]) for r in rows)
print(f"{'What':<{width}}  {'Time':>12}  {'Peak memory / ratio':>20}")
print("-" * (width + 36))
for what, time, memory in rows:
    print(f"{what:<{width}}  {time:>12}  {memory:>20}")
