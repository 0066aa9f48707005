#!/usr/bin/env bash
# End-to-end scans: scripts/vlscan runs dist/vlscan.exe under Wine, which
# drives VLEXIF.dll and VkExf.dll; the JPEG is decoded again and compared with
# the picture the host sent.
#   scan-e2e.sh WORK VLCHART CASE [ARGS...]
# CASE prepare makes the pictures and the Wine prefix in WORK and starts its
# server; the other cases need it done, and stop ends the server. Every case
# exits non-zero with a message on the first fault.
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

# The JPEG's tags, each TAG=VALUE, read with one exiftool run (a Perl
# start-up each is most of a format's time otherwise).
expect_tags() {
  local file=$1 pair want= got
  local tags=()
  shift
  for pair in "$@"; do
    tags+=("-${pair%%=*}")
    want+="${pair%%=*}: ${pair#*=}"$'\n'
  done
  got=$(exiftool -s -s -f "${tags[@]}" "$file")$'\n'
  [[ $got == "$want" ]] || fail "the tags of $file are
${got}expected
$want"
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

# The Wine process scripts/vlscan $1 runs: a background job of this script
# starts with SIGINT ignored, so that signal must go to the program itself.
# The Windows program a wrapper started; empty (not a failure) while it has
# none yet.
program_of() {
  pgrep -P "$1" | head -n 1 || true
}

# Runs dist/vlscan.exe (or $VLSCAN_EXE) with TMP and TEMP set to the folder
# $1 (a Unix path): Wine takes them from the prefix, not from the Unix
# environment, so cmd sets them. The other arguments go to vlscan as they are.
vlscan_with_temp() {
  local temp
  temp=$(winepath -w "$1")
  shift
  WINEDEBUG=-all wine cmd /c "set TMP=$temp&& set TEMP=$temp&& $(winepath -w "${VLSCAN_EXE:-$root/dist/vlscan.exe}") $*"
}

# Runs a Windows program, every argument as written, with TMP and TEMP set
# to the Windows path $1.
with_windows_temp() {
  local temp=$1
  shift
  WINEDEBUG=-all wine cmd /c "set TMP=$temp&& set TEMP=$temp&& $*"
}

decode() {
  djpeg -outfile "$2" "$1" || fail "djpeg cannot decode $1"
}

# One format's scan of INPUT (a picture in WORK): the JPEG decodes to what
# the host sent within FLOOR dB (luma only with --luma), its tags are the
# scan's, and nothing is left behind.
#   scan_format FORMAT INPUT FLOOR [--luma] [extra scan options...]
scan_format() {
  local format=$1 input=$work/$2 floor=$3 metric= name out reference
  shift 3
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
  expect_tags "$out" "Software=VARLO EXIF Plug-in Version 1.00E" XResolution=200 YResolution=200 \
    ExifImageWidth=333 ExifImageHeight=250 Make=Varlo "Model=VS-$format"
  expect_nothing_left
}

case $case_name in
prepare)
  # A server a run cut short left behind would outlive its prefix.
  if [[ -d $WINEPREFIX ]]; then wineserver -k 2> /dev/null || true; fi
  rm -rf "$work"
  "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
  # One server for every case until the stop case ends it, with Wine's
  # services started once and without this test's output: a service holding
  # a case's output open would keep ctest waiting for it.
  wineserver -p > /dev/null 2>&1
  WINEDEBUG=-all wine cmd /c exit > /dev/null 2>&1
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
  grep -q "^settings: Compression rate: 75%; color: automatic (JPEG quality 25)" "$work/describe.txt" ||
    fail "describe does not say the settings: $(cat "$work/describe.txt")"
  # The row kernels' level as VLEXIF_SIMD lowers it, and every variant within it.
  described=$(VLEXIF_SIMD=plain "$vlscan" describe | tr -d '\r') || fail "describe with VLEXIF_SIMD failed"
  grep -q "^kernels:  level plain in force (supported: [a-z0-9]*, VLEXIF_SIMD=plain)$" <<<"$described" ||
    fail "describe does not say the level in force: $described"
  grep -q "^variants: rgb24 swap plain, .*, 1-bit expand plain$" <<<"$described" &&
    ! grep "^variants: " <<<"$described" | grep -qE "sse2|ssse3|avx2" ||
    fail "describe does not say each kernel's variant: $described"
  ;;

format)
  # format FORMAT INPUT FLOOR [--luma] [extra scan options...]
  scan_format "$@"
  ;;

formats)
  # Every format the host sends, one after another in one Wine session.
  # Smooth pictures at quality 95 come back within 35 dB of what was sent.
  # Dithered pictures have detail down to the pixel, so a plug-in reading the
  # packed pixels in another order would fall far below. Dithered colour does
  # not survive the JPEG's halved chroma, so the palette formats are dithered
  # in grey, and sent undithered in colour with luma compared. Every format
  # runs even when one before it failed, and every failing one is named, with
  # the case that runs it alone.
  failed=()
  while read -r -a spec; do
    # The scans must not read this list as their input.
    (scan_format "${spec[@]}") < /dev/null || failed+=("${spec[*]}")
  done <<EOF_FORMATS
