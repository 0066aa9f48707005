#!/usr/bin/env bash
# The whole scan of an A4 page at 600 dpi (4960×7016) through scripts/vlscan,
# once per format: wall time and peak memory of the Wine process, and how the
# time divides between the host (reading and converting the picture), the
# plug-in (every call before finish) and the converter (the finish call).
#   host/bench/scan-a4.sh [FORMAT...]     (default: rgb24 rgb48 indexed8 bilevel)
# Prints figures; it checks nothing. Needs a build (VLEXIF_BUILD_DIR, default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/${VLEXIF_BUILD_DIR:-build}
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
unset DISPLAY WAYLAND_DISPLAY
formats=("$@")
((${#formats[@]})) || formats=(rgb24 rgb48 indexed8 bilevel)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/host/vlchart" "$work/a4.png" --size 4960x7016 --pattern chart
"$build/host/vlchart" "$work/a4-16.ppm" --size 4960x7016 --pattern chart --depth 16
# Wine's first start in a prefix is not part of a scan.
"$root/scripts/vlscan" describe > /dev/null

echo "A4 at 600 dpi, 4960x7016, rate 25 (quality 75), 64-line blocks"
for format in "${formats[@]}"; do
  input=$work/a4.png
  [[ $format == rgb48 || $format == gray16 ]] && input=$work/a4-16.ppm
  /usr/bin/time -f '%e %M' -o "$work/time" \
    "$root/scripts/vlscan" scan "$input" "$work/a4.jpg" --format "$format" --rate 25 --stats --quiet \
    > "$work/stats"
  read -r wall maxrss < "$work/time"
  echo
  echo "$format (from ${input##*/}): ${wall} s wall, peak RSS $((maxrss / 1024)) MiB (wine process, /usr/bin/time)"
  sed 's/^/  /' "$work/stats"
done
