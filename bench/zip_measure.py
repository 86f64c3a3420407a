#!/usr/bin/env python3
"""Times kzip x against bsdtar, 7z and unzip on the archives of zip_corpus.py (median of
interleaved rounds, same target folder), reports MB/s of uncompressed data, ratios and peak
RSS. On a shared machine a tool's wall time is mostly its wait for a processor; interleaving
gives every tool the same load and the median drops the rounds another job took over."""
import os
import shutil
import subprocess
import sys
import statistics
import time

import rows

work, kzip, inflate = sys.argv[1:4]
rounds = int(os.environ.get("ZIP_BENCH_ROUNDS", "5"))
# A memory-backed target keeps the disk's writeback out of the figures; every tool writes to
# the same folder either way.
shm = "/dev/shm"
default_out = os.path.join(shm, "ks-zip-bench") if os.path.isdir(shm) else os.path.join(work, "out")
out = os.environ.get("ZIP_BENCH_TARGET", default_out)


def tree_bytes(folder):
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(folder) for f in fs)


def tools(archive):
    return {
        "kzip x": [kzip, "x", archive, out],
        "bsdtar -xf": ["bsdtar", "-xf", archive, "-C", out],
        "7z x": ["7z", "x", "-y", "-bso0", "-bsp0", "-o" + out, archive],
        "unzip -q -o": ["unzip", "-q", "-o", archive, "-d", out],
    }


def run(command):
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    started = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    elapsed = time.perf_counter() - started
    if result.returncode != 0:
        raise SystemExit("failed: %s\n%s" % (" ".join(command), result.stderr))
    return elapsed, int(result.stderr.strip().splitlines()[-1])


sets = [("a", "a.zip", "mixed, deflated", "a"), ("b", "b.zip", "20,000 x 4 KB", "b"),
        ("c", "c.zip", "mixed, stored", "a")]
print("target folder: %s" % out)
print("%-22s %-12s %10s %10s" % ("archive", "tool", "MB/s", "peak RSS"))
results = {}
memory = 0.0  # in-memory inflate, measured in the same rounds as (a)
for key, name, title, content in sets:
    archive = os.path.join(work, name)
    with open(archive, "rb") as f:
        while f.read(1 << 24):
            pass
    size = tree_bytes(os.path.join(work, content))
    speeds, peaks = {}, {}
    for _ in range(rounds):
        if key == "a":
            memory = max(memory, float(subprocess.run(
                [inflate, archive, "1"], check=True, capture_output=True, text=True).stdout))
        for tool, command in tools(archive).items():
            elapsed, rss = run(command)
            speeds.setdefault(tool, []).append(size / 1e6 / elapsed)
            peaks[tool] = max(peaks.get(tool, 0), rss)
    results[key] = {tool: (statistics.median(values), peaks[tool])
                    for tool, values in speeds.items()}
    for tool, (speed, rss) in results[key].items():
        print("%-22s %-12s %10.1f %8.1f MB" % ("(%s) %s" % (key, title), tool, speed, rss / 1024))
shutil.rmtree(out, ignore_errors=True)

print("in-memory raw inflate + CRC-32 on (a): %.1f MB/s" % memory)
for key in ("a", "b", "c"):
    k = results[key]["kzip x"][0]
    print("(%s) kzip/bsdtar %.2fx  kzip/7z %.2fx  kzip/unzip %.2fx" %
          (key, k / results[key]["bsdtar -xf"][0], k / results[key]["7z x"][0],
           k / results[key]["unzip -q -o"][0]))
print("(a) kzip / in-memory inflate: %.0f%%" % (100 * results["a"]["kzip x"][0] / memory))

targets = {("a", "bsdtar -xf"): ">=1.00", ("c", "bsdtar -xf"): ">=1.05"}
for key, _, title, _ in sets:
    ours = results[key]["kzip x"][0]
    for tool, (speed, _) in results[key].items():
        if tool != "kzip x":
            rows.emit("kzip x, %s (median of %d)" % (title, rounds), "MB/s", ours, tool, speed,
                      targets.get((key, tool), ""))
rows.emit("raw inflate + CRC-32 in memory, (a)", "MB/s", memory)
