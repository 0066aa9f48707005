#!/usr/bin/env bash
# Converts a small scan through the real DLL and lets exiftool judge the
# metadata: no warnings, and the values the BMP and the job gave.
#   check-exif.sh VKEXF_RUN.exe VkExf.dll
set -euo pipefail
run=$1 dll=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

perl "$root/converter/bench/make-bmp.pl" 37 21 11811 "$work/scan.bmp"
"$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/scan.bmp" "Z:$work/scan.jpg" 85 Varlo "VS-400" >/dev/null

fail() { echo "$*" >&2; exit 1; }
validation=$(exiftool -validate -warning -a "$work/scan.jpg")
grep -q '^Validate *: OK' <<<"$validation" || fail "exiftool -validate: $validation"
! grep -q '^Warning' <<<"$validation" || fail "exiftool warns: $validation"

expect() {
  local tag=$1 want=$2 got
  got=$(exiftool -s3 -n "-$tag" "$work/scan.jpg")
  [[ $got == "$want" ]] || fail "$tag is '$got', expected '$want'"
}
expect EXIF:XResolution 300
expect EXIF:YResolution 300
expect EXIF:ResolutionUnit 2
expect JFIF:XResolution 300
expect JFIF:ResolutionUnit 1
expect EXIF:Software "VkExf test driver 1.0"
expect EXIF:Make Varlo
expect EXIF:Model VS-400
expect EXIF:ExifImageWidth 37
expect EXIF:ExifImageHeight 21
expect EXIF:ExifVersion 0232
expect EXIF:ColorSpace 1
echo "exiftool: valid, values as given"
