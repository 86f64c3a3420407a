#!/usr/bin/env bash
# A first installation of a 100 MB product package from the loopback server, timed by phase,
# next to a bare 64 KB-read WinInet download and `kzip.exe x` of the same package under Wine
# (curl and bsdtar natively, for the record).
#   bench/install.sh [WINDOWS_BUILD_DIR]       (INSTALL_BENCH_MB sets the size, default 100;
#                                               INSTALL_BENCH_ROUNDS the rounds, default 5)
# Without a build folder it builds build/bench-install-<win32|win64>, for the Windows build
# this machine runs (scripts/windows-build), with build/bench-native's listtool.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=${1:-${KS_BENCH_WINDOWS_BUILD:-}}
[ -n "$win" ] || win=$("$root/scripts/bench-windows-build" bench-install ON \
    keltrasetup kagent keltra kdrive listtool kzip net_download_bench)
exec python3 "$root/bench/install_measure.py" --bin "$win/bin" --work "$root/build/bench/install" \
    --mb "${INSTALL_BENCH_MB:-100}" --rounds "${INSTALL_BENCH_ROUNDS:-5}"