rgb24 smooth.png 35
rgb48 smooth16.png 35
gray8 smooth.png 35
gray16 smooth16.png 35
indexed8 grey.png 35
indexed8 smooth.png 35 --luma --dither none
indexed4 grey.png 35
indexed4 smooth.png 35 --luma --dither none
indexed1 smooth.png 35
bilevel smooth.png 35
EOF_FORMATS
  ((${#failed[@]} == 0)) ||
    fail "formats that failed: $(printf '[%s] ' "${failed[@]}")(one alone: $0 WORK VLCHART format SPEC)"
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
  # A failure no check before the job can foresee: the output's directory
  # goes away during the scan. The message names the output.
  rm -rf "$work/vanishing"
  mkdir "$work/vanishing"
  "$vlscan" scan "$work/tall.png" "$work/vanishing/out.jpg" --block-lines 1 --quiet 2> "$work/converter.err" &
  job=$!
  wait_for_spool "$job"
  rm -rf "$work/vanishing"
  wait "$job" && fail "a scan into a removed folder succeeded"
  grep -q "CmdFinish: StatusCreateFailed (202)" "$work/converter.err" ||
    fail "unexpected message: $(cat "$work/converter.err")"
  grep -q 'vanishing\\out\.jpg' "$work/converter.err" || fail "the output is not named: $(cat "$work/converter.err")"
  expect_nothing_left
  ;;

converter-says-done)
  # A converter that reports success and writes nothing (the tests' recording
  # stand-in, from the folder named after the case): the scan fails whether
  # or not an older output stands in the way, and the older one is kept.
  fake=$work/fake-converter
  rm -rf "$fake"
  mkdir "$fake"
  cp "$root/dist/vlscan.exe" "$1/VLEXIF.dll" "$1/Vlexifres.dll" "$1/VkExf.dll" "$fake/"
  printf 'last scan' > "$work/kept.jpg"
  for out in "$work/never.jpg" "$work/kept.jpg"; do
    if WINEDEBUG=-all wine "$fake/vlscan.exe" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$out")" \
        --quiet > /dev/null 2> "$work/says-done.err"; then
      fail "a scan into $out that wrote nothing succeeded"
    fi
    grep -q "nothing was written to" "$work/says-done.err" || fail "unexpected message: $(cat "$work/says-done.err")"
  done
  [[ ! -e $work/never.jpg ]] || fail "an output appeared"
  [[ $(cat "$work/kept.jpg") == "last scan" ]] || fail "the older output was changed"
  expect_nothing_left
  ;;

same-file)
  # The output is the input under another spelling: refused before the
  # picture is read or anything written.
  cp "$work/smooth.png" "$work/same.png"
  ln -f "$work/same.png" "$work/same-link.png"
  sum=$(md5sum < "$work/same.png")
  for output in "$work/same.png" "$work/./same.png" same.png "$work/same-link.png"; do
    if (cd "$work" && "$vlscan" scan same.png "$output" 2> "$work/same.err"); then
      fail "scan same.png $output succeeded"
    fi
    grep -q "is the input file" "$work/same.err" || fail "$output: unexpected message: $(cat "$work/same.err")"
    [[ $(md5sum < "$work/same.png") == "$sum" ]] || fail "$output: the input was changed"
  done
  # Nor may the picture sent be written over the input.
  if "$vlscan" scan "$work/same.png" "$work/same-out.jpg" --reference "$work/same-link.png" 2> "$work/same.err"; then
    fail "a reference over the input was written"
  fi
  grep -q "would replace the input" "$work/same.err" || fail "reference: unexpected message: $(cat "$work/same.err")"
  [[ $(md5sum < "$work/same.png") == "$sum" ]] || fail "the reference replaced the input"
  # Nor over the output, whether or not that exists yet.
  rm -f "$work/same-out.jpg"
  for pass in new existing; do
    if "$vlscan" scan "$work/same.png" "$work/same-out.jpg" --reference "$work/./same-out.jpg" 2> "$work/same.err"; then
      fail "a reference over the $pass output was written"
    fi
    grep -q "would replace the input or the output" "$work/same.err" || fail "$pass output: $(cat "$work/same.err")"
    echo old > "$work/same-out.jpg"
  done
  [[ $(cat "$work/same-out.jpg") == old ]] || fail "the output was replaced"
  ;;

output-checks)
  # Outputs no job could write are refused at once, with the path and the
  # reason; the input is not even read (it does not exist).
  chmod 644 "$work/read-only.jpg" 2>/dev/null || true
  echo old > "$work/read-only.jpg"
  chmod 444 "$work/read-only.jpg"
  # Folders of eight characters are their own short names: no spelling of
  # this path fits the job record.
  deep=$work/deep$(printf '/abcdefgh%.0s' $(seq 30))
  mkdir -p "$deep"
  long_name=$(printf 'n%.0s' $(seq 256)).jpg
  while read -r output reason; do
    if "$vlscan" scan "$work/no-such-input.png" "$output" 2> "$work/check.err"; then
      fail "a scan into $output succeeded"
    fi
    grep -q "cannot write .*: $reason" "$work/check.err" || fail "$output: unexpected message: $(cat "$work/check.err")"
    grep -q "${output##*/}: " "$work/check.err" || fail "$output is not named: $(cat "$work/check.err")"
  done <<EOF_CASES
