#!/usr/bin/env bash
# Times VkExf.dll under Wine on A4 pages at 600 and 1200 dpi, a colour page
# and a grey one (R = G = B), at quality 25 and 75, alternating in one run
# with native cjpeg on the same BMP, libjpeg-turbo's tjbench compressing the
# same image in memory on one thread (4:2:0, or grey for the grey page), and
# the converter limited to one processor, so to one worker. Prints figures
# and their ratios, best of REPEATS, with the peak memory of each; nothing
# here passes or fails. The converter's processor time (all its threads)
# beside its wall time tells contention from work on a shared machine.
#   bench/converter/run.sh [BUILD_DIR [REPEATS]]   (default: build, 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
repeats=${2:-3}
run=$build/win32/converter/driver/vkexf-run.exe
dll=$root/dist/VkExf.dll
[[ -f $run && -f $dll ]] || { echo "build the project first (no $run or $dll)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

field() { sed -n "s/^$1 //p" "$2" | tr -d '\r'; }
best() { sort -g | head -n1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# One conversion; prints "seconds processor-seconds peak-working-set-above-before-KiB peak-working-set-KiB".
convert() {
  local quality=$1 page=$2; shift 2
  "$root/scripts/wine-run.sh" "$run" "$@" "Z:$dll" "Z:$page" "Z:$work/vkexf.jpg" "$quality" >"$work/out"
  echo "$(field seconds "$work/out") $(field processor_seconds "$work/out")" \
    "$(($(field peak_working_set_kib "$work/out") - $(field working_set_before_kib "$work/out")))" \
    "$(field peak_working_set_kib "$work/out")"
}

echo "processors: $(nproc), load average $(cut -d' ' -f1-3 /proc/loadavg); times are best of $repeats, memory the largest peak"
for dpi in 600 1200; do
  width=$((4960 * dpi / 600)) height=$((7016 * dpi / 600)) ppm=$((23622 * dpi / 600))
  for kind in colour grey; do
    page=$work/$kind.bmp
    perl "$root/bench/converter/make-bmp.pl" $width $height $ppm "$page" $([[ $kind == grey ]] && echo grey)
    subsamp=$([[ $kind == grey ]] && echo GRAY || echo 420)
    # Warms the page cache and Wine.
    convert 75 "$page" >/dev/null
    for quality in 25 75; do
      all=() allCpu=() one=() oneCpu=() allMem=0 oneMem=0 allWs=0 cj=() cjMem=0 tj=() tjMem=0
      for ((i = 0; i < repeats; ++i)); do
        read -r s p m w < <(convert $quality "$page")
        all+=("$s"); allCpu+=("$p"); ((m > allMem)) && allMem=$m; ((w > allWs)) && allWs=$w
        /usr/bin/time -f '%e %M' -o "$work/time" cjpeg -quality $quality -outfile "$work/cjpeg.jpg" "$page"
        read -r s m <"$work/time"; cj+=("$s"); ((m > cjMem)) && cjMem=$m
        /usr/bin/time -f '%M' -o "$work/time" tjbench "$page" $quality -subsamp $subsamp -benchtime 1 \
          -warmup 0.5 -componly -nowrite -quiet >"$work/tj" 2>&1
        perf=$(awk '$1 == "BGR" { print $(NF - 2) }' "$work/tj")
        tj+=("$(awk -v p="$perf" -v n=$((width * height)) 'BEGIN { printf "%.4f", n / (p * 1e6) }')")
        read -r m <"$work/time"; ((m > tjMem)) && tjMem=$m
        read -r s p m w < <(convert $quality "$page" --processors 1)
        one+=("$s"); oneCpu+=("$p"); ((m > oneMem)) && oneMem=$m
      done
      a=$(printf '%s\n' "${all[@]}" | best) o=$(printf '%s\n' "${one[@]}" | best)
      ap=$(printf '%s\n' "${allCpu[@]}" | best) op=$(printf '%s\n' "${oneCpu[@]}" | best)
      c=$(printf '%s\n' "${cj[@]}" | best) t=$(printf '%s\n' "${tj[@]}" | best)
      echo "$dpi dpi ${width}x${height} $kind q$quality:" \
        "VkExf ${a}s (processor ${ap}s), one worker ${o}s (${op}s), tjbench ${t}s, cjpeg ${c}s;" \
        "VkExf/tjbench $(ratio "$a" "$t"), VkExf/cjpeg $(ratio "$a" "$c"), one worker/tjbench $(ratio "$o" "$t")"
      echo "  memory: VkExf peak working set $(mib $allWs) MiB, $(mib $allMem) MiB above the call's start;" \
        "one worker $(mib $oneMem) MiB; tjbench max RSS $(mib $tjMem) MiB, cjpeg $(mib $cjMem) MiB;" \
        "JPEG $(($(stat -c %s "$work/vkexf.jpg") / 1024)) KiB (cjpeg $(($(stat -c %s "$work/cjpeg.jpg") / 1024)) KiB)"
      [[ $kind == colour ]] && eval "colourTj_${dpi}_$quality=$t"
      if [[ $kind == grey ]]; then
        ref=colourTj_${dpi}_$quality
        echo "  grey VkExf / colour tjbench: $(ratio "$a" "${!ref}")"
      fi
    done
    rm -f "$page"
  done
done
