#!/usr/bin/env bash
# Whole scans of an A4 page through scripts/vlscan at 600 dpi (4960x7016) and
# 1200 dpi (9920x14032), once per format: wall time and peak memory of the
# Wine process, and the host's own figures (--stats: how the time divides
# between the host reading and converting the picture, the plug-in before
# finish and the converter at finish; the process's peak working set and
# peak private bytes). The input is a PPM, which the host reads a line at a
# time (16-bit for rgb48 and gray16); one rgb24 scan per size reads a PNG,
# which is decoded a line at a time too.
#   bench/host/scan-a4.sh [DPI...]     (default: 600 1200)
#   FORMATS="rgb24 bilevel" bench/host/scan-a4.sh 1200
# Prints figures; it checks nothing. Needs a build (VLEXIF_BUILD_DIR, default
# build/) and about 2 GB in the temporary folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/${VLEXIF_BUILD_DIR:-build}
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
unset DISPLAY WAYLAND_DISPLAY
sizes=("$@")
((${#sizes[@]})) || sizes=(600 1200)
read -r -a formats <<< "${FORMATS:-rgb24 rgb48 gray8 gray16 indexed8 indexed4 indexed1 bilevel}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wine's first start in a prefix is not part of a scan.
"$root/scripts/vlscan" describe > /dev/null

scan() { # INPUT FORMAT DPI
  local input=$1 format=$2 dpi=$3 wall maxrss
  /usr/bin/time -f '%e %M' -o "$work/time" \
    "$root/scripts/vlscan" scan "$input" "$work/a4.jpg" --format "$format" --dpi "$dpi" --block-lines 64 \
    --rate 25 --stats --quiet > "$work/stats" 2>&1 || { echo "$format from ${input##*/}: FAILED: $(cat "$work/stats")"; return; }
  read -r wall maxrss < "$work/time"
  # The host's own peaks, from --stats.
  local peaks
  peaks=$(sed -n 's/^peak working set \([0-9]*\) KiB, peak private \([0-9]*\) KiB.*/\1 \2/p' "$work/stats")
  local times
  times=$(sed -n 's/^host \([0-9.]*\) s.*plug-in \([0-9.]*\) s.*converter \([0-9.]*\) s.*/\1 \2 \3/p' "$work/stats")
  printf '%-9s %-12s %7s s  host %6s s  plug-in %6s s  converter %6s s  working set %5d MiB  private %5d MiB  RSS %5d MiB\n' \
    "$format" "${input##*/}" "$wall" $times $(( ${peaks% *} / 1024 )) $(( ${peaks#* } / 1024 )) $((maxrss / 1024))
}

for dpi in "${sizes[@]}"; do
  width=$((4960 * dpi / 600))
  height=$((7016 * dpi / 600))
  "$build/host/chart/vlchart" "$work/a4.ppm" --size "${width}x$height" --pattern chart
  "$build/host/chart/vlchart" "$work/a4-16.ppm" --size "${width}x$height" --pattern chart --depth 16
  echo
  echo "A4 at $dpi dpi, ${width}x$height, rate 25 (quality 75), 64-line blocks; wall time of the whole run"
  for format in "${formats[@]}"; do
    input=$work/a4.ppm
    [[ $format == rgb48 || $format == gray16 ]] && input=$work/a4-16.ppm
    scan "$input" "$format" "$dpi"
  done
  rm -f "$work/a4-16.ppm"
  "$build/host/chart/vlchart" "$work/a4.png" --size "${width}x$height" --pattern chart
  scan "$work/a4.png" rgb24 "$dpi"
  rm -f "$work/a4.ppm" "$work/a4.png" "$work/a4.jpg"
done
