#!/usr/bin/env bash
# Kills a conversion with SIGTERM and with SIGHUP while the converter writes
# the JPEG, and checks that the output folder holds only what it held
# before, the JPEG it was to replace unchanged. Then kills conversions the
# instant their temporary file appears, before it can be marked for
# deletion, and checks that the next conversion into the folder removes
# whatever they left, but no file it does not own.
#   check-kill.sh VKEXF_RUN.exe VkExf.dll
set -euo pipefail
run=$1 dll=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

# A4 at 600 dpi: a conversion long enough (a tenth of a second) to be caught
# while it writes, even on a busy machine.
perl "$root/bench/converter/make-bmp.pl" 4960 7016 23622 "$work/page.bmp"
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

# The instant the file appears; a file left from a conversion killed long ago
# stands in for the kills that land before the mark.
# Files that earlier tries left are not this try's.
appeared() { [[ -n $(comm -13 <(echo "$1") <(compgen -G "$work/out/~vkx*.tmp" || true)) ]]; }
for ((try = 0; try < 6; ++try)); do
  before=$(compgen -G "$work/out/~vkx*.tmp" || true)
  "$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/page.bmp" "Z:$work/out/page.jpg" 75 >/dev/null 2>&1 &
  pid=$!
  until appeared "$before"; do
    kill -0 $pid 2>/dev/null || fail "try $try: the conversion ended before it could be killed"
  done
  kill -TERM $pid
  wait $pid || true
done
# Only files no one holds any more can go: let the Wine server close the
# killed processes' handles first.
sleep 0.2
echo "$(compgen -G "$work/out/~vkx*.tmp" | wc -l) temporary file(s) outlived the kills"
: >"$work/out/~vkx0000ABCD.tmp"
: >"$work/out/~vkx-keep.tmp"
"$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/page.bmp" "Z:$work/out/page.jpg" 75 >/dev/null 2>&1 ||
  fail "the conversion after the kills failed"
[[ $(ls -A "$work/out" | xargs) == "page.jpg ~vkx-keep.tmp" ]] ||
  fail "after kills at the first instant the folder holds: $(ls -A "$work/out" | xargs)"
[[ $(head -c 2 "$work/out/page.jpg" | od -An -tx1 | tr -d ' ') == ffd8 ]] || fail "page.jpg is not the new JPEG"
echo "killed at the first instant: the next conversion removed what was left"
