#!/usr/bin/env bash
# Times VkExf.dll under Wine on A4 pages at 600 and 1200 dpi, a colour page and
# a grey one (R = G = B), at quality 75 and 95, against anchors built for the
# same platform: libjpeg-turbo's tjbench and cjpeg as 32-bit Windows programs
# from the source and settings of the library the converter links
# (build-anchors.sh builds them once). Debian's native 64-bit tjbench and cjpeg
# run beside them for information only: a 64-bit build has twice the registers
# and a 64-bit Huffman bit buffer, which the converter cannot have.
#
# Each round runs every program once, in turn, so a busy spell on the shared
# machine hits them alike; the figures are medians of RUNS rounds. tjbench
# compresses the page in memory on one thread (the converter's sampling for the
# quality: 4:2:0 below 90, 4:4:4 from 90 up, or grey for the grey page) and
# prints throughput, turned here into seconds for the page. VkExf's
# times are its own (the driver's clock around the call), with all processors
# and with one, so one worker; cjpeg's include reading the BMP, as VkExf's do,
# and for cjpeg.exe less the median start of a Wine process (cjpeg.exe
# -version), which VkExf's own clock does not see either. One wineserver serves
# the whole run, so no time includes a server's start. The grey page's anchors
# write grey JPEGs, as VkExf does for it, and cjpeg samples chroma as VkExf does
# (-sample 1x1 from quality 90). Sizes: VkExf's JPEG (with its EXIF and
# thumbnail) against cjpeg.exe -optimize at the same quality and sampling.
# Memory: each program's peak resident size, Wine's own included for the
# Windows programs (what Windows calls VkExf's peak working set comes to the
# same under Wine).
# The floor a conversion is held to: half of tjbench.exe's time (its
# compression shared by two processors; all of it for one worker) plus one
# read of the page as the converter reads it (read_page.exe, one thread, a
# megabyte at a time), which tjbench, compressing from memory, never pays.
# VkExf writes a new file each time, as the scan of a new page does;
# replacing a file adds its flush to the disk.
# Nothing here passes or fails.
#   bench/converter/run.sh [BUILD_DIR [RUNS]]   (default: build, 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-5}
driver=$build/win32/converter/driver/vkexf-run.exe
reader=$build/win32/bench/converter/read_page.exe
dll=$root/dist/VkExf.dll
[[ -f $driver && -f $reader && -f $dll ]] || { echo "build the project first (no $driver or $dll)" >&2; exit 1; }
anchors=$("$root/bench/converter/build-anchors.sh")/bin

# shellcheck source=scripts/lib/wine-env.sh
. "$root/scripts/lib/wine-env.sh"
unset DISPLAY WAYLAND_DISPLAY
work=$(mktemp -d)
# One persistent wineserver for every Wine run below, so that no time includes
# a server's start. A server already running (another Wine program in this
# prefix) would exit when idle between runs: it is waited for first. The one
# started here is stopped at the end.
echo "waiting for any wineserver of $WINEPREFIX to exit (wineserver -k stops it)" >&2
wineserver -w
wineserver -p
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
largest() { sort -g | tail -n1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }
kib() { echo $(($(stat -c %s "$1") / 1024)); }
field() { sed -n "s/^$1 //p" "$work/out" | tr -d '\r'; }

# Every round's figures, a list per figure and page: "FIGURE_DPI_KIND_QUALITY".
declare -A sampled
record() { sampled[$1]+=" $2"; }
samples() {
  local values
  read -ra values <<<"${sampled[$1]}"
  printf '%s\n' "${values[@]}"
}

# Runs a program under GNU time; its wall seconds and peak resident KiB in
# $work/time.
timed() { /usr/bin/time -f '%e %M' -o "$work/time" "$@"; }

# One conversion into a new file, as a scan of a new page makes: "seconds
# processor-seconds max-RSS-KiB". (Replacing a file adds its flush to the disk.)
run_vkexf() {
  local quality=$1 page=$2
  shift 2
  rm -f "$work/vkexf.jpg"
  timed wine "$driver" "$@" "Z:$dll" "Z:$page" "Z:$work/vkexf.jpg" "$quality" >"$work/out"
  echo "$(field seconds) $(field processor_seconds) $(cut -d' ' -f2 "$work/time")"
}

# One tjbench run (the command given: native or under Wine): "seconds max-RSS-KiB".
run_tjbench() {
  local quality=$1 subsamp=$2 page=$3 pixels=$4
  shift 4
  timed "$@" "$page" "$quality" -subsamp "$subsamp" -benchtime 1 -warmup 0.5 -componly -nowrite -quiet \
    >"$work/tj" 2>&1
  # The quiet line: format, (TD), subsampling, quality, width, height, Mpixels/s, ratio, N/A.
  awk -v n="$pixels" -v rss="$(cut -d' ' -f2 "$work/time")" \
    '$1 == "BGR" { printf "%.4f %s\n", n / ($(NF - 2) * 1e6), rss }' "$work/tj"
}

# One cjpeg run (the command given): "seconds max-RSS-KiB".
run_cjpeg() {
  timed "$@" >"$work/cj" 2>&1
  cat "$work/time"
}