$work/no-such-folder/out.jpg the directory does not exist
/sys/out.jpg the directory does not accept new files
$work/read-only.jpg the file is read-only
$work it is a directory
$deep/out.jpg the path is too long for the job record, which holds 259 characters: it has
$work/写.jpg the file name has characters that the ANSI code page
$work/bad?.jpg a name in it holds '?'
$work/a<b.jpg a name in it holds '<'
$work/NUL NUL is the name of a device on Windows
$work/COM1.jpg COM1 is the name of a device on Windows
$work/page.jpg. the name ends in a dot or a space
$work/$long_name a name in it has 260 characters
EOF_CASES
  [[ $(cat "$work/read-only.jpg") == old ]] || fail "the read-only file was changed"
  [[ ! -e $work/no-such-folder ]] || fail "the missing folder was created"
  # Paths of 260 characters and more that a job can use: the input opens,
  # and the output is written, through its folders' short names in the job
  # record, and named in full. A folder of 249 characters leaves the
  # converter room for its temporary file too.
  long=$work/$(printf 'l%.0s' $(seq 150))/$(printf 'm%.0s' $(seq 100))
  wide=$work/$(printf 'w%.0s' $(seq 200))
  wide=$wide/$(printf 'x%.0s' $(seq $((246 - ${#wide}))))
  mkdir -p "$long" "$wide"
  cp "$work/smooth.png" "$long/input-picture.png"
  for output in "$long/$(printf 'o%.0s' $(seq 40)).jpg" "$wide/out.jpg"; do
    "$vlscan" scan "$long/input-picture.png" "$output" > "$work/long.out" 2> "$work/long.err" ||
      fail "a scan into $output failed: $(cat "$work/long.err")"
    [[ -s $output ]] || fail "no JPEG at $output"
    named=${output%/*}
    grep -qF "${named##*/}\\${output##*/}" "$work/long.out" ||
      fail "the output is not named in full: $(cat "$work/long.out")"
  done
  expect_nothing_left
  ;;

temporary-folder)
  # The temporary folder the plug-in would spool to is checked before the
  # job and named, with the reason.
  while read -r temp reason; do
    status=0
    vlscan_with_temp "$temp" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$work/temp-out.jpg")" \
      > /dev/null 2> "$work/temp.err" || status=$?
    [[ $status -eq 1 ]] || fail "TMP=$temp: exit status $status: $(cat "$work/temp.err")"
    grep -qF "the temporary folder $(winepath -w "$temp") $reason" "$work/temp.err" ||
      fail "TMP=$temp: unexpected message: $(cat "$work/temp.err")"
  done <<EOF_CASES
$work/no-such-temp does not exist
$work/smooth.png is a file
/sys does not accept new files
EOF_CASES
  [[ ! -e $work/temp-out.jpg ]] || fail "a scan without a temporary folder wrote its output"
  # A temporary folder that the ANSI code page (1252 here) cannot name is
  # handed to the plug-in by its short form: the spool file is made in it,
  # and removed. Wine gives every folder a short name, so the refusal that
  # names the remedy is met here through a path too long in both forms.
  lodz=$work/Łódź
  rm -rf "$lodz"
  mkdir "$lodz"
  out=$work/lodz-out.jpg
  rm -f "$out"
  vlscan_with_temp "$lodz" scan "$(winepath -w "$work/tall.png")" "$(winepath -w "$out")" --block-lines 8 --quiet \
    > /dev/null 2> "$work/lodz.err" &
  job=$!
  for _ in $(seq 300); do
    [[ -n $(find "$lodz" -iname '~TF*.tmp') ]] && break
    kill -0 "$job" 2> /dev/null || break
    sleep 0.1
  done
  [[ -n $(find "$lodz" -iname '~TF*.tmp') ]] || fail "no spool file in $lodz: $(cat "$work/lodz.err")"
  wait "$job" || fail "a scan with TMP=$lodz failed: $(cat "$work/lodz.err")"
  [[ -s $out && -z $(ls -A "$lodz") ]] || fail "no JPEG, or files left in $lodz: $(ls -A "$lodz")"
  # Eight letters are their own short name; winepath -s answers in a Unix
  # form two characters shorter than the Windows one.
  deep=$work/tmp
  mkdir -p "$deep"
  while (($(winepath -s "$deep" | tr -d '\r\n' | wc -c) < 247)); do
    deep=$deep/abcdefgh
    mkdir "$deep"
  done
  # At 259 characters the folder with its closing backslash is no temporary
  # path at all, which vlscan tells apart before the plug-in's limit.
  if (($(winepath -w "$deep" | tr -d '\r\n' | wc -c) <= 258)); then
    if vlscan_with_temp "$deep" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$out")" \
        2> "$work/temp.err"; then
      fail "a scan with a temporary folder too long for the spool file succeeded"
    fi
    grep -q "has a path too long for the plug-in's spool file (.*also in its short form); set TMP and TEMP to" \
      "$work/temp.err" || fail "deep TMP: unexpected message: $(cat "$work/temp.err")"
  else
    echo "the work folder's long names leave no room for the too-long case: skipped"
  fi
  expect_nothing_left
  ;;

double-byte)
  # Folders and files whose names end, in the ANSI code page of the locale
  # given, in a character whose second byte is 0x5C, the byte of '\': the
  # JPEG lands where named and nothing in the parent changes, the make is
  # written in that code page, and the host, plug-in and converter run from
  # such a folder find each other, with the spool file in another.
  export LC_ALL=$1
  case $LC_ALL in
    ja_JP*) names=(予定表 機能 ソ) code_page=CP932 ;;
    zh_TW*) names=(成功 許) code_page=CP950 ;;
    *) fail "no names for the locale $LC_ALL" ;;
  esac
  locale -a | grep -qix "${LC_ALL%%.*}.utf8" || fail "the locale $LC_ALL is not generated: run scripts/setup.sh"
  base=$work/double-byte
  rm -rf "$base"
  mkdir -p "$base/parent"
  for name in "${names[@]}"; do
    [[ $(printf '%s' "$name" | iconv -f UTF-8 -t "$code_page" | tail -c 1 | od -An -tx1 | tr -d ' ') == 5c ]] ||
      fail "$name does not end in the byte 0x5C in $code_page"
    mkdir "$base/parent/$name"
    # What the folder and the file name glued together would replace.
    echo old > "$base/parent/${name}out.jpg"
    echo old > "$base/parent/${name}$name.jpg"
    for file in out.jpg "$name.jpg"; do
      "$vlscan" scan "$work/smooth.png" "$base/parent/$name/$file" --make "$name" --quiet > /dev/null \
        2> "$base/scan.err" || fail "scan into $name/$file failed: $(cat "$base/scan.err")"
      [[ -s $base/parent/$name/$file ]] || fail "no JPEG at $name/$file"
      [[ $(exiftool -b -Make "$base/parent/$name/$file" | od -An -tx1 | tr -d ' \n') == \
        "$(printf '%s' "$name" | iconv -f UTF-8 -t "$code_page" | od -An -tx1 | tr -d ' \n')" ]] ||
        fail "the make of $name/$file is not $name in $code_page"
    done
    [[ $(cat "$base/parent/${name}out.jpg" "$base/parent/${name}$name.jpg") == $'old\nold' ]] ||
      fail "a file beside $name was replaced"
  done
  [[ $(find "$base/parent" -mindepth 1 | wc -l) -eq $((${#names[@]} * 5)) ]] ||
    fail "files appeared outside the folders: $(find "$base/parent")"
  app=$base/app/${names[0]}
  temp=$base/temp/${names[-1]}
  mkdir -p "$app" "$temp"
  cp "$root/dist/vlscan.exe" "$root/dist/VLEXIF.dll" "$root/dist/Vlexifres.dll" "$root/dist/VkExf.dll" "$app/"
  VLSCAN_EXE=$app/vlscan.exe vlscan_with_temp "$temp" scan "$(winepath -w "$work/smooth.png")" \
    "$(winepath -w "$app/out.jpg")" --quiet > /dev/null 2> "$base/scan.err" ||
    fail "vlscan from $app failed: $(cat "$base/scan.err")"
  [[ -s $app/out.jpg && -z $(ls -A "$temp") ]] || fail "no JPEG from $app, or files left in $temp"
  expect_nothing_left
  ;;

install-folder)
  # Installed below a folder the ANSI code page (1252 here) cannot name, as
  # under a profile called Дмитрий: the host finds the plug-in, and the
  # plug-in its resource library and converter, by their wide paths.
  app=$work/install/Дмитрий/한글
  decoys=$work/install/decoys
  rm -rf "$work/install"
  mkdir -p "$app" "$decoys"
  for name in Дмитрий 한글; do
    if printf '%s' "$name" | iconv -f UTF-8 -t CP1252 > /dev/null 2>&1; then fail "$name fits code page 1252"; fi
  done
  cp "$root/dist/vlscan.exe" "$root/dist/VLEXIF.dll" "$root/dist/Vlexifres.dll" "$root/dist/VkExf.dll" "$app/"
  cp "$app"/* "$decoys/"
  # Started with the decoys' folder current and on the path.
  installed() {
    (cd "$decoys" && WINEDEBUG=-all WINEPATH=$(winepath -w "$decoys") wine "$(winepath -w "$app/vlscan.exe")" "$@")
  }
  described=$(installed describe 2>&1 | tr -d '\r') || fail "describe from $app failed: $described"
  grep -q "JPEG image with EXIF data" <<<"$described" || fail "describe from $app: $described"
  installed scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$app/out.jpg")" --quiet > /dev/null \
    2> "$work/install.err" || fail "a scan from $app failed: $(cat "$work/install.err")"
  [[ $(identify -format '%m %w %h' "$app/out.jpg") == "JPEG 333 250" ]] || fail "no 333 x 250 JPEG from $app"
  # Without its own resource library and converter the plug-in takes neither
  # from the current folder nor from the path.
  rm "$app/Vlexifres.dll" "$app/VkExf.dll"
  status=0
  described=$(installed describe 2>&1 | tr -d '\r') || status=$?
  [[ $status -eq 1 && $described == *213* ]] || fail "describe without Vlexifres.dll: status $status: $described"
  expect_nothing_left
  ;;

full-disk)
  # Full disks, as small tmpfs mounts (root only: skipped otherwise). An
  # output disk without room and a temporary folder without room for the
  # spool file are refused before the job; a disk that fills up during the
  # job is named full, and the output as given, not in its short names.
  disk=$work/full-disk
  mkdir -p "$disk"
  umount -l "$disk" 2> /dev/null || true
  mount -t tmpfs -o size=64k tmpfs "$disk" 2> /dev/null || { echo "SKIP: cannot mount a tmpfs here"; exit 77; }
  trap 'umount -l "$disk"' EXIT
  deep=$disk/$(printf 'p%.0s' $(seq 120))/$(printf 'q%.0s' $(seq 130))
  mkdir -p "$deep"
  dd if=/dev/zero of="$disk/filler" bs=4k 2> /dev/null || true
  if "$vlscan" scan "$work/smooth.png" "$disk/out.jpg" 2> "$work/full.err"; then
    fail "a scan onto a full disk succeeded"
  fi
  grep -q "cannot write .*full-disk\\\\out\.jpg: the disk is full (.* needed at least, 0 bytes free)" "$work/full.err" ||
    fail "full output disk: $(cat "$work/full.err")"
  if vlscan_with_temp "$disk" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$work/full.jpg")" \
      2> "$work/full.err"; then
    fail "a scan with a full temporary folder succeeded"
  fi
  grep -q "the temporary folder .*full-disk has no room for the page's spool file: the disk is full" \
    "$work/full.err" || fail "full temporary folder: $(cat "$work/full.err")"
  # Room for less than the JPEG: the converter fills the disk.
  rm "$disk/filler"
  dd if=/dev/zero of="$disk/filler" bs=4k count=12 2> /dev/null
  out=$deep/$(printf 'r%.0s' $(seq 20)).jpg
  if "$vlscan" scan "$work/smooth.png" "$out" --rate 0 2> "$work/full.err"; then
    fail "a scan larger than the free space succeeded"
  fi
  grep -qF "$(printf 'q%.0s' $(seq 130))\\${out##*/}: the disk is full (CmdFinish" "$work/full.err" ||
    fail "disk filled by the converter: $(cat "$work/full.err")"
  [[ ! -e $out && -z $(ls "$deep") ]] || fail "the converter left files behind: $(ls "$deep")"
  [[ ! -e $work/full.jpg ]] || fail "an output appeared"
  expect_nothing_left

  # TEMP on a volume of its own, under a drive whose root says otherwise:
  # the room is the folder's own. A 64 KB TEMP under a roomy drive R: is
  # refused as full before any pre-fill, leaving nothing; a roomy TEMP under
  # a 64 KB drive S: takes the page.
  pagehost=$(winepath -w "$1")
  roomy=$work/roomy-drive
  small=$disk/small-drive
  mkdir -p "$roomy/small-temp" "$small/roomy-temp"
  umount -l "$roomy/small-temp" 2> /dev/null || true
  mount -t tmpfs -o size=64k tmpfs "$roomy/small-temp"
  mount -t tmpfs -o size=64m tmpfs "$small/roomy-temp"
  trap 'umount -l "$roomy/small-temp" "$small/roomy-temp"; umount -l "$disk"' EXIT
  ln -sfn "$roomy" "$WINEPREFIX/dosdevices/r:"
  ln -sfn "$small" "$WINEPREFIX/dosdevices/s:"
  status=0
  with_windows_temp 'R:\small-temp' "$pagehost" "$(winepath -w "$work/own-volume.jpg")" 1000 1000 \
    > "$work/own-volume.out" || status=$?
  [[ $status -eq 1 ]] && grep -q "^CmdBeginImage: status 201" "$work/own-volume.out" ||
    fail "a 3 MB spool file in a 64 KB TEMP: exit $status, $(cat "$work/own-volume.out")"
  [[ -z $(ls "$roomy/small-temp") ]] || fail "the full TEMP kept: $(ls "$roomy/small-temp")"
  with_windows_temp 'S:\roomy-temp' "$(winepath -w "$root/dist/vlscan.exe")" scan \
    "$(winepath -w "$work/smooth.png")" "$(winepath -w "$work/roomy-temp.jpg")" --quiet 2> "$work/roomy.err" ||
    fail "a roomy TEMP under a full drive: $(cat "$work/roomy.err")"
  decode "$work/roomy-temp.jpg" "$work/roomy-temp.ppm"
  [[ -z $(ls "$small/roomy-temp") ]] || fail "spool files left in TEMP: $(ls "$small/roomy-temp")"
  rm -f "$WINEPREFIX/dosdevices/r:" "$WINEPREFIX/dosdevices/s:"
  ;;

page-too-large)
  # A side over what a JPEG holds is refused before the job, naming the
  # limit and the remedy; the limit itself scans.
  "$vlchart" "$work/too-wide.png" --size 65501x2 --pattern smooth
  status=0
  "$vlscan" scan "$work/too-wide.png" "$work/too-wide.jpg" 2> "$work/too-wide.err" || status=$?
  [[ $status -eq 1 ]] && grep -qF "the page, 65501 x 2 pixels, is larger than a JPEG can hold (65500 pixels a side): \
scan it at a lower resolution or a smaller area" "$work/too-wide.err" ||
    fail "a page 65501 pixels wide: exit $status, $(cat "$work/too-wide.err")"
  [[ ! -e $work/too-wide.jpg ]] || fail "an output appeared"
  "$vlchart" "$work/tallest.png" --size 2x65500 --pattern smooth
  "$vlscan" scan "$work/tallest.png" "$work/tallest.jpg" --quiet || fail "a page 65500 pixels tall failed"
  [[ $(exiftool -s -s -s -ImageWidth -ImageHeight "$work/tallest.jpg" | tr '\n' ' ') == "2 65500 " ]] ||
    fail "the tallest page is not 2 x 65500"
  expect_nothing_left
  ;;

spool-past-2gib)
  # A page whose spool file passes 2 GiB begins, and its last block lands
  # behind the header, 2.2 GB back from the end. Run with the huge page's
  # host; nothing stays.
  WINEDEBUG=-all wine "$1" "$(winepath -w "$work/past-2gib.jpg")" 65500 11000 begin > "$work/past-2gib.out" ||
    fail "a 2.2 GB spool file: $(cat "$work/past-2gib.out")"
  expect_nothing_left
  ;;

huge-page)
  # One real page whose spool file passes 4 GiB (65500 x 21900 grey,
  # 4.3 GB), made up a block at a time by a host, into a JPEG that decodes
  # whole to its size. Prints the time and the most disk the scan took.
  out=$work/huge.jpg
  rm -f "$out"
  trap 'rm -f "$out"; kill "$sampler" 2> /dev/null || true' EXIT
  free_before=$(df -B1 --output=avail "$work" | tail -n 1)
  (
    least=$free_before
    while sleep 0.5; do
      now=$(df -B1 --output=avail "$work" | tail -n 1)
      ((now < least)) && least=$now && echo "$least" > "$work/huge.least"
    done
  ) &
  sampler=$!
  started=$(date +%s)
  WINEDEBUG=-all wine "$1" "$(winepath -w "$out")" 65500 21900 > "$work/huge.out" ||
    fail "the huge page: $(cat "$work/huge.out")"
  took=$(($(date +%s) - started))
  kill "$sampler" 2> /dev/null || true
  size=$(exiftool -s -s -s -FileType -ImageWidth -ImageHeight "$out" | tr '\n' ' ')
  [[ $size == "JPEG 65500 21900 " ]] || fail "the output is '$size', not a 65500 x 21900 JPEG"
  djpeg -scale 1/8 -outfile /dev/null "$out" 2> "$work/huge.djpeg" && [[ ! -s $work/huge.djpeg ]] ||
    fail "the JPEG does not decode whole: $(cat "$work/huge.djpeg")"
  least=$(cat "$work/huge.least" 2> /dev/null || echo "$free_before")
  echo "65500 x 21900 grey in ${took} s ($(tr -d '\r' < "$work/huge.out")), JPEG $(stat -c %s "$out") bytes," \
    "peak disk $(((free_before - least) / 1000000)) MB"
  expect_nothing_left
  ;;

held-files)
  # Another program holds our files for a moment, as indexers, sync clients
  # and thumbnailers do: the plug-in and the converter wait it out, a hold
  # longer than their retries fails within a bound, no spool file stays in
  # TEMP for good, and a page whose output cannot be replaced is kept.
  holder=$1
  hold() { WINEDEBUG=-all wine "$holder" "$@"; }
  temp=$work/held-temp
  rm -rf "$temp"
  mkdir "$temp"
  temp_win=$(winepath -w "$temp")
  spool_in_temp() { find "$temp" -iname '~TF*.tmp' | head -n 1; }
  wait_for_temp_spool() {
    for _ in $(seq 300); do
      [[ -n $(spool_in_temp) ]] && return 0
      kill -0 "$1" 2> /dev/null || fail "the scan ended before its image began"
      sleep 0.05
    done
    fail "no spool file after 15 s"
  }

  # Every new spool file glanced at for 5 ms, read sharing only, as it is
  # created: ten scans, ten JPEGs, nothing left.
  WINEDEBUG=-all wine "$holder" watch "$temp_win" '~TF' r 5 0 60 > "$work/glances.txt" &
  watcher=$!
  sleep 1
  for i in $(seq 10); do
    vlscan_with_temp "$temp" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$work/glanced-$i.jpg")" \
      --quiet || fail "scan $i with its spool file glanced at failed"
    [[ -s $work/glanced-$i.jpg ]] || fail "scan $i wrote no JPEG"
  done
  kill "$watcher" 2> /dev/null || true
  wait "$watcher" 2> /dev/null || true
  # A file created and deleted between two looks may go unseen: most are enough.
  [[ $(grep -c '^held' "$work/glances.txt") -ge 8 ]] || fail "the watcher held only: $(cat "$work/glances.txt")"
  [[ -z $(spool_in_temp) ]] || fail "spool files left in TEMP: $(spool_in_temp)"

  # Held for 300 ms between blocks: waited out.
  vlscan_with_temp "$temp" scan "$(winepath -w "$work/tall.png")" "$(winepath -w "$work/held-300.jpg")" \
    --block-lines 8 --quiet 2> "$work/held-300.err" &
  job=$!
  wait_for_temp_spool "$job"
  hold hold "$(winepath -w "$(spool_in_temp)")" r 300 > /dev/null
  wait "$job" || fail "a scan whose spool file was held for 300 ms failed: $(cat "$work/held-300.err")"
  decode "$work/held-300.jpg" "$work/held-300.ppm"

  # Held for 8 s: the block's call gives up within its bound (two seconds of
  # waiting a host call: the block's, then the abort's), the job is aborted,
  # and the spool file, remembered, goes with the next job.
  vlscan_with_temp "$temp" scan "$(winepath -w "$work/tall.png")" "$(winepath -w "$work/held-long.jpg")" \
    --block-lines 8 --quiet 2> "$work/held-long.err" &
  job=$!
  wait_for_temp_spool "$job"
  spool=$(spool_in_temp)
  started=$(date +%s%N)
  WINEDEBUG=-all wine "$holder" hold "$(winepath -w "$spool")" r 8000 > /dev/null &
  holding=$!
  status=0
  wait "$job" || status=$?
  waited=$((($(date +%s%N) - started) / 1000000))
  [[ $status -eq 1 ]] || fail "a scan whose spool file stayed held ended with $status"
  ((waited < 6000)) || fail "the scan took $waited ms to give up on a held spool file"
  echo "a spool file held for good: the scan gave up after $waited ms"
  [[ -e $spool ]] || fail "the held spool file is gone: the case held nothing"
  grep -q "another program may be holding it" "$work/held-long.err" ||
    fail "unexpected message: $(cat "$work/held-long.err")"
  [[ ! -e $work/held-long.jpg ]] || fail "a JPEG appeared"
  kill "$holding" 2> /dev/null || true
  wait "$holding" || true
  vlscan_with_temp "$temp" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$work/after-held.jpg")" \
    --quiet || fail "the scan after the held one failed"
  [[ -z $(spool_in_temp) ]] || fail "spool files left in TEMP: $(spool_in_temp)"

  # Held across the end, reading and writing shared but not deletion: the
  # JPEG is written, and the spool file, which cannot go yet, goes with the
  # next job once it is let go of.
  vlscan_with_temp "$temp" scan "$(winepath -w "$work/tall.png")" "$(winepath -w "$work/held-end.jpg")" \
    --block-lines 4 --quiet 2> "$work/held-end.err" &
  job=$!
  wait_for_temp_spool "$job"
  WINEDEBUG=-all wine "$holder" hold "$(winepath -w "$(spool_in_temp)")" rw 6000 > /dev/null &
  holding=$!
  wait "$job" || fail "a scan whose spool file was held across its end failed: $(cat "$work/held-end.err")"
  decode "$work/held-end.jpg" "$work/held-end.ppm"
  [[ -n $(spool_in_temp) ]] || fail "the held spool file is gone: the case held nothing"
  kill "$holding" 2> /dev/null || true
  wait "$holding" || true
  vlscan_with_temp "$temp" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$work/after-end.jpg")" \
    --quiet || fail "the scan after the held one failed"
  [[ -z $(spool_in_temp) ]] || fail "the held spool file stayed in TEMP: $(spool_in_temp)"

  # The old output open in another program when the converter replaces it:
  # for 300 ms it is waited out; for longer, the old file stays as it was
  # and the new page is kept beside it, and the message says where.
  out=$work/held-out.jpg
  for share in rwd r; do
    printf 'old page' > "$out"
    rm -f "$work/held-out (new).jpg"
    length=$([[ $share == rwd ]] && echo 300 || echo 5000)
    WINEDEBUG=-all wine "$holder" watch "$(winepath -w "$work")" '~vkx' "$share" "$length" 0 30 \
      "$(winepath -w "$out")" > "$work/held-out.txt" &
    watcher=$!
    sleep 1
    status=0
    "$vlscan" scan "$work/tall.png" "$out" --quiet 2> "$work/held-out.err" || status=$?
    kill "$watcher" 2> /dev/null || true
    wait "$watcher" 2> /dev/null || true
    grep -q '^held' "$work/held-out.txt" || fail "the old output was never held"
    if [[ $share == rwd ]]; then
      [[ $status -eq 0 ]] || fail "a replace held for 300 ms failed with $status: $(cat "$work/held-out.err")"
      decode "$out" "$work/held-out.ppm"
    else
      [[ $status -eq 4 ]] || fail "a replace held for good ended with $status: $(cat "$work/held-out.err")"
      [[ $(cat "$out") == "old page" ]] || fail "the old output was changed"
      decode "$work/held-out (new).jpg" "$work/held-out-new.ppm"
      grep -q "in use by another program; the new page was saved beside it as held-out (new)\.jpg" \
        "$work/held-out.err" || fail "unexpected message: $(cat "$work/held-out.err")"
    fi
  done
  rm -rf "$temp"
  expect_nothing_left
  ;;

late-interrupt)
  # Ctrl+C while the converter writes: too late to stop the JPEG, which the
  # stand-in converter from the folder named after the case writes once the
  # interrupt has come. That is no ordinary success: a status of its own, and
  # words that say the page had been handed over and written.
  late=$work/late-converter
  rm -rf "$late"
  mkdir "$late"
  cp "$root/dist/vlscan.exe" "$root/dist/VLEXIF.dll" "$root/dist/Vlexifres.dll" "$1/VkExf.dll" "$late/"
  out=$work/late.jpg
  rm -f "$out"
  WINEDEBUG=-all wine "$late/vlscan.exe" scan "$(winepath -w "$work/smooth.png")" "$(winepath -w "$out")" --quiet \
    > "$work/late.out" 2> "$work/late.err" &
  job=$!
  for _ in $(seq 300); do
    [[ -e $out.converting ]] && break
    kill -0 "$job" 2> /dev/null || fail "the scan ended before the converter began: $(cat "$work/late.err")"
    sleep 0.1
  done
  [[ -e $out.converting ]] || fail "the converter did not begin within 30 s"
  kill -INT "$job"
  status=0
  wait "$job" || status=$?
  [[ $status -eq 3 ]] || fail "exit status $status: $(cat "$work/late.err")"
  grep -q "interrupted while the converter wrote the JPEG: the page had already been handed to it, and .*late\.jpg" \
    "$work/late.err" || fail "unexpected message: $(cat "$work/late.err")"
  [[ -s $out ]] || fail "the JPEG was not written"
  expect_nothing_left
  ;;

