#!/usr/bin/env python3
"""Times a first installation through the window by phase and sets its download and
extraction beside their bare peers. Phases are seen from outside the program: the server's
request times, the work folder's files as they appear (polled every few milliseconds) and the
driver's events; the driver's own waits (the click on Install, the answer to the last
question) are taken out of the setup program's time. The package's extraction, set beside
`kzip x`, is the program's own figure from its setup log."""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
import rows  # noqa: E402


class WorkFolderWatch:
    """Notes when the first work folder appears and when named files show up in it. It polls
    every 5 ms: finer polling takes enough processor time to slow the program it watches."""

    def __init__(self, temp, names, package_bytes):
        self.temp = temp
        self.names = names
        self.package_bytes = package_bytes
        self.seen = {}
        self.stop = threading.Event()
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        folder = None
        while not self.stop.is_set():
            now = time.monotonic()
            if folder is None:
                found = [n for n in os.listdir(self.temp) if n.startswith("kst")]
                if found:
                    folder = os.path.join(self.temp, found[0])
                    self.seen["folder"] = now
            else:
                try:
                    present = set(os.listdir(folder))
                except FileNotFoundError:
                    self.seen.setdefault("gone", now)
                    present = set()
                for name in self.names:
                    if name in present:
                        self.seen.setdefault(name, now)
                if "complete" not in self.seen and "Keltra.zip" in present:
                    try:
                        size = os.path.getsize(os.path.join(folder, "Keltra.zip"))
                    except OSError:
                        size = 0
                    if size >= self.package_bytes:
                        self.seen["complete"] = now
            time.sleep(0.005)

    def close(self):
        self.stop.set()
        self.thread.join()


def wine_seconds(machine, args):
    start = time.monotonic()
    result = machine.wine(args, timeout=600)
    return time.monotonic() - start, result


def median(values):
    values = sorted(values)
    middle = len(values) // 2
    return values[middle] if len(values) % 2 else (values[middle - 1] + values[middle]) / 2


def clear_internet_cache(m):
    """WinInet keeps a copy of every download in its cache; a 100 MB one per round adds up."""
    for folder in glob.glob(os.path.join(m.drive_c, "users", "*", "AppData", "Local",
                                         "Microsoft", "Windows", "INetCache")):
        shutil.rmtree(folder, ignore_errors=True)


UNPACKED = re.compile(r" unpacked (.*): \d+ bytes in ([\d.]+) ms")


def logged_unpacks(log):
    """(archive, seconds) of every unpack the setup log records, in order."""
    return [(found.group(1), float(found.group(2)) / 1000) for found in UNPACKED.finditer(log)]


