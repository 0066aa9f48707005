#!/usr/bin/env bash
# End-to-end scans: scripts/vlscan runs dist/vlscan.exe under Wine, which
# drives VLEXIF.dll and VkExf.dll; the JPEG is decoded again and compared with
# the picture the host sent.
#   scan-e2e.sh WORK VLCHART CASE [ARGS...]
# CASE prepare makes the pictures and the Wine prefix in WORK; the other cases
# need it done. Every case exits non-zero with a message on the first fault.
set -euo pipefail

work=$1
vlchart=$2
case_name=$3
shift 3
root=$(cd "$(dirname "$0")/../.." && pwd)
vlscan=$root/scripts/vlscan

# A prefix of its own: no other test's spool files or registry values here.
export WINEPREFIX=$work/wineprefix
# Without a display the plug-in's error message boxes return at once
# instead of waiting for a click.
unset DISPLAY WAYLAND_DISPLAY

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# PSNR in dB of two pictures ("inf" when equal), luma only with --luma.
psnr() {
  local a=$1 b=$2
  if [[ ${3:-} == --luma ]]; then
    convert "$a" -colorspace gray "$work/luma-a.pgm"
    convert "$b" -colorspace gray "$work/luma-b.pgm"
    a=$work/luma-a.pgm
    b=$work/luma-b.pgm
  fi
  # compare exits 1 when the pictures differ at all; its figure is on stderr.
  compare -metric PSNR "$a" "$b" null: 2>&1 || true
}

expect_psnr_at_least() {
  local figure=$1 floor=$2 what=$3
  awk -v p="$figure" -v f="$floor" 'BEGIN { exit !(p == "inf" || p + 0 >= f) }' ||
    fail "$what: PSNR $figure dB, below $floor dB"
  echo "$what: PSNR $figure dB"
}

exif_tag() {
  exiftool -s -s -s "-$1" "$2"
}

expect_tag() {
  local tag=$1 want=$2 file=$3 got
  got=$(exif_tag "$tag" "$file")
  [[ $got == "$want" ]] || fail "$tag of $file is '$got', expected '$want'"
}

# No spool file in Wine's temp folders and no job values under the host's key.
expect_nothing_left() {
  local spools
  spools=$(find "$WINEPREFIX/drive_c" -iname '~TF*.tmp' 2>/dev/null)
  [[ -z $spools ]] || fail "spool files left behind: $spools"
  local values
  values=$(WINEDEBUG=-all wine reg query 'HKCU\Software\VLScan\EXIF' 2>/dev/null | tr -d '\r')
  for name in TempFile ImageFormat LoopCount 'Palette Num' Palette; do
    grep -Eq "^ *$name +REG_" <<<"$values" && fail "registry value '$name' left behind"
  done
  return 0
}

# Until the scan of process $1 has begun its image (its spool file exists).
wait_for_spool() {
  for _ in $(seq 300); do
    [[ -n $(find "$WINEPREFIX/drive_c" -iname '~TF*.tmp' 2>/dev/null) ]] && return 0
    kill -0 "$1" 2> /dev/null || fail "the scan ended before its image began"
    sleep 0.1
  done
  fail "no spool file after 30 s"
}

decode() {
  djpeg -outfile "$2" "$1" || fail "djpeg cannot decode $1"
}

case $case_name in
prepare)
  rm -rf "$work"
  mkdir -p "$work"
  # Odd width: the padded strides differ from the packed line lengths.
  "$vlchart" "$work/smooth.png" --size 333x250 --pattern smooth
  "$vlchart" "$work/smooth16.ppm" --size 333x250 --pattern smooth --depth 16
  convert "$work/smooth16.ppm" -depth 16 "$work/smooth16.png"
  "$vlchart" "$work/grey.png" --size 333x250 --pattern smooth --grey
  # Tall and narrow, sent a line at a time: a job long enough to interrupt.
  "$vlchart" "$work/tall.png" --size 800x12000 --pattern smooth
  # Starts the prefix and checks the plug-in describes itself.
  "$vlscan" describe > "$work/describe.txt" || fail "describe failed"
  grep -q "JPEG image with EXIF data" "$work/describe.txt" || fail "describe: $(cat "$work/describe.txt")"
  grep -q "Compression rate" "$work/describe.txt" || fail "describe has no summary"
  ;;

