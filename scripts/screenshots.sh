#!/usr/bin/env bash
# Captures the About box and the compression dialog as docs/about-dialog.png
# and docs/compression-dialog.png. Builds nothing: expects a finished build in
# BUILD_DIR (default build/). Starts Xvfb when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
shots=$build/win32/tests/dialog_shots.exe
[ -f "$shots" ] || { echo "no $shots: build first" >&2; exit 1; }
# A prefix of its own in which Wine draws the window frames itself: with no
# window manager on the display, nothing else would draw the captions.
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix-screenshots}
export WINEDEBUG=-all

xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"

"$root/scripts/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
# Debian's Wine does not look where fonts-wine puts Wine's own fonts; without
# them the dialogs would show in DejaVu with letters for the caption buttons.
ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# The program prints the dialog's rectangle once it is drawn and closes the
# dialog when told on its input.
capture() {
  local which=$1 output=$2 x y width height
  coproc shot { "$root/scripts/wine-run.sh" "$shots" "$which"; }
  read -r x y width height <&"${shot[0]}"
  height=${height%$'\r'}
  import -window root -crop "${width}x${height}+${x}+${y}" +repage -strip \
    -define png:exclude-chunks=date,time "$output"
  echo close >&"${shot[1]}"
  wait "$shot_PID"
  echo "$output"
}

mkdir -p "$root/docs"
capture about "$root/docs/about-dialog.png"
capture compression "$root/docs/compression-dialog.png"
