#!/usr/bin/env python3
"""Turns Google Benchmark's JSON into one table: each figure, its reference
measured in the same run where there is one, and their ratio."""
import json
import sys

runs = {b["name"].split("/iterations:")[0]: b
        for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("run_type") != "aggregate"}


def ms(name):
    b = runs.get(name)
    if not b:
        return None
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale


rows = [
    ("run of 200 files, per file", "RunPerFile", "BareStartAndWait", 200),
    ("settings save + load, 1,000 entries", "SaveAndLoad/1000", None, 1),
    ("settings save + load, 10,000 entries", "SaveAndLoad/10000", None, 1),
    ("settings save + load, 100,000 entries", "SaveAndLoad/100000", None, 1),
    ("settings load, 100,000 entries", "Load/100000", None, 1),
    ("100,000 dropped names appended", "DropAppend/100000", None, 1),
    ("Stop until the encoder has ended", "StopLatency", None, 1),
]
print(f"{'figure':44} {'ms':>10} {'reference ms':>13} {'ratio':>7}")
for label, name, ref, per in rows:
    value = ms(name)
    if value is None:
        continue
    value /= per
    line = f"{label:44} {value:10.3f}"
    if ref and ms(ref) is not None:
        r = ms(ref) / per
        line += f" {r:13.3f} {value / r:7.2f}"
    print(line)
