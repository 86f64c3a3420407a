#!/usr/bin/env bash
# Download speed over loopback, best of five interleaved rounds: curl -o, a bare WinInet loop with
# 64 KB reads, DownloadToFile with the main window's kind of progress handler, the resumable
# download (partial file, validator record, rename at the end) with the same handler, and (on a
# smaller file) the bare loop with 1 KB reads and DownloadToFile with a handler that repaints
# the gauge on every 1,024-byte block. The files stay in build/bench/net.
#   bench/net_download.sh [WINDOWS_BUILD_DIR]     (NET_BENCH_MB sets the size, default 200)
# Without a build folder it builds build/bench-<win32|win64>, for the Windows build this machine
# runs (scripts/windows-build), with build/bench-native's listtool.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=${1:-${KS_BENCH_WINDOWS_BUILD:-}}
[ -n "$win" ] || win=$("$root/scripts/bench-windows-build" bench OFF net_download_bench)
program=$win/bin/net_download_bench.exe
[ -f "$program" ] || { echo "net_download.sh: no $program (build with KS_BENCH=ON)" >&2; exit 1; }
server=$root/tests/servers/loopback_server.py
work=$root/build/bench/net
mb=${NET_BENCH_MB:-200}
size=$((mb * 1000 * 1000))
small=$((20 * 1000 * 1000))
mkdir -p "$work/root"
for pair in "big.bin $size" "small.bin $small"; do
    set -- $pair
    if [ "$(stat -c %s "$work/root/$1" 2>/dev/null || echo 0)" != "$2" ]; then
        head -c "$2" /dev/urandom >"$work/root/$1"
    fi
done

python3 "$server" start --root "$work/root" --port-file "$work/ports" --lifetime 900
trap 'python3 "$server" stop --port-file "$work/ports"' EXIT
port=$(awk '$1 == "http" { print $2 }' "$work/ports")
url=http://127.0.0.1:$port
winwork="Z:${work//\//\\}"

rounds=${NET_BENCH_ROUNDS:-5}
best() { sort -g | tail -1; }
once() { # mode file size
    "$root/scripts/wine-run" "$program" "$url/$2" "$winwork\\out.bin" "$3" "$1" |
        tr -d '\r' | awk '{ print $4 }'
}
# The modes take turns in every round, so a busy machine slows them alike.
: >"$work/results"
for _ in $(seq "$rounds"); do
    curl -s -o "$work/curl.bin" -w '%{speed_download}\n' "$url/big.bin" |
        awk '{ printf "curl %.1f\n", $1 / 1e6 }' >>"$work/results"
    for mode in bare64k ks ks-resumable; do
        echo "$mode $(once "$mode" big.bin "$size")" >>"$work/results"
    done
done
for mode in bare1k ks-every; do
    echo "$mode $(once "$mode" small.bin "$small")" >>"$work/results"
done
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
pick() { awk -v m="$1" '$1 == m { print $2 }' "$work/results" | best; }
middle() { awk -v m="$1" '$1 == m { print $2 }' "$work/results" | median; }
curl_speed=$(pick curl)
bare64=$(pick bare64k)
ks=$(pick ks)
bare64_median=$(middle bare64k)
ks_median=$(middle ks)
resumable=$(pick ks-resumable)
resumable_median=$(middle ks-resumable)
bare1k=$(pick bare1k)
every=$(pick ks-every)
rm -f "$work/curl.bin" "$work/out.bin"

echo "Download over loopback, MB/s (10^6 bytes per second), best of $rounds (1 KB rows: one run):"
printf '  %-44s %8s\n' "curl -o ($mb MB)" "$curl_speed"
printf '  %-44s %8s\n' "bare WinInet loop, 64 KB reads ($mb MB)" "$bare64"
printf '  %-44s %8s\n' "DownloadToFile + gauge repaint ($mb MB)" "$ks"
printf '  %-44s %8s\n' "resumable download + gauge repaint ($mb MB)" "$resumable"
printf '  %-44s %8s\n' "bare WinInet loop, 1 KB reads (20 MB)" "$bare1k"
printf '  %-44s %8s\n' "DownloadToFile, repaint on every block (20 MB)" "$every"
awk -v k="$ks" -v b="$bare64" -v km="$ks_median" -v bm="$bare64_median" 'BEGIN {
    printf "  DownloadToFile / bare 64 KB loop: best %.2f, median %.2f (%.1f / %.1f) (target >= 0.80)\n",
        k / b, km / bm, km, bm }'
awk -v r="$resumable" -v k="$ks" -v rm="$resumable_median" -v km="$ks_median" 'BEGIN {
    printf "  DownloadToFile / resumable (time ratio): best %.3f, median %.3f (target <= 1.05)\n",
        k / r, km / rm }'
# Rows for scripts/bench's table (format there): medians, as the peers ran interleaved.
if [ -n "${KS_BENCH_ROWS:-}" ]; then
    row() { printf '%s\tMB/s\t%s\t%s\t%s\t%s\n' "$@" >>"$KS_BENCH_ROWS"; }
    row "download, $mb MB over loopback (median)" "$ks_median" "bare WinInet loop, 64 KB" "$bare64_median" ">=0.80"
    row "download, $mb MB over loopback (median)" "$ks_median" "curl -o (native)" "$(middle curl)" ""
fi
