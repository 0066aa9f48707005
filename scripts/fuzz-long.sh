#!/usr/bin/env bash
# Long fuzzing runs: builds fuzz/ with clang in build-fuzz/ and runs every
# target (or those named) for SECONDS each, default 600, one after another.
# The corpus grows in build-fuzz/runs/corpus/ and is reused by the next run;
# crash inputs land in build-fuzz/runs/ (copy a fixed one into
# fuzz/regressions/TARGET/ so that ctest replays it).
# Usage: scripts/fuzz-long.sh [SECONDS [TARGET...]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-600}
shift || true

bash scripts/setup.sh
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz

if (($#)); then
  targets=("$@")
else
  targets=()
  for binary in build-fuzz/fuzz_*; do targets+=("${binary#build-fuzz/fuzz_}"); done
fi

failed=0
for target in "${targets[@]}"; do
  log=build-fuzz/runs/$target.log
  mkdir -p build-fuzz/runs
  if fuzz/run.sh "build-fuzz/fuzz_$target" "$seconds" build-fuzz/runs >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: $result, ${executions:-?} executions in ${seconds} s (log: $log)"
done
exit "$failed"
