#!/usr/bin/env bash
# The performance benchmarks. Builds them in build-bench (Release at the
# shipped build's -O2, no sanitizers), then runs the row kernels natively
# against memcpy, and the whole spool jobs and the memory figures under Wine.
# Prints figures; it checks nothing.
#   bench/run.sh [RUNS]      RUNS: repetitions of each Wine job (default 7)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-bench
runs=${1:-7}
optimise=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG")

# The Windows tree is configured here first: the native tree's sub-build
# passes on only the build type, and keeps the flags it finds in the cache.
cmake -S "$root" -B "$build/win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  "${optimise[@]}" > /dev/null
cmake -S "$root" -B "$build" -G Ninja -DVLEXIF_SANITIZE=OFF "${optimise[@]}" > /dev/null
cmake --build "$build" --target kernel_bench survey_bench
cmake --build "$build/win32" --target spool_bench

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  wineboot -i
  wineserver -w
fi
# One wineserver for every Wine run below; stopped again at the end.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== Row kernels (native, median of 5 repetitions)"
"$build/bench/pixels/kernel_bench" --benchmark_repetitions=5 --benchmark_display_aggregates_only=true

echo
echo "== The converter's first pass: grey test and thumbnail sums (native, median of 5 repetitions)"
"$build/bench/converter/survey_bench" --benchmark_repetitions=5 --benchmark_display_aggregates_only=true

bench=$build/win32/bench/spool/spool_bench.exe
echo
echo "== Whole jobs (Wine)"
wine "$bench" jobs "$runs"
echo
echo "== Memory (Wine)"
wine "$bench" memory 1754 7016
