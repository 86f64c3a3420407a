#!/usr/bin/env python3
"""Makes one archive per method with 7z from the same ~32 MB of mixed content (once), then
times kzip t and every peer that decodes the method, in interleaved rounds, and prints one
table: median MB/s of decoded data by processor time (user + system; the main figure on a
shared machine) and by wall time, and kzip t over the fastest peer."""
import os
import random
import resource
import statistics
import subprocess
import sys
import time

import rows

work, kzip = sys.argv[1:3]
rounds = int(os.environ.get("METHOD_BENCH_ROUNDS", "9"))

# One row per method: title, 7z switches that write it, peers that decode it.
METHODS = [
    ("9 Deflate64", ["-mm=Deflate64", "-mx=5"], ["7z t"]),
    ("12 bzip2", ["-mm=BZip2", "-mx=9", "-mmt=1"], ["7z t", "bsdtar", "unzip -t"]),
    ("14 LZMA", ["-mm=LZMA", "-mx=5"], ["7z t", "bsdtar"]),
    ("98 PPMd", ["-mm=PPMd", "-mx=5"], ["7z t", "bsdtar"]),
]


def peers(archive):
    return {
        "kzip t": [kzip, "t", archive],
        "7z t": ["7z", "t", "-bso0", "-bsp0", archive],
        "bsdtar": ["bsdtar", "-xOf", archive],
        "unzip -t": ["unzip", "-tq", archive],
    }


def make_content(folder):
    if os.path.isdir(folder):
        return
    rng = random.Random(9)
    syllables = ["ka", "lo", "tri", "men", "sa", "ver", "ol", "ind", "ex", "pra", "tum", "ge"]
    words = ["".join(rng.choice(syllables) for _ in range(rng.randint(1, 4))) for _ in range(5000)]
    pool = [os.path.join(d, f) for d in ("/usr/bin", "/usr/lib/x86_64-linux-gnu")
            for f in sorted(os.listdir(d))
            if os.path.isfile(os.path.join(d, f)) and os.path.getsize(os.path.join(d, f)) > 300000]
    os.makedirs(folder + ".part")
    for i in range(16):
        size = 2 * 1024 * 1024
        if i % 16 < 9:
            data = " ".join(rng.choice(words) for _ in range(size // 5)).encode()[:size]
        elif i % 16 < 15:
            data = b""
            while len(data) < size:
                data += open(rng.choice(pool), "rb").read(size - len(data))
        else:
            data = rng.randbytes(size)
        open(os.path.join(folder + ".part", "f%02d" % i), "wb").write(data)
    os.rename(folder + ".part", folder)


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def run(command):
    cpu = children_cpu()
    started = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - started
    return result.returncode == 0, children_cpu() - cpu, wall


content = os.path.join(work, "content")
make_content(content)
size = sum(os.path.getsize(os.path.join(content, f)) for f in os.listdir(content))
print("%d MB of content, %d interleaved rounds, medians" % (size // 1000000, rounds))
print("%-13s %-9s %11s %11s %9s" % ("method", "tool", "MB/s (cpu)", "MB/s (wall)", "kzip/peer"))
for title, switches, names in METHODS:
    archive = os.path.join(work, title.split()[1].lower() + ".zip")
    if not os.path.exists(archive):
        subprocess.run(["7z", "a", "-tzip", "-bd", "-bso0", *switches, archive, "."],
                       cwd=content, check=True)
    tools = {name: command for name, command in peers(archive).items()
             if name == "kzip t" or name in names}
    times = {name: [] for name in tools}
    for _ in range(rounds):
        for name, command in tools.items():
            ok, cpu, wall = run(command)
            times[name].append((cpu, wall) if ok else None)
    speeds = {}
    for name, samples in times.items():
        if None in samples:
            speeds[name] = None
            continue
        speeds[name] = (size / 1e6 / max(statistics.median(s[0] for s in samples), 1e-3),
                        size / 1e6 / statistics.median(s[1] for s in samples))
    others = [s for name, s in speeds.items() if name != "kzip t" and s]
    for name, s in speeds.items():
        ratio = ""
        if name == "kzip t" and s and others:
            ratio = "%.2fx" % (s[0] / max(o[0] for o in others))
        if s is None:
            print("%-13s %-9s %11s %11s" % (title, name, "fails", "fails"))
        else:
            print("%-13s %-9s %11.1f %11.1f %9s" % (title, name, s[0], s[1], ratio))
    ours = speeds.get("kzip t")
    fastest = max(others, default=None)
    for name, s in speeds.items():
        if name != "kzip t" and s and ours:
            rows.emit("kzip t, method %s (processor time, median of %d)" % (title, rounds),
                      "MB/s", ours[0], name, s[0], ">=1.00" if s is fastest else "")
