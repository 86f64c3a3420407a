#!/usr/bin/env bash
# Legacy method decode speed: kzip t against unzip -tq and 7z t (where they support the method)
# on archives made of many copies of the shrunk, reduced and imploded members of the test
# archives, plus the decoders alone in memory (legacy_bench). Data and builds stay in build/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/bench-native
work=$root/build/bench/legacy
data=$root/tests/data/zip
mkdir -p "$work"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKS_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target kzip >/dev/null
c++ -O2 -std=c++17 -I"$root" -o "$build/bin/legacy_bench" "$root"/archive/legacy_*.cpp \
    "$root/bench/legacy_bench.cpp" -lz

corpus() { # name source copies methods...
    local name=$1 source=$2 copies=$3
    shift 3
    python3 "$root/bench/legacy_corpus.py" "$data/$source" "$work/$name.zip" "$copies" "$@" \
        >"$work/$name.size"
}
corpus shrink sc_Zip.shrink.zip 1500 1
corpus reduce1 sc_Zip.reduce1.zip 1000 2
corpus reduce2 sc_Zip.reduce2.zip 1000 3
corpus reduce3 sc_Zip.reduce3.zip 1000 4
corpus reduce4 sc_Zip.reduce4.zip 1000 5
corpus implode sc_Zip.implode.zip 1500 6

python3 "$root/bench/legacy_measure.py" "$work" "$build/bin/kzip" "$build/bin/legacy_bench"
