#!/usr/bin/env bash
# Makes DIR a new Wine prefix: a copy of a pristine one, made once per build
# tree beside the build's own prefix. wineboot takes some 15 s; the copy,
# well under one.
#   scripts/wine-prefix.sh DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
pristine=$root/build/wineprefix-pristine
mkdir -p "$root/build" "$(dirname "$dir")"
(
  # Tests running side by side may ask at once: one makes it, the others wait.
  flock 9
  if [[ ! -f $pristine/system.reg ]]; then
    rm -rf "$pristine"
    WINEPREFIX=$pristine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= wineboot -i
    WINEPREFIX=$pristine wineserver -w
  fi
) 9> "$pristine.lock"
rm -rf "$dir"
cp -a "$pristine" "$dir"