unicode-paths)
  # A folder the ANSI code page cannot name is reached by its short name;
  # the messages show every path as it is.
  rm -rf "$work/папка"
  mkdir "$work/папка"
  "$vlscan" scan "$work/smooth.png" "$work/папка/out.jpg" > "$work/unicode.out" ||
    fail "scan into папка failed"
  [[ -s $work/папка/out.jpg ]] || fail "no JPEG in папка"
  grep -q 'папка\\out\.jpg' "$work/unicode.out" || fail "the output is misnamed: $(cat "$work/unicode.out")"
  # The job record's texts are ANSI: the make goes in as Windows-1252 bytes.
  "$vlscan" scan "$work/smooth.png" "$work/make.jpg" --make 'Väst' --quiet > /dev/null || fail "scan with make Väst failed"
  [[ $(exiftool -b -Make "$work/make.jpg" | od -An -tx1 | tr -d ' \n') == 56e47374 ]] ||
    fail "the make is not Väst in the ANSI code page: $(exiftool -b -Make "$work/make.jpg" | od -c)"
  # An input the ANSI code page cannot name is read through the wide API.
  cp "$work/smooth.png" "$work/снимок.png"
  "$vlscan" scan "$work/снимок.png" "$work/unicode-input.jpg" --quiet > /dev/null 2> "$work/unicode.err" ||
    fail "scan of снимок.png failed: $(cat "$work/unicode.err")"
  [[ -s $work/unicode-input.jpg ]] || fail "no JPEG from снимок.png"
  expect_nothing_left
  ;;

