#!/usr/bin/env python3
"""The download phase of a first installation with and without the package's SHA-256 in the
catalogue, timed from outside the program as bench/install_measure.py does; the two kinds of
run take turns, so a busy machine slows them alike."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
import rows  # noqa: E402
from install_measure import clear_internet_cache, install_once, median  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--mb", type=int, default=100)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    size = args.mb * 1000 * 1000
    m = harness.Machine(args.bin, args.work)
    try:
        m.reset()
        package_bytes = os.path.getsize(m.release(payload_size=size)["product"])
        hashed, plain = [], []
        for _ in range(args.rounds):
            for pinned, times in ((True, hashed), (False, plain)):
                _, sums = install_once(m, size, package_bytes, sha256=pinned)
                times.append(sums["download"])
        clear_internet_cache(m)
        mb = package_bytes / 1e6
        hashed_s, plain_s = median(hashed), median(plain)
        print("Download phase of a first installation of a %.1f MB package, median of %d "
              "interleaved rounds, seconds:" % (mb, args.rounds))
        print("  %-44s %7.3f  (%.0f MB/s)" % ("catalogue with sha256 (hashed as it streams)",
                                             hashed_s, mb / hashed_s))
        print("  %-44s %7.3f  (%.0f MB/s)" % ("catalogue without sha256", plain_s,
                                             mb / plain_s))
        print("  with / without                               %.3f (target <= 1.10)"
              % (hashed_s / plain_s))
        rows.emit("install, download with SHA-256 check", "s", hashed_s,
                  "same install, no sha256 in catalogue", plain_s, "<=1.10")
        return 0
    finally:
        m.close()


if __name__ == "__main__":
    sys.exit(main())
