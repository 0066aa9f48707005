#!/usr/bin/env bash
# Converts scans through the real DLL and lets exiftool and jpeginfo judge
# them: no warnings, the values the BMP and the job gave, and a thumbnail
# that is a valid JPEG, for colour and grey pages and extreme shapes.
#   check-exif.sh VKEXF_RUN.exe VkExf.dll
set -euo pipefail
run=$1 dll=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

perl "$root/bench/converter/make-bmp.pl" 37 21 11811 "$work/scan.bmp"
"$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/scan.bmp" "Z:$work/scan.jpg" 85 Varlo "VS-400" >/dev/null

fail() { echo "$*" >&2; exit 1; }
# A valid file and a valid thumbnail of the given size and components.
check() {
  local jpeg=$1 size=$2 components=$3 validation
  validation=$(exiftool -validate -warning -a "$jpeg")
  grep -q '^Validate *: OK' <<<"$validation" || fail "exiftool -validate $jpeg: $validation"
  ! grep -q '^Warning' <<<"$validation" || fail "exiftool warns on $jpeg: $validation"
  jpeginfo -c "$jpeg" | grep -Eq ' OK *$' || fail "jpeginfo: $(jpeginfo -c "$jpeg")"
  exiftool -b -ThumbnailImage "$jpeg" >"$jpeg.thumb"
  jpeginfo -c "$jpeg.thumb" | grep -Eq ' OK *$' || fail "thumbnail of $jpeg: $(jpeginfo -c "$jpeg.thumb")"
  [[ $(exiftool -s3 -ImageSize -ColorComponents "$jpeg.thumb" | paste -sd' ') == "$size $components" ]] ||
    fail "thumbnail of $jpeg: $(exiftool -s3 -ImageSize -ColorComponents "$jpeg.thumb" | paste -sd' ')," \
      "expected $size $components"
}
# grey_bmp W H OUT [X Y]: a grey bottom-up BMP, pixel X,Y (from the top) tinted.
grey_bmp() {
  perl -e 'my ($w, $h, $out, $cx, $cy) = @ARGV; $cy = $h - 1 - $cy if defined $cy;
    my $stride = int(($w * 24 + 31) / 32) * 4; my $data = "";
    for my $y (0 .. $h - 1) { my $row = join("", map { chr(($_ * 5 + $y) % 256) x 3 } 0 .. $w - 1);
      substr($row, 3 * $cx + 1, 1) = "\x01" if defined $cy && $y == $cy;
      $data .= $row . "\0" x ($stride - 3 * $w); }
    open my $f, ">:raw", $out or die; print $f pack("A2 V v2 V V V V v2 V6", "BM", 54 + length $data, 0, 0, 54,
      40, $w, $h, 1, 24, 0, length $data, 11811, 11811, 0, 0), $data;' "$@"
}
check "$work/scan.jpg" 37x21 3

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
expect EXIF:ComponentsConfiguration "1 2 3 0"
expect IFD1:Compression 6

# Colour thumbnails of extreme shapes: by the exact test, since the default
# takes the near-white paper of the smallest for grey.
for shape in 1x1 1x300 300x1 65000x1 3x5000; do
  perl "$root/bench/converter/make-bmp.pl" "${shape%x*}" "${shape#*x}" 11811 "$work/shape.bmp"
  "$root/scripts/wine-run.sh" "$run" --colour exact "Z:$dll" "Z:$work/shape.bmp" "Z:$work/shape-$shape.jpg" 75 \
    >/dev/null
done
check "$work/shape-1x1.jpg" 1x1 3
check "$work/shape-1x300.jpg" 1x120 3
check "$work/shape-300x1.jpg" 160x1 3
check "$work/shape-65000x1.jpg" 160x1 3
check "$work/shape-3x5000.jpg" 1x120 3

# A4 at 300 dpi: large enough that its Exif segment goes into room left
# ahead of the compressed page, the room's rest zeros inside the segment.
perl "$root/bench/converter/make-bmp.pl" 2480 3508 11811 "$work/large.bmp"
"$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/large.bmp" "Z:$work/large.jpg" 75 >/dev/null
check "$work/large.jpg" 85x120 3

grey_bmp 333 250 "$work/grey.bmp"
"$root/scripts/wine-run.sh" "$run" "Z:$dll" "Z:$work/grey.bmp" "Z:$work/grey.jpg" 75 >/dev/null
check "$work/grey.jpg" 160x120 1
[[ $(exiftool -s3 -ColorComponents "$work/grey.jpg") == 1 ]] || fail "a grey page gives a grey JPEG"
[[ $(exiftool -s3 -n -ComponentsConfiguration "$work/grey.jpg") == "1 0 0 0" ]] ||
  fail "grey ComponentsConfiguration: $(exiftool -s3 -n -ComponentsConfiguration "$work/grey.jpg")"
# One pixel off grey: colour by the exact test.
grey_bmp 333 250 "$work/tinted.bmp" 200 100
"$root/scripts/wine-run.sh" "$run" --colour exact "Z:$dll" "Z:$work/tinted.bmp" "Z:$work/tinted.jpg" 75 >/dev/null
check "$work/tinted.jpg" 160x120 3
echo "exiftool and jpeginfo: valid, values as given, thumbnails readable"
