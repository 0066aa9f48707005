#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds: the seeds and the regression
# inputs in fuzz/ first, then new inputs, kept in WORK/corpus/TARGET. A crash
# input lands in WORK as TARGET-crash-*; the exit status is then non-zero.
# Usage: fuzz/run.sh FUZZ_BINARY SECONDS WORK
set -euo pipefail
binary=$1
seconds=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
target=$(basename "$binary")
target=${target#fuzz_}

mkdir -p "$work/corpus/$target"
inputs=("$work/corpus/$target")
for dir in "$here/seeds/$target" "$here/regressions/$target"; do
  if [ -d "$dir" ]; then inputs+=("$dir"); fi
done
exec "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/$target-" "${inputs[@]}"
