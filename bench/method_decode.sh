#!/usr/bin/env bash
# Decode speed of the compression methods peers also decode: kzip t against the fastest of
# 7z t, bsdtar and unzip -t on one archive per method (~32 MB of mixed content), median of
# interleaved runs. Data and builds stay in build/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/bench-native
work=$root/build/bench/methods
mkdir -p "$work"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKS_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target kzip >/dev/null
python3 "$root/bench/method_measure.py" "$work" "$build/bin/kzip"
