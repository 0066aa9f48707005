#!/usr/bin/env bash
# Long fuzzing runs: builds the fuzz sub-build of the main tree (build/fuzz/,
# clang) and runs every target (or those named) for SECONDS each, default
# 600, one after another. The corpus in build/fuzz/runs/corpus/ is the one
# ctest's short runs grow too; crash inputs land in build/fuzz/runs/ (copy a
# fixed one into fuzz/regressions/TARGET/ so that ctest replays it).
# Usage: scripts/fuzz-long.sh [SECONDS [TARGET...]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-600}
shift || true

bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target fuzz
fuzz=build/fuzz

if (($#)); then
  targets=("$@")
else
  targets=()
  for binary in "$fuzz"/fuzz_*; do targets+=("${binary#"$fuzz"/fuzz_}"); done
fi

failed=0
for target in "${targets[@]}"; do
  log=$fuzz/runs/$target.log
  mkdir -p "$fuzz/runs"
  if fuzz/run.sh "$fuzz/fuzz_$target" "$seconds" "$fuzz/runs" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: $result, ${executions:-?} executions in ${seconds} s (log: $log)"
done
exit "$failed"
