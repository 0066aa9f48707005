#!/usr/bin/env bash
# Sizes of near-grey pages by the colour test: an A4 page at 300 dpi as a
# colour scan of printed text gives it (make-scan.pl: cream paper, the
# sensor's noise of NOISE a channel, a contact-image sensor's fringes),
# converted with the exact test (colour, since no scanner gives R = G = B),
# the tolerant one (grey) and, as the plug-in sends a grey scan of the same
# page, its luma with R = G = B, at quality 75, 90 and 95. Figures only.
#   bench/converter/colour-sizes.sh [BUILD_DIR [NOISE...]]   (default: build, 4 2)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
shift || true
noises=(4 2)
[[ $# -eq 0 ]] || noises=("$@")
driver=$build/win32/converter/driver/vkexf-run.exe
dll=$root/dist/VkExf.dll
[[ -f $driver && -f $dll ]] || { echo "build the project first (no $driver or $dll)" >&2; exit 1; }
# shellcheck source=scripts/lib/wine-env.sh
. "$root/scripts/lib/wine-env.sh"
unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

size() { stat -c %s "$1"; }
echo "| noise | quality | exact | auto | sent grey | exact/auto | auto/sent grey |"
echo "|---|---|---|---|---|---|---|"
for noise in "${noises[@]}"; do
    "$root/bench/converter/make-scan.pl" 2480 3508 11811 "$noise" "$work/scan.bmp"
    "$root/bench/converter/make-scan.pl" 2480 3508 11811 "$noise" "$work/grey.bmp" grey
    for quality in 75 90 95; do
        for mode in exact auto; do
            wine "$driver" --colour "$mode" "$dll" "$work/scan.bmp" "$work/$mode.jpg" "$quality" > /dev/null
        done
        wine "$driver" "$dll" "$work/grey.bmp" "$work/grey.jpg" "$quality" > /dev/null
        awk -v n="$noise" -v q="$quality" -v e="$(size "$work/exact.jpg")" -v a="$(size "$work/auto.jpg")" \
            -v g="$(size "$work/grey.jpg")" \
            'BEGIN { printf "| %s | %s | %.2f MB | %.2f MB | %.2f MB | %.2f | %.4f |\n", n, q, e / 1e6, a / 1e6, g / 1e6, e / a, a / g }'
    done
done