def install_once(m, size, package_bytes, sha256=True):
    """One first installation; returns its phases as (name, seconds) and the derived sums.
    sha256=False serves a catalogue without digests, so nothing is hashed."""
    m.reset()
    clear_internet_cache(m)
    m.release(payload_size=size, sha256=sha256)
    watch = WorkFolderWatch(m.temp, ["keltra.exe", "kagent.exe", "Keltra.ini", "kst.ok"],
                            package_bytes)
    started = time.monotonic()
    run = m.run_setup(steps=["ready@60000", "install", "form@600000", "no"], timeout=900)
    watch.close()
    if run.timed_out or run.exit_code != 0:
        raise RuntimeError("the setup run failed: %s" % (run.events,))
    ended = started + run.seconds
    seen = watch.seen
    timeline = m.server.server.timeline

    def server_time(kind, path):
        return next(t for t, k, method, p in timeline if k == kind and p == path
                    and method == "GET")

    def event_time(kind):
        return started + next(e[0] for e in run.events if e[1] == kind)

    catalogue = (server_time("begin", harness.CATALOGUE), server_time("end", harness.CATALOGUE))
    # The transfer ends when the file is whole and its handles are closed, which the first
    # unpacked member shows (the archive's directory is read in between, a few milliseconds).
    download = (server_time("begin", harness.PRODUCT_PACKAGE), seen["keltra.exe"])
    ready, pressed = event_time("ready"), event_time("pressed")
    asked, answered = event_time("form-seen"), event_time("form")
    phases = [
        ("program start (Wine) to catalogue request", catalogue[0] - started),
        ("catalogue", catalogue[1] - catalogue[0]),
        ("catalogue to window shown", ready - catalogue[1]),
        ("driver: window shown to Install pressed", pressed - ready),
        ("Install pressed to download request", download[0] - pressed),
        ("download: request to whole file", seen["complete"] - download[0]),
        ("download: closing the transfer, archive opened", download[1] - seen["complete"]),
        ("extraction of the package", seen["kagent.exe"] - download[1]),
        ("agent archive and settings file", seen["Keltra.ini"] - seen["kagent.exe"]),
        ("agent (settings file to success marker)", seen["kst.ok"] - seen["Keltra.ini"]),
        ("checks, until the last question shows", asked - seen["kst.ok"]),
        ("driver: question shown to answered", answered - asked),
        ("clean-up: work folder deleted", seen["gone"] - answered),
        ("shell notice, closing, end of the process", ended - seen["gone"]),
        ("total, program start to end", ended - started),
    ]
    unpacks = logged_unpacks(m.setup_log())
    if not unpacks:
        raise RuntimeError("the setup log records no unpack")
    phases.insert(8, ("  of it, the package's unpack by the setup log", unpacks[0][1]))
    sums = {
        "unpack": unpacks[0][1],
        "download": download[1] - download[0],
        "extraction": seen["Keltra.ini"] - download[1],
        "package": seen["kagent.exe"] - download[1],
        "agent": seen["kst.ok"] - seen["Keltra.ini"],
        "driver": (pressed - ready) + (answered - asked),
        "total": ended - started,
    }
    return phases, sums


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
        paths = m.release(payload_size=size)
        package = os.path.join(m.work, "bench-package.zip")
        shutil.copyfile(paths["product"], package)
        package_bytes = os.path.getsize(package)

        # Wine's own cost of starting a program, taken out of the peers' wall times.
        start_cost = median([wine_seconds(m, [m.tool("kdrive.exe")])[0] for _ in range(7)])
        url = "http://127.0.0.1:%d/packages/Keltra.zip" % m.server.port
        target = os.path.join(m.work, "peer.zip")
        unpack = os.path.join(m.work, "peer-unpacked")
        rounds = {"phases": [], "sums": [], "bare": [], "kzip": [], "curl": [], "bsdtar": []}
        failed = False
        # Every round runs the setup and each peer once, so a busy machine slows them alike.
        for _ in range(args.rounds):
            phases, sums = install_once(m, size, package_bytes)
            rounds["phases"].append(phases)
            rounds["sums"].append(sums)
            bare = m.wine([m.tool("net_download_bench.exe"), url, harness.to_windows(target),
                           str(package_bytes), "bare64k"], timeout=600)
            failed |= bare.returncode != 0
            rounds["bare"].append(float(bare.stdout.split()[2]))
            # kzip is close to Wine's own start cost, so both are sampled side by side.
            walls, starts = [], []
            for _ in range(3):
                shutil.rmtree(unpack, ignore_errors=True)
                os.makedirs(unpack)
                starts.append(wine_seconds(m, [m.tool("kdrive.exe")])[0])
                wall, kzip = wine_seconds(m, [m.tool("kzip.exe"), "x",
                                              harness.to_windows(package),
                                              harness.to_windows(unpack)])
                failed |= kzip.returncode != 0
                walls.append(wall)
            rounds["kzip"].append(median(walls) - median(starts))
            begin = time.monotonic()
            subprocess.run(["curl", "-s", "-o", target, url], check=True)
            rounds["curl"].append(time.monotonic() - begin)
            shutil.rmtree(unpack)
            os.makedirs(unpack)
            begin = time.monotonic()
            subprocess.run(["bsdtar", "-xf", package, "-C", unpack], check=True)
            rounds["bsdtar"].append(time.monotonic() - begin)
        shutil.rmtree(unpack, ignore_errors=True)
        os.remove(target)
        clear_internet_cache(m)

        mb = package_bytes / 1e6
        print("First installation of a %.1f MB package through the window, median of %d "
              "rounds, seconds:" % (mb, args.rounds))
        for i, (name, _) in enumerate(rounds["phases"][0]):
            print("  %-48s %7.3f" % (name, median([p[i][1] for p in rounds["phases"]])))
        bare_s, kzip_s = median(rounds["bare"]), median(rounds["kzip"])
        print("Peers on the same package (medians):")
        print("  %-48s %7.3f  (%.0f MB/s)" % ("bare WinInet loop, 64 KB reads", bare_s,
                                             mb / bare_s))
        print("  %-48s %7.3f  (Wine's start, sampled beside it, taken off)" % ("kzip.exe x",
                                                                                 kzip_s))
        print("  %-48s %7.3f" % ("curl -o (native)", median(rounds["curl"])))
        print("  %-48s %7.3f" % ("bsdtar -x (native)", median(rounds["bsdtar"])))
        download = median([s["download"] for s in rounds["sums"]])
        extraction = median([s["unpack"] for s in rounds["sums"]])
        own = median([s["total"] - s["driver"] - s["download"] - s["extraction"] - s["agent"]
                      - start_cost for s in rounds["sums"]])
        print("Targets:")
        print("  download / bare WinInet      %.2f (target <= 1.25)" % (download / bare_s))
        print("  package unpack (setup log) / kzip x  %.2f (target <= 1.20)" % (extraction / kzip_s))
        print("  setup's own time             %.3f s (target < 0.5: the total less download, "
              "extraction, agent, the driver's waits and Wine's start of %.3f)"
              % (own, start_cost))
        curl_s, bsdtar_s = median(rounds["curl"]), median(rounds["bsdtar"])
        rows.emit("install, download", "s", download, "bare WinInet loop, 64 KB", bare_s, "<=1.25")
        rows.emit("install, download", "s", download, "curl -o (native)", curl_s)
        rows.emit("install, package extraction", "s", extraction, "kzip.exe x", kzip_s, "<=1.20")
        rows.emit("install, package extraction", "s", extraction, "bsdtar -x (native)", bsdtar_s)
        rows.emit("install, setup's own time", "s", own, target="<=0.5")
        if failed:
            print("install bench: a peer failed")
            return 1
        return 0
    finally:
        m.close()


if __name__ == "__main__":
    sys.exit(main())
