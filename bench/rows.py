"""Machine-readable figures for scripts/bench's final table: one TSV row per comparison,
appended to the file named by KS_BENCH_ROWS (nothing happens when it is unset). The row
format is described in scripts/bench."""

import os


def emit(benchmark, unit, ours, peer="-", peer_figure=None, target=""):
    path = os.environ.get("KS_BENCH_ROWS")
    if not path:
        return
    fields = [benchmark, unit, "%.4g" % ours, peer,
              "" if peer_figure is None else "%.4g" % peer_figure, target]
    if any("\t" in f or "\n" in f for f in fields):
        raise ValueError("a bench row field holds a tab or a newline: %r" % (fields,))
    with open(path, "a") as rows:
        rows.write("\t".join(fields) + "\n")
