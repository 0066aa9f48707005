#!/usr/bin/env bash
# Runs one fuzz target for a number of seconds: its seeds (written beside the
# binary by make-seeds.pl at build time), the inputs in fuzz/regressions/
# that once failed, and the corpus earlier runs grew, then new inputs, kept
# in WORK/corpus/TARGET, with the target's dictionary in fuzz/dictionaries/
# where it has one. A crash input lands in WORK as TARGET-crash-*; the exit
# status is then non-zero. A target without seeds is refused.
# Usage: fuzz/run.sh FUZZ_BINARY SECONDS WORK
set -euo pipefail
binary=$1
seconds=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
target=$(basename "$binary")
target=${target#fuzz_}
seeds=$(dirname "$binary")/seeds/$target

if [ -z "$(ls -A "$seeds" 2>/dev/null)" ]; then
  echo "no seeds for $target in $seeds: fuzz/make-seeds.pl writes none" >&2
  exit 1
fi
mkdir -p "$work/corpus/$target"
inputs=("$work/corpus/$target" "$seeds")
if [ -d "$here/regressions/$target" ]; then inputs+=("$here/regressions/$target"); fi
options=()
if [ -f "$here/dictionaries/$target.dict" ]; then options+=("-dict=$here/dictionaries/$target.dict"); fi
exec "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/$target-" "${options[@]}" "${inputs[@]}"
