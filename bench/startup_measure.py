#!/usr/bin/env python3
"""Time to the first window as the user sees it: from launch until the window is mapped and
visible on the X display, for the setup program against the loopback catalogue and for a bare
Win32 program that shows an empty window, interleaved. The setup's time is split by the
server's request times (start to catalogue request, the catalogue, catalogue to window) and
by the phases the program itself logs up to its first paint."""

import argparse
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402
import rows  # noqa: E402

POLL_SECONDS = 0.005
PHASE = re.compile(r"([a-z ]+) ([\d.]+) ms")


def logged_phases(log):
    """The phases of the last start the setup log records, as (name, seconds)."""
    lines = [line for line in log.splitlines() if " start: " in line]
    if not lines:
        return []
    text = lines[-1].split(" start: ", 1)[1]
    return [(name.strip(), float(ms) / 1000) for name, ms in PHASE.findall(text)]


def median(values):
    values = sorted(values)
    middle = len(values) // 2
    return values[middle] if len(values) % 2 else (values[middle - 1] + values[middle]) / 2


def visible(display, program):
    """Whether a visible top-level window of the program is on the display. Wine names an X
    window's class after the program file."""
    found = subprocess.run(["xdotool", "search", "--limit", "1", "--onlyvisible", "--classname",
                            program], env=dict(os.environ, DISPLAY=display),
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return found.returncode == 0 and found.stdout.strip() != b""


def time_to_window(m, display, program_path, timeout=60):
    """Seconds from launch until the program's window is visible; the program is ended
    after. Returns (seconds, launch time)."""
    name = os.path.basename(program_path).lower()
    started = time.monotonic()
    process = subprocess.Popen([harness.WINE_RUN, program_path], env=m.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while not visible(display, name):
            if time.monotonic() - started > timeout or process.poll() is not None:
                raise RuntimeError("%s showed no window" % name)
            time.sleep(POLL_SECONDS)
        return time.monotonic() - started, started
    finally:
        # Ends every setup and product process, then the empty window's by its own process.
        m.wine([m.tool("kdrive.exe"), "reset"])
        process.terminate()
        try:
            process.wait(20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--rounds", type=int, default=7)
    args = parser.parse_args()
    m = harness.Machine(args.bin, args.work)
    try:
        display = os.environ.get("DISPLAY") or open(
            os.path.join(harness.ROOT, "build", "wine-state", "xvfb.display")).read().strip()
        m.reset()
        m.release(payload_size=1000)
        empty = m.tool("empty_window.exe")
        samples = {"start": [], "empty": [], "setup": [], "to catalogue": [], "catalogue": [],
                   "to window": []}
        phases = {}
        # A warm-up of each, then the programs take turns, so a busy machine slows them alike.
        time_to_window(m, display, empty)
        time_to_window(m, display, m.setup_exe)
        for _ in range(args.rounds):
            begin = time.monotonic()
            m.wine([m.tool("kdrive.exe")])
            samples["start"].append(time.monotonic() - begin)
            samples["empty"].append(time_to_window(m, display, empty)[0])
            m.server.server.timeline.clear()
            seconds, started = time_to_window(m, display, m.setup_exe)
            timeline = m.server.server.timeline
            begin, end = [next(t for t, kind, method, path in timeline
                               if kind == which and path == harness.CATALOGUE)
                          for which in ("begin", "end")]
            samples["setup"].append(seconds)
            samples["to catalogue"].append(begin - started)
            samples["catalogue"].append(end - begin)
            samples["to window"].append(started + seconds - end)
            for name, value in logged_phases(m.setup_log()):
                phases.setdefault(name, []).append(value)
        figures = {name: median(values) for name, values in samples.items()}
        print("Time to the first window under Wine, launch to window visible on the X display, "
              "median of %d interleaved rounds, seconds:" % args.rounds)
        print("  %-52s %7.3f" % ("console program start and end (kdrive.exe)", figures["start"]))
        print("  %-52s %7.3f" % ("bare Win32 program, empty window", figures["empty"]))
        print("  %-52s %7.3f" % ("setup program, first window", figures["setup"]))
        print("    %-50s %7.3f" % ("launch to catalogue request", figures["to catalogue"]))
        print("    %-50s %7.3f" % ("catalogue (loopback)", figures["catalogue"]))
        print("    %-50s %7.3f" % ("catalogue to window visible", figures["to window"]))
        print("  %-52s" % "the setup program's own phases, from its log:")
        for name, values in phases.items():
            print("    %-50s %7.4f" % (name, median(values)))
        excess = figures["setup"] - figures["empty"]
        print("  setup - empty window: %.3f s (target <= 0.150)" % excess)
        rows.emit("time to the first window", "s", figures["setup"], "bare Win32 empty window",
                  figures["empty"])
        rows.emit("time to the first window, setup less empty window", "s", excess,
                  target="<=0.15")
        return 0
    finally:
        m.close()


if __name__ == "__main__":
    sys.exit(main())