format)
  # format FORMAT INPUT FLOOR [--luma] [extra scan options...]
  format=$1 input=$work/$2 floor=$3
  shift 3
  metric=
  if [[ ${1:-} == --luma ]]; then
    metric=--luma
    shift
  fi
  name=$format-${input##*/}
  out=$work/$name.jpg
  reference=$work/$name-sent.ppm
  rm -f "$out"
  "$vlscan" scan "$input" "$out" --format "$format" --rate 5 --dpi 200 --block-lines 32 \
    --make Varlo --model "VS-$format" --reference "$reference" "$@" || fail "scan to $format failed"
  decode "$out" "$work/$name-back.ppm"
  expect_psnr_at_least "$(psnr "$reference" "$work/$name-back.ppm" $metric)" "$floor" "$name${metric:+ (luma)}"
  expect_tag Software "VARLO EXIF Plug-in Version 1.00E" "$out"
  expect_tag XResolution 200 "$out"
  expect_tag YResolution 200 "$out"
  expect_tag ExifImageWidth 333 "$out"
  expect_tag ExifImageHeight 250 "$out"
  expect_tag Make Varlo "$out"
  expect_tag Model "VS-$format" "$out"
  expect_nothing_left
  ;;

default-format)
  # Colour input goes out as rgb24, grey input as gray8.
  for picture in smooth grey; do
    "$vlscan" scan "$work/$picture.png" "$work/default-$picture.jpg" > "$work/default-$picture.txt" ||
      fail "scan of $picture.png failed"
  done
  grep -q " rgb24," "$work/default-smooth.txt" || fail "colour input: $(cat "$work/default-smooth.txt")"
  grep -q " gray8," "$work/default-grey.txt" || fail "grey input: $(cat "$work/default-grey.txt")"
  ;;

block-order)
  # Every order of the blocks makes the same JPEG pixels.
  for order in top-down bottom-up random; do
    "$vlscan" scan "$work/smooth.png" "$work/order-$order.jpg" --format indexed4 --block-lines 7 \
      --order "$order" --seed 3 --rate 5 --quiet > /dev/null || fail "scan in $order order failed"
    decode "$work/order-$order.jpg" "$work/order-$order.ppm"
  done
  cmp -s "$work/order-top-down.ppm" "$work/order-bottom-up.ppm" || fail "bottom-up differs from top-down"
  cmp -s "$work/order-top-down.ppm" "$work/order-random.ppm" || fail "random differs from top-down"
  expect_nothing_left
  ;;

refused-format)
  out=$work/refused.jpg
  rm -f "$out"
  if "$vlscan" scan "$work/grey.png" "$out" --format gray4 2> "$work/refused.err"; then
    fail "a 4-bit grey scan was accepted"
  fi
  grep -q "StatusBadFormat (209)" "$work/refused.err" || fail "no status named: $(cat "$work/refused.err")"
  [[ ! -e $out ]] || fail "output written for a refused format"
  expect_nothing_left
  ;;

converter-fails)
  out=$work/no-such-folder/out.jpg
  if "$vlscan" scan "$work/smooth.png" "$out" 2> "$work/converter.err"; then
    fail "a scan into a missing folder succeeded"
  fi
  grep -q "CmdFinish failed: StatusCreateFailed (202)" "$work/converter.err" ||
    fail "unexpected message: $(cat "$work/converter.err")"
  [[ ! -e $work/no-such-folder ]] || fail "the missing folder was created"
  expect_nothing_left
  ;;

bad-input)
  if "$vlscan" scan "$work/no-such-picture.png" "$work/x.jpg" 2> "$work/input.err"; then
    fail "a missing input was scanned"
  fi
  grep -q "cannot read" "$work/input.err" || fail "unexpected message: $(cat "$work/input.err")"
  [[ ! -e $work/x.jpg ]] || fail "output written without input"
  ;;

concurrent)
  # A second scan while one is under way waits for it: the plug-in keeps the
  # job's state under the host's registry key, which the two would share.
  "$vlscan" scan "$work/tall.png" "$work/long.jpg" --block-lines 1 --quiet > /dev/null 2> "$work/long.err" &
  long=$!
  wait_for_spool "$long"
  "$vlscan" scan "$work/smooth.png" "$work/short.jpg" --format indexed8 --quiet > /dev/null 2> "$work/short.err" ||
    fail "the second scan failed: $(cat "$work/short.err")"
  wait "$long" || fail "the first scan failed: $(cat "$work/long.err")"
  grep -q "waiting for another scan" "$work/short.err" || fail "the second scan did not wait"
  for picture in long short; do
    expect_tag ExifImageWidth "$(identify -format %w "$work/$picture.jpg")" "$work/$picture.jpg"
  done
  expect_nothing_left
  ;;

interrupt)
  # Ctrl+C once the spool file exists: the job is aborted, nothing is left.
  out=$work/interrupted.jpg
  rm -f "$out"
  "$vlscan" scan "$work/tall.png" "$out" --block-lines 1 --order random --quiet \
    > "$work/interrupt.out" 2> "$work/interrupt.err" &
  job=$!
  wait_for_spool "$job"
  kill -INT "$job" 2> /dev/null || fail "the scan ended before it could be interrupted"
  status=0
  wait "$job" || status=$?
  [[ $status -eq 130 ]] || fail "exit status $status after Ctrl+C: $(cat "$work/interrupt.err")"
  grep -q "interrupted" "$work/interrupt.err" || fail "no word of the interrupt"
  [[ ! -e $out ]] || fail "output written after Ctrl+C"
  expect_nothing_left
  ;;

*)
  fail "unknown case $case_name"
  ;;
esac