usage)
  status=0
  "$vlscan" > /dev/null 2> "$work/usage.err" || status=$?
  [[ $status -eq 2 ]] || fail "no arguments: exit status $status"
  grep -q "^usage:" "$work/usage.err" || fail "no arguments: no usage"
  "$vlscan" scan --help > "$work/usage.out" || fail "scan --help failed"
  grep -q "later scans" "$work/usage.out" || fail "scan --help: $(cat "$work/usage.out")"
  status=0
  "$vlscan" scan "$work/smooth.png" 2> "$work/usage.err" || status=$?
  [[ $status -eq 2 ]] || fail "one file: exit status $status"
  grep -q "scan needs an input and an output file" "$work/usage.err" || fail "one file: $(cat "$work/usage.err")"
  grep -q "^  130  interrupted" "$work/usage.out" || fail "scan --help lists no exit statuses"
  status=0
  "$vlscan" scan -q "$work/smooth.png" "$work/q.jpg" 2> "$work/usage.err" || status=$?
  [[ $status -eq 2 ]] && grep -q "unknown option -q" "$work/usage.err" || fail "-q: $status $(cat "$work/usage.err")"
  # The dialogs need a display, and say so.
  for command in configure about; do
    status=0
    "$vlscan" "$command" > /dev/null 2> "$work/usage.err" || status=$?
    [[ $status -eq 1 ]] || fail "$command without a display: exit status $status"
    grep -q "^vlscan: $command shows a dialog, and there is no display" "$work/usage.err" ||
      fail "$command without a display: $(cat "$work/usage.err")"
  done
  # Without its DLLs beside it, vlscan says where they belong.
  mkdir -p "$work/alone"
  cp "$root/dist/vlscan.exe" "$work/alone/"
  status=0
  WINEDEBUG=-all wine "$work/alone/vlscan.exe" describe > /dev/null 2> "$work/usage.err" || status=$?
  [[ $status -eq 1 ]] || fail "vlscan alone: exit status $status"
  grep -q "VLEXIF.dll is missing; VLEXIF.dll, Vlexifres.dll and VkExf.dll must sit in the folder of vlscan.exe" \
    "$work/usage.err" || fail "vlscan alone: $(cat "$work/usage.err")"
  # A rate of 100 gives quality 1, as the help and describe say; the colour
  # mode is stored beside it, as the dialog stores it.
  "$vlscan" scan "$work/smooth.png" "$work/rate100.jpg" --rate 100 --colour exact --quiet > /dev/null ||
    fail "--rate 100 --colour exact failed"
  [[ $(identify -format %Q "$work/rate100.jpg") == 1 ]] || fail "--rate 100: quality $(identify -format %Q "$work/rate100.jpg")"
  described=$("$vlscan" describe | tr -d '\r') || fail "describe failed"
  grep -q "Compression rate: 100%; color: gray only when exactly gray (JPEG quality 1)$" <<<"$described" ||
    fail "describe: $described"
  WINEDEBUG=-all wine reg query 'HKCU\Software\VLScan\EXIF' /v 'Colour Mode' 2>/dev/null | tr -d '\r' |
    grep -q "REG_DWORD.*0x1$" || fail "--colour exact stored no Colour Mode of 1"
  WINEDEBUG=-all wine reg delete 'HKCU\Software\VLScan\EXIF' /v 'Compress Rate' /f > /dev/null 2>&1
  WINEDEBUG=-all wine reg delete 'HKCU\Software\VLScan\EXIF' /v 'Colour Mode' /f > /dev/null 2>&1
  ;;

