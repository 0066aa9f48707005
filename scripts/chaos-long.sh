#!/usr/bin/env bash
# Long chaos run: builds the tree, then runs SEQUENCES random command
# sequences (default 10000) from SEED (default today's date) against the
# staged plug-in under Wine without a display, 1000 sequences per process.
# Every violation prints the sequence and how to replay it alone; the log of
# the whole run is build/chaos/SEED.log. Exits non-zero on any violation.
# Usage: scripts/chaos-long.sh [SEQUENCES [SEED]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sequences=${1:-10000}
seed=${2:-$(date +%Y%m%d)}

bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build

# shellcheck source=scripts/lib/wine-env.sh
. "$root/scripts/lib/wine-env.sh"
unset DISPLAY
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p || true  # already running: keep it

mkdir -p build/chaos
log=build/chaos/$seed.log
: >"$log"
chunk=1000
failed=0
for ((first = 0; first < sequences; first += chunk)); do
  count=$((sequences - first < chunk ? sequences - first : chunk))
  if ! wine build/win32/tests/chaos_host.exe "Z:$root/build/win32/tests/stage" \
    --seed "$seed" --first "$first" --sequences "$count" >>"$log" 2>&1; then
    failed=1
  fi
  tail -n 1 "$log"
done

calls=$(awk '/ sequences from .* calls, seed/ { sum += $5 } END { print sum + 0 }' "$log")
violations=$(grep -c VIOLATION "$log" || true)
echo "seed $seed: $sequences sequences, $calls calls, $violations violations (log: $log)"
exit "$failed"
