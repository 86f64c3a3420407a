#!/usr/bin/env bash
# Time to the first window under Wine: the setup program against the loopback catalogue and a
# bare Win32 program with an empty window, launch until the window is visible on the X display.
#   bench/startup.sh [WINDOWS_BUILD_DIR]     (STARTUP_BENCH_ROUNDS sets the rounds, default 7)
# Without a build folder it builds build/bench-install-<win32|win64> (the install benchmark's),
# for the Windows build this machine runs (scripts/windows-build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=${1:-${KS_BENCH_WINDOWS_BUILD:-}}
[ -n "$win" ] || win=$("$root/scripts/bench-windows-build" bench-install ON \
    keltrasetup kagent keltra kdrive listtool empty_window)
exec python3 "$root/bench/startup_measure.py" --bin "$win/bin" --work "$root/build/bench/startup" \
    --rounds "${STARTUP_BENCH_ROUNDS:-7}"