foreign-rate)
  # A rate stored as text by another program (an installer, a user in the
  # registry editor) is no rate: the default applies, in the summary and the JPEG.
  WINEDEBUG=-all wine reg add 'HKCU\Software\VLScan\EXIF' /v 'Compress Rate' /t REG_SZ /d 50 /f > /dev/null 2>&1 ||
    fail "cannot store the rate as text"
  described=$("$vlscan" describe | tr -d '\r') || fail "describe failed"
  grep -q "^settings: Compression rate: 75%; color: automatic (JPEG quality 25)$" <<<"$described" || fail "describe: $described"
  "$vlscan" scan "$work/smooth.png" "$work/foreign-rate.jpg" --quiet > /dev/null || fail "the scan failed"
  quality=$(identify -format %Q "$work/foreign-rate.jpg")
  [[ $quality == 25 ]] || fail "a rate stored as text: quality $quality"
  WINEDEBUG=-all wine reg delete 'HKCU\Software\VLScan\EXIF' /v 'Compress Rate' /f > /dev/null 2>&1
  ;;

bad-input)
  if "$vlscan" scan "$work/no-such-picture.png" "$work/x.jpg" 2> "$work/input.err"; then
    fail "a missing input was scanned"
  fi
  grep -q "cannot read .*no-such-picture\.png: the file does not exist" "$work/input.err" ||
    fail "unexpected message: $(cat "$work/input.err")"
  [[ ! -e $work/x.jpg ]] || fail "output written without input"
  mkdir -p "$work/a-folder"
  if "$vlscan" scan "$work/a-folder" "$work/x.jpg" 2> "$work/input.err"; then
    fail "a folder was scanned"
  fi
  grep -q "a-folder: it is a directory" "$work/input.err" || fail "folder input: $(cat "$work/input.err")"
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
    expect_tags "$work/$picture.jpg" "ExifImageWidth=$(identify -format %w "$work/$picture.jpg")"
  done
  expect_nothing_left
  ;;

