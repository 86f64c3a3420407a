#!/usr/bin/env python3
"""The download phase of a first installation with and without the package's SHA-256 in the
catalogue, timed from outside the program as bench/install_measure.py does; the two kinds of
run take turns, so a busy machine slows them alike. Each round also hashes as many bytes with
CNG alone (sha256_bench): a hashed download can be no faster than its bytes over that speed,
however well hashing overlaps the transfer."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
import rows  # noqa: E402
from install_measure import clear_internet_cache, install_once, median  # noqa: E402


def hash_speed(m, size, mode):
    """(wall MB/s, MB per processor second) of sha256_bench over size bytes (rounded to whole
    MB) in the given mode."""
    run = m.wine([m.tool("sha256_bench.exe"), str(max(1, round(size / 1e6))), mode],
                 timeout=300)
    if run.returncode != 0:
        raise RuntimeError("sha256_bench %s failed" % mode)
    fields = run.stdout.split()
    return float(fields[3]), float(fields[5])


def transfer_cpu(m, size, mode):
    """Processor seconds of a resumable download of the package by net_download_bench, with
    (ks-hashed) or without (ks-resumable) the setup's hashing on the side."""
    url = "http://127.0.0.1:%d%s" % (m.server.port, harness.PRODUCT_PACKAGE)
    target = harness.to_windows(os.path.join(m.work, "hash-bench.zip"))
    run = m.wine([m.tool("net_download_bench.exe"), url, target, str(size), mode], timeout=600)
    if run.returncode != 0:
        raise RuntimeError("net_download_bench %s failed" % mode)
    return float(run.stdout.split("cpu=")[1].split()[0])


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
        figures = {"cng": [], "background": [], "ks-resumable": [], "ks-hashed": []}
        for _ in range(args.rounds):
            for pinned, times in ((True, hashed), (False, plain)):
                _, sums = install_once(m, size, package_bytes, sha256=pinned)
                times.append(sums["download"])
            for mode in ("cng", "background"):
                figures[mode].append(hash_speed(m, package_bytes, mode))
            for mode in ("ks-resumable", "ks-hashed"):
                figures[mode].append(transfer_cpu(m, package_bytes, mode))
        clear_internet_cache(m)
        os.remove(os.path.join(m.work, "hash-bench.zip"))
        mb = package_bytes / 1e6
        hashed_s, plain_s = median(hashed), median(plain)

        def speed(mode, which):
            return median([f[which] for f in figures[mode]])

        # The floor takes the speed per processor second: what the hasher reaches with a
        # core of its own, which a busy machine does not change as it changes wall time.
        cng_cpu = speed("cng", 1)
        floor_s = mb / cng_cpu
        plain_cpu, hashed_cpu = median(figures["ks-resumable"]), median(figures["ks-hashed"])
        print("Download phase of a first installation of a %.1f MB package, median of %d "
              "interleaved rounds, seconds:" % (mb, args.rounds))
        print("  %-44s %7.3f  (%.0f MB/s)" % ("catalogue with sha256 (hashed as it streams)",
                                             hashed_s, mb / hashed_s))
        print("  %-44s %7.3f  (%.0f MB/s)" % ("catalogue without sha256", plain_s,
                                             mb / plain_s))
        print("  with / without                               %.3f (target <= 1.10)"
              % (hashed_s / plain_s))
        print("SHA-256 of the same bytes on this machine, MB/s of wall time and of processor "
              "time, median of %d rounds:" % args.rounds)
        for mode, name in (("cng", "CNG alone, 256 KB blocks"),
                           ("background", "download's hashing worker, 64 KB pieces")):
            print("  %-44s %7.0f  %7.0f" % (name, speed(mode, 0), speed(mode, 1)))
        print("  %-44s %7.3f  (bytes / CNG speed per processor second)"
              % ("floor of the hashed download phase", floor_s))
        print("  %-44s %7.3f  (measured / floor %.2f)" % ("measured hashed download phase",
                                                        hashed_s, hashed_s / floor_s))
        print("  %-44s %7.3f  (without hashing %.3f, CNG alone %.3f)"
              % ("processor s of a hashed resumable download", hashed_cpu, plain_cpu,
                 mb / cng_cpu))
        rows.emit("install, download with SHA-256 check", "s", hashed_s,
                  "same install, no sha256 in catalogue", plain_s, "<=1.10")
        rows.emit("install, download with SHA-256 check", "s", hashed_s,
                  "floor: bytes / CNG SHA-256 speed", floor_s)
        rows.emit("SHA-256 through CNG, %.0f MB in 256 KB blocks, per processor second" % mb,
                  "MB/s", cng_cpu)
        return 0
    finally:
        m.close()


if __name__ == "__main__":
    sys.exit(main())
