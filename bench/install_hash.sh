#!/usr/bin/env bash
# What checking the product package's SHA-256 costs a first installation: the download phase
# of the same 100 MB install with a catalogue that pins the package's digest (hashed while it
# streams) and with one that does not, in interleaved rounds; beside them the speed of CNG's
# SHA-256 alone on the same bytes, and the floor it sets for the hashed download phase.
#   bench/install_hash.sh [WINDOWS_BUILD_DIR]  (INSTALL_BENCH_MB sets the size, default 100;
#                                               HASH_BENCH_ROUNDS the rounds, default 5)
# Without a build folder it builds build/bench-install-<win32|win64> as bench/install.sh does.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=${1:-${KS_BENCH_WINDOWS_BUILD:-}}
[ -n "$win" ] || win=$("$root/scripts/bench-windows-build" bench-install ON \
    keltrasetup kagent keltra kdrive listtool sha256_bench net_download_bench)
exec python3 "$root/bench/install_hash_measure.py" --bin "$win/bin" \
    --work "$root/build/bench/install-hash" --mb "${INSTALL_BENCH_MB:-100}" \
    --rounds "${HASH_BENCH_ROUNDS:-5}"
