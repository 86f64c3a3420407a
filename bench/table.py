#!/usr/bin/env python3
"""Prints the rows of the benchmark scripts (format in scripts/bench) as one table."""
import sys

path, cores, date = sys.argv[1:4]


def met(target, value):
    if not target:
        return ""
    bound = float(target[2:])
    ok = value <= bound if target.startswith("<=") else value >= bound
    return "yes" if ok else "NO"


lines = [line.rstrip("\n").split("\t") for line in open(path) if line.strip()]
print("\nAll figures: %s cores, %s (ratio = ours / peer; MB/s: more is better, s: less is "
      "better)" % (cores, date))
head = ("benchmark", "unit", "ours", "peer", "peer fig.", "ratio", "target", "met")
table = [head]
for benchmark, unit, ours, peer, peer_figure, target in lines:
    if peer == "-":
        table.append((benchmark, unit, ours, "", "", "", target, met(target, float(ours))))
        continue
    ratio = float(ours) / float(peer_figure) if float(peer_figure) else float("inf")
    table.append((benchmark, unit, ours, peer, peer_figure, "%.2f" % ratio, target,
                  met(target, ratio)))
widths = [max(len(row[i]) for row in table) for i in range(len(head))]
for row in table:
    print("  ".join(cell.ljust(width) for cell, width in zip(row, widths)).rstrip())
if len(table) == 1:
    print("(no rows)")
