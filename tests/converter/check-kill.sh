#!/usr/bin/env bash
# Kills a conversion with SIGTERM and with SIGHUP while the converter writes
# the JPEG, and checks that the output folder holds only what it held
# before, the JPEG it was to replace unchanged.
#   check-kill.sh VKEXF_RUN.exe VkExf.dll
set -euo pipefail
run=$1 dll=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

perl "$root/bench/converter/make-bmp.pl" 2480 3508 11811 "$work/page.bmp"
mkdir "$work/out"
echo old >"$work/out/page.jpg"

for signal in TERM HUP; do
  "$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/page.bmp" "Z:$work/out/page.jpg" 75 >/dev/null 2>&1 &
  pid=$!
  until [[ -n $(find "$work/out" -name '~vkx*.tmp' -size +0c) ]]; do
    kill -0 $pid 2>/dev/null || fail "SIG$signal: the conversion ended before it could be killed"
    sleep 0.002
  done
  kill -$signal $pid
  wait $pid && fail "SIG$signal: the conversion was not stopped" || true
  # The Wine server closes the dead process's handles a moment later.
  for ((i = 0; i < 100; ++i)); do
    [[ $(ls -A "$work/out") == page.jpg ]] && break
    sleep 0.02
  done
  [[ $(ls -A "$work/out") == page.jpg ]] || fail "SIG$signal left: $(ls -A "$work/out" | xargs)"
  [[ $(cat "$work/out/page.jpg") == old ]] || fail "SIG$signal: page.jpg changed"
  echo "SIG$signal during the write: nothing left behind, page.jpg intact"
done