interrupt)
  # Ctrl+C once the spool file exists, or SIGTERM or SIGHUP to scripts/vlscan:
  # the job is aborted, nothing is left.
  for signal in INT TERM HUP; do
    out=$work/interrupted.jpg
    rm -f "$out"
    "$vlscan" scan "$work/tall.png" "$out" --block-lines 1 --order random --quiet \
      > "$work/interrupt.out" 2> "$work/interrupt.err" &
    job=$!
    wait_for_spool "$job"
    target=$job
    [[ $signal == INT ]] && target=$(program_of "$job")
    kill -"$signal" "$target" 2> /dev/null || fail "the scan ended before it could be interrupted"
    status=0
    wait "$job" || status=$?
    [[ $status -eq 130 ]] || fail "exit status $status after SIG$signal: $(cat "$work/interrupt.err")"
    grep -q "interrupted" "$work/interrupt.err" || fail "no word of the interrupt by SIG$signal"
    [[ ! -e $out ]] || fail "output written after SIG$signal"
    expect_nothing_left
  done
  ;;

interrupt-reading)
  # Ctrl+C while the picture is read ends the read at once, before any job.
  # The picture: a progressive JPEG of 8000 x 8000 whose second scan comes
  # 990 times, each a pass over the whole picture (seconds of reading).
  convert -size 8000x8000 xc:gray50 -interlace JPEG "$work/flat.jpg"
  mapfile -t scans < <(LC_ALL=C grep -obUaP '\xff\xda' "$work/flat.jpg" | cut -d: -f1)
  dd if="$work/flat.jpg" of="$work/scan.bin" iflag=skip_bytes,count_bytes skip="${scans[1]}" \
    count=$((scans[2] - scans[1])) status=none
  {
    head -c "${scans[1]}" "$work/flat.jpg"
    for _ in $(seq 990); do cat "$work/scan.bin"; done
    tail -c +$((scans[2] + 1)) "$work/flat.jpg"
  } > "$work/scans.jpg"
  out=$work/read-interrupted.jpg
  rm -f "$out"
  "$vlscan" scan "$work/scans.jpg" "$out" --quiet > /dev/null 2> "$work/reading.err" &
  job=$!
  program=
  for _ in $(seq 300); do
    program=$(program_of "$job")
    [[ -n $program ]] && ls -l "/proc/$program/fd" 2> /dev/null | grep -q 'scans\.jpg' && break
    kill -0 "$job" 2> /dev/null || fail "the scan ended before it read the picture: $(cat "$work/reading.err")"
    sleep 0.1
  done
  sleep 0.5
  asked=$(date +%s%N)
  kill -INT "$program" 2> /dev/null || fail "the scan ended before it could be interrupted"
  status=0
  wait "$job" || status=$?
  took=$((($(date +%s%N) - asked) / 1000000))
  [[ $status -eq 130 ]] || fail "exit status $status: $(cat "$work/reading.err")"
  grep -q "interrupted before the job began" "$work/reading.err" || fail "no word of the interrupt: $(cat "$work/reading.err")"
  ((took < 3000)) || fail "the scan ended $took ms after Ctrl+C"
  [[ ! -e $out ]] || fail "output written after the interrupt"
  rm -f "$work/flat.jpg" "$work/scans.jpg" "$work/scan.bin"
  expect_nothing_left
  ;;

interrupt-waiting)
  # Ctrl+C while waiting for another scan's lock ends the wait at once.
  "$vlscan" scan "$work/tall.png" "$work/long.jpg" --block-lines 1 --quiet > /dev/null 2> "$work/long.err" &
  long=$!
  wait_for_spool "$long"
  "$vlscan" scan "$work/smooth.png" "$work/waiting.jpg" --quiet > /dev/null 2> "$work/waiting.err" &
  waiting=$!
  for _ in $(seq 300); do
    grep -q "waiting for another scan" "$work/waiting.err" && break
    sleep 0.1
  done
  kill -INT "$(program_of "$waiting")"
  status=0
  wait "$waiting" || status=$?
  kill -0 "$long" 2> /dev/null || fail "the waiting scan ended only with the other one"
  [[ $status -eq 130 ]] || fail "exit status $status: $(cat "$work/waiting.err")"
  [[ ! -e $work/waiting.jpg ]] || fail "the interrupted scan wrote its output"
  wait "$long" || fail "the first scan failed: $(cat "$work/long.err")"
  expect_nothing_left
  ;;

stop)
  wineserver -k 2> /dev/null || true
  ;;

*)
  fail "unknown case $case_name"
  ;;
esac
