#!/usr/bin/env bash
# Extraction speed: kzip x against bsdtar -xf, 7z x and unzip -q -o on (a) ~200 MB of mixed
# content deflated, (b) 20,000 files of ~4 KB, (c) the content of (a) stored; plus in-memory
# zlib raw inflate + CRC-32 over (a). Same target folder for every tool, median of five
# interleaved runs, peak RSS from /usr/bin/time. Data and builds stay in build/bench.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/bench-native
work=$root/build/bench/zip
mkdir -p "$work"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKS_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target kzip >/dev/null
c++ -O2 -std=c++17 -o "$build/bin/zip_inflate_bench" "$root/bench/zip_inflate_bench.cpp" -lz

python3 "$root/bench/zip_corpus.py" "$work"
python3 "$root/bench/zip_measure.py" "$work" "$build/bin/kzip" "$build/bin/zip_inflate_bench"
