#!/usr/bin/env python3
"""Turns Google Benchmark's JSON into one table: each figure, its reference
measured in the same run where there is one, and their ratio."""
import json
import sys

runs = {}
for path in sys.argv[1:]:
    if path.endswith(".json"):
        for b in json.load(open(path))["benchmarks"]:
            if b.get("run_type") != "aggregate":
                name = b["name"].split("/iterations:")[0].split("/manual_time")[0]
                runs[name] = b


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
    ("Stop until the encoder has ended (process layer)", "StopLatency", None, 1),
    ("Qt: Stop click during a wait until the encoder ended", "StopDuringWait/StopClick", None, 1),
    ("Qt: close request during a wait until it ended", "StopDuringWait/CloseRequest", None, 1),
    ("Qt: start-up to the first shown main window", "StartUpToFirstShow", None, 1),
]
print(f"{'figure':52} {'ms':>10} {'reference ms':>13} {'ratio':>7}")
for label, name, ref, per in rows:
    value = ms(name)
    if value is None:
        continue
    value /= per
    line = f"{label:52} {value:10.3f}"
    if ref and ms(ref) is not None:
        r = ms(ref) / per
        line += f" {r:13.3f} {value / r:7.2f}"
    print(line)

# Under Wine: our save and load against the per-key profile functions, from the
# text table of bench/win32 ("entries, ours save ms, ours load ms, per-key save ms, per-key load ms, ...").
for path in sys.argv[1:]:
    if path.endswith(".txt"):
        for line in open(path):
            f = line.replace("ms", " ").split()
            if len(f) >= 5 and f[0].isdigit():
                n, ours, ref = int(f[0]), float(f[1]) + float(f[2]), float(f[3]) + float(f[4])
                label = f"Wine: save + load, {n:,} entries (ref: per key)"
                print(f"{label:52} {ours:10.3f} {ref:13.3f} {ours / ref:7.5f}")

start = runs.get("StartUpToFirstShow")
if start and "peak_rss_MiB" in start:
    print(f"{'Qt: peak resident memory of the program (MiB)':52} {start['peak_rss_MiB']:10.1f}")
for path in sys.argv[1:]:
    if path.endswith(".exe"):
        import os
        print(f"{'size of ' + path + ' (KiB)':52} {os.path.getsize(path) / 1024:10.1f}")
