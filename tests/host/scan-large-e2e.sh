#!/usr/bin/env bash
# The largest page the host is built for: an A4 page at 1200 dpi
# (9920 x 14032) in 48-bit colour from a 16-bit PPM, through vlscan.exe,
# VLEXIF.dll and VkExf.dll under Wine. The scan must succeed, the JPEG must
# decode to the page's size, and the host must hold the page only once.
# It runs in the end-to-end scans' Wine prefix (scan-e2e.sh prepare).
#   scan-large-e2e.sh WORK VLCHART WINEPREFIX
set -euo pipefail

work=$1
vlchart=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
vlscan=$root/scripts/vlscan
export WINEPREFIX=$3
unset DISPLAY WAYLAND_DISPLAY

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

width=9920
height=14032
rm -rf "$work"
mkdir -p "$work"
# The picture alone is 835 MB: nothing large stays behind.
trap 'rm -f "$work/a4.ppm" "$work/a4.jpg"' EXIT
# A 20-byte file whose picture, 65536 x 65536 x 3 samples, wraps 32-bit sizes
# to nothing is refused with its cause, not read into a page too small.
printf 'P6\n65536 65536\n65535\n' > "$work/wrap.ppm"
status=0
"$vlscan" scan "$work/wrap.ppm" "$work/wrap.jpg" --quiet 2> "$work/wrap.err" || status=$?
[[ $status -eq 1 ]] && grep -q "the file ends before the picture does" "$work/wrap.err" ||
  fail "a wrapping header: exit $status, $(cat "$work/wrap.err")"

"$vlchart" "$work/a4.ppm" --size "${width}x$height" --pattern chart --depth 16

"$vlscan" scan "$work/a4.ppm" "$work/a4.jpg" --format rgb48 --dpi 1200 --block-lines 128 --rate 25 \
  --stats --quiet > "$work/scan.out" 2> "$work/scan.err" ||
  fail "the scan failed: $(cat "$work/scan.err")"
cat "$work/scan.out"

# Decoding the whole stream at an eighth of the size proves it complete.
djpeg -scale 1/8 -outfile "$work/small.ppm" "$work/a4.jpg" || fail "the JPEG does not decode"
size=$(exiftool -s -s -s -FileType -ImageWidth -ImageHeight -XResolution "$work/a4.jpg" | tr '\n' ' ')
[[ $size == "JPEG $width $height 1200 " ]] || fail "the output is '$size', not a $width x $height JPEG at 1200 dpi"
[[ $(head -c 20 "$work/small.ppm" | sed -n 2p) == "$((width / 8)) $((height / 8))" ]] ||
  fail "the JPEG decodes to $(head -c 20 "$work/small.ppm" | sed -n 2p)"
rm -f "$work/small.ppm"

# 9920 x 14032 pixels of 6 bytes are 835,207,680 bytes (815,632 KiB). The
# picture is read a line at a time, so beyond the page there is only the
# program and the plug-in's one block.
peak=$(tr -d "\r" < "$work/scan.out" | sed -n "s/^peak working set \([0-9]*\) KiB, peak private [0-9]* KiB$/\1/p")
[[ -n $peak ]] || fail "no memory figures from --stats"
((peak < 815632 + 200 * 1024)) || fail "peak working set ${peak} KiB: more than one copy of the page"
spools=$(find "$WINEPREFIX/drive_c" -iname '~TF*.tmp' 2>/dev/null)
[[ -z $spools ]] || fail "spool files left behind: $spools"
echo "scanned ${width}x$height rgb48, peak working set ${peak} KiB"
