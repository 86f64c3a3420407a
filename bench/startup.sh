#!/usr/bin/env bash
# Time to the first window under Wine: the setup program against the loopback catalogue and a
# bare Win32 program with an empty window, launch until the window is visible on the X display.
#   bench/startup.sh [WINDOWS_BUILD_DIR]     (STARTUP_BENCH_ROUNDS sets the rounds, default 7)
# Without a build folder it builds build/bench-install-<win32|win64> (the install benchmark's),
# for the Windows build this machine runs (scripts/windows-build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win=${1:-${KS_BENCH_WINDOWS_BUILD:-}}
if [ -z "$win" ]; then
    native=$root/build/bench-native
    arch=$("$root/scripts/windows-build")
    toolchain=$root/cmake/mingw-i686.cmake
    [ "$arch" = win64 ] && toolchain=$root/cmake/mingw-x86_64.cmake
    win=$root/build/bench-install-$arch
    cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DKS_TESTS=OFF >/dev/null
    cmake --build "$native" -j2 --target listtool >/dev/null
    cmake -S "$root" -B "$win" --toolchain "$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DKS_TESTS=ON -DKS_BENCH=ON \
        -DKS_HOST_LISTTOOL="$native/bin/listtool" >/dev/null
    cmake --build "$win" -j2 --target keltrasetup kagent keltra kdrive listtool empty_window \
        >/dev/null
fi
exec python3 "$root/bench/startup_measure.py" --bin "$win/bin" --work "$root/build/bench/startup" \
    --rounds "${STARTUP_BENCH_ROUNDS:-7}"