echo "processors: $(nproc), load average $(cut -d' ' -f1-3 /proc/loadavg); medians of $runs rounds"
echo "anchors: $(<"$anchors/../.source") for mingw-w64 i686 in $anchors; native: $(cjpeg -version 2>&1 | head -n1)"
times="| page | q | VkExf | its processor time | one worker | tjbench.exe | one read | cjpeg.exe | VkExf/tjbench.exe | one worker/tjbench.exe | VkExf/floor | one worker/floor | native tjbench | native cjpeg |
|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"
sizes="| page | q | VkExf JPEG | cjpeg.exe -optimize | ratio | VkExf | one worker | tjbench.exe | cjpeg.exe | native tjbench | native cjpeg |
|---|---|---|---|---|---|---|---|---|---|---|"

for dpi in 600 1200; do
  width=$((4960 * dpi / 600)) height=$((7016 * dpi / 600)) ppm=$((23622 * dpi / 600))
  for kind in colour grey; do
    page=$work/$kind.bmp
    perl "$root/bench/converter/make-bmp.pl" $width $height $ppm "$page" $([[ $kind == grey ]] && echo grey)
    # Warms the page cache and Wine's loading of each program.
    run_vkexf 75 "$page" >/dev/null
    run_tjbench 75 GRAY "Z:$page" 1 wine "$anchors/tjbench.exe" >/dev/null
    for quality in 75 95; do
      key=${dpi}_${kind}_$quality
      # The converter's sampling: grey, or chroma whole from quality 90 up.
      if [[ $kind == grey ]]; then
        subsamp=GRAY sampling=(-grayscale)
      elif ((quality >= 90)); then
        subsamp=444 sampling=(-sample 1x1)
      else
        subsamp=420 sampling=()
      fi
      for ((i = 0; i < runs; ++i)); do
        read -r all p r < <(run_vkexf $quality "$page")
        record "all_$key" "$all"; record "allCpu_$key" "$p"; record "allRss_$key" "$r"
        read -r one p r < <(run_vkexf $quality "$page" --processors 1)
        record "one_$key" "$one"; record "oneRss_$key" "$r"
        read -r tj r < <(run_tjbench $quality $subsamp "Z:$page" $((width * height)) wine "$anchors/tjbench.exe")
        record "tj_$key" "$tj"; record "tjRss_$key" "$r"
        read=$(wine "$reader" "Z:$page" | tr -d '\r' | sed -n 's/^seconds //p')
        record "read_$key" "$read"
        # The floors: tjbench's compression shared by two processors, or
        # done by one, and one read of the page either way. Each round's
        # own ratio, so that a slow spell of the shared machine that hits
        # one round counts once.
        record "floor_$key" "$(ratio "$all" "$(awk -v t="$tj" -v r="$read" 'BEGIN { print t / 2 + r }')")"
        record "floor1_$key" "$(ratio "$one" "$(awk -v t="$tj" -v r="$read" 'BEGIN { print t + r }')")"
        read -r s r < <(run_cjpeg wine "$anchors/cjpeg.exe" -quality $quality "${sampling[@]}" -outfile "Z:$work/cjpeg.jpg" "Z:$page")
        record "cj_$key" "$s"; record "cjRss_$key" "$r"
        read -r s r < <(run_cjpeg wine "$anchors/cjpeg.exe" -version)
        record "start_$key" "$s"
        read -r s r < <(run_tjbench $quality $subsamp "$page" $((width * height)) tjbench)
        record "tj64_$key" "$s"; record "tj64Rss_$key" "$r"
        read -r s r < <(run_cjpeg cjpeg -quality $quality "${sampling[@]}" -outfile "$work/cjpeg.jpg" "$page")
        record "cj64_$key" "$s"; record "cj64Rss_$key" "$r"
      done
      wine "$anchors/cjpeg.exe" -quality $quality "${sampling[@]}" -optimize -outfile "Z:$work/optimized.jpg" "Z:$page"

      all=$(samples "all_$key" | median) one=$(samples "one_$key" | median) tj=$(samples "tj_$key" | median)
      read=$(samples "read_$key" | median)
      cj=$(awk -v c="$(samples "cj_$key" | median)" -v s="$(samples "start_$key" | median)" \
        'BEGIN { printf "%.3f", c - s }')
      row="| $dpi dpi $kind | $quality ${subsamp/GRAY/grey}"
      times+=$'\n'"$row | ${all} s | $(samples "allCpu_$key" | median) s | ${one} s | ${tj} s | ${read} s | ${cj} s"
      times+=" | $(ratio "$all" "$tj") | $(ratio "$one" "$tj")"
      times+=" | $(samples "floor_$key" | median) | $(samples "floor1_$key" | median)"
      times+=" | $(samples "tj64_$key" | median) s | $(samples "cj64_$key" | median) s |"
      sizes+=$'\n'"$row | $(kib "$work/vkexf.jpg") KiB | $(kib "$work/optimized.jpg") KiB"
      sizes+=" | $(ratio "$(stat -c %s "$work/vkexf.jpg")" "$(stat -c %s "$work/optimized.jpg")")"
      for figure in allRss oneRss tjRss cjRss tj64Rss cj64Rss; do
        sizes+=" | $(mib "$(samples "${figure}_$key" | largest)") MiB"
      done
      sizes+=" |"
      echo "$dpi dpi $kind q$quality done; Wine start $(samples "start_$key" | median) s" \
        "(subtracted from cjpeg.exe), load average $(cut -d' ' -f1-3 /proc/loadavg)"
    done
    rm -f "$page"
  done
done

echo
echo "Times, medians of $runs rounds (against the floors, the median of each round's own ratio); ratios below 1 are the converter ahead"
echo "$times"
echo
echo "JPEG sizes (the last round's), and each program's largest peak resident size"
echo "$sizes"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
