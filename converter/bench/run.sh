#!/usr/bin/env bash
# Times VkExf.dll under Wine against native cjpeg on one A4 page at 600 dpi
# (4960x7016, 24-bit), at quality 25 and 75, and reports the converter's
# peak memory. Prints figures only; nothing here passes or fails.
#   converter/bench/run.sh [BUILD_DIR]   (default: build, the project's tree)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
run=$build/win32/converter/driver/vkexf-run.exe
dll=$root/dist/VkExf.dll
[[ -f $run && -f $dll ]] || { echo "build the project first (no $run or $dll)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
width=4960 height=7016 repeats=3
perl "$root/converter/bench/make-bmp.pl" $width $height 23622 "$work/page.bmp"
echo "image: ${width}x${height}, $(($(stat -c %s "$work/page.bmp") / 1024 / 1024)) MiB BMP"
"$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/page.bmp" "Z:$work/warm.jpg" 75 >/dev/null

field() { sed -n "s/^$1 //p" "$2"; }
best() { sort -n | head -n1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

for quality in 25 75; do
  call=() process=() native=()
  for ((i = 0; i < repeats; ++i)); do
    /usr/bin/time -f '%e %M' -o "$work/time" \
      "$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/page.bmp" "Z:$work/vkexf.jpg" $quality >"$work/out"
    call+=("$(field seconds "$work/out")")
    read -r wall rss <"$work/time"
    process+=("$wall")
    /usr/bin/time -f '%e %M' -o "$work/ctime" cjpeg -quality $quality -outfile "$work/cjpeg.jpg" "$work/page.bmp"
    read -r cwall crss <"$work/ctime"
    native+=("$cwall")
  done
  c=$(printf '%s\n' "${call[@]}" | best)
  p=$(printf '%s\n' "${process[@]}" | best)
  n=$(printf '%s\n' "${native[@]}" | best)
  echo "quality $quality: VkExf_Entry ${c}s (whole Wine process ${p}s), cjpeg ${n}s," \
    "ratio $(ratio "$c" "$n") (process $(ratio "$p" "$n"))"
  echo "  sizes: VkExf $(stat -c %s "$work/vkexf.jpg") bytes, cjpeg $(stat -c %s "$work/cjpeg.jpg") bytes"
  echo "  memory: peak working set $(field peak_working_set_kib "$work/out") KiB" \
    "(before the call $(field working_set_before_kib "$work/out") KiB)," \
    "peak private $(field peak_private_kib "$work/out") KiB" \
    "(before $(field private_before_kib "$work/out") KiB); Wine process max RSS ${rss} KiB; cjpeg max RSS ${crss} KiB"
done
