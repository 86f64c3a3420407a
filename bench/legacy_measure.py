#!/usr/bin/env python3
"""Times kzip t, unzip -tq and 7z t on the archives of legacy_decode.sh (best of N runs) and
reports MB/s of decoded data by processor time (user + system) and by wall time, and the
ratio of kzip to the fastest other tool. Processor time is the main figure: the machine may
be shared, which inflates wall time but not the work done."""
import os
import resource
import subprocess
import sys
import time

import rows

work, kzip, bench = sys.argv[1:4]
rounds = int(os.environ.get("LEGACY_BENCH_ROUNDS", "3"))
sets = [("shrink", "1 shrink"), ("reduce1", "2 reduce-1"), ("reduce2", "3 reduce-2"),
        ("reduce3", "4 reduce-3"), ("reduce4", "5 reduce-4"), ("implode", "6 implode")]


def tools(archive):
    return {
        "kzip t": [kzip, "t", archive],
        "unzip -tq": ["unzip", "-tq", archive],
        "7z t": ["7z", "t", "-bso0", "-bsp0", archive],
    }


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def run(command):
    cpu_before = children_cpu()
    started = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    wall = time.perf_counter() - started
    cpu = children_cpu() - cpu_before
    # A tool that skips or rejects the method does not count.
    ok = result.returncode == 0 and "skipped" not in result.stdout + result.stderr
    return ok, cpu, wall


print("%-12s %-10s %12s %12s" % ("method", "tool", "MB/s (cpu)", "MB/s (wall)"))
for name, title in sets:
    archive = os.path.join(work, name + ".zip")
    size = int(open(os.path.join(work, name + ".size")).read())
    best = {}
    for _ in range(rounds):
        for tool, command in tools(archive).items():
            ok, cpu, wall = run(command)
            if not ok:
                best[tool] = None
                continue
            if best.get(tool, 0) is None:
                continue
            old = best.get(tool, (0.0, 0.0))
            best[tool] = (max(old[0], size / 1e6 / max(cpu, 0.005)), max(old[1], size / 1e6 / wall))
    for tool, speeds in best.items():
        if speeds is None:
            print("%-12s %-10s %12s %12s" % (title, tool, "n/a", "n/a"))
        else:
            print("%-12s %-10s %12.1f %12.1f" % (title, tool, speeds[0], speeds[1]))
    others = [v[0] for t, v in best.items() if t != "kzip t" and v is not None]
    if best.get("kzip t") and others:
        print("%-12s kzip t / fastest other (cpu): %.2fx" % (title, best["kzip t"][0] / max(others)))
    for tool, speeds in best.items():
        if tool != "kzip t" and speeds is not None and best.get("kzip t"):
            rows.emit("kzip t, method %s (processor time, best of %d)" % (title, rounds),
                      "MB/s", best["kzip t"][0], tool, speeds[0])
    memory = subprocess.run([bench, "-n", "3", archive], check=True, capture_output=True,
                            text=True).stdout.strip().splitlines()
    for line in memory:
        print("%-12s in memory, decoder only: %s" % (title, line.split(": ", 1)[1]))
