#!/usr/bin/env bash
# Makes the corpus test's samples with ImageMagick, each with ImageMagick's
# own reading of it laid on white as a PNM, and runs the corpus program over
# them in that folder.
#   picture-corpus.sh WORK PROGRAM...    (PROGRAM... may start with a runner)
set -euo pipefail
work=$1
shift
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# sample NAME REFERENCE DEPTH TOLERANCE CHECKED: NAME made already.
sample() {
  convert "$1" -background white -alpha remove -alpha off -depth "$3" "$2"
  echo "$1 $2 $4 $5" >> list.txt
}

convert rose: PNG24:rgb8.png
sample rgb8.png rgb8.ppm 8 0 crc
convert -size 64x48 gradient:navy-orange -depth 16 PNG48:rgb16.png
sample rgb16.png rgb16.ppm 16 0 crc
convert -size 40x30 gradient: -depth 16 -define png:color-type=0 PNG:grey16.png
sample grey16.png grey16.pgm 16 0 crc
convert rose: -threshold 50% -define png:color-type=0 -define png:bit-depth=1 PNG:bilevel.png
sample bilevel.png bilevel.pgm 8 0 crc
convert rose: -interlace PNG PNG24:interlaced.png
sample interlaced.png interlaced.ppm 8 0 crc
# A palette with one colour transparent, and alpha that rises across.
convert rose: -colors 16 -fill none -draw 'color 0,0 replace' PNG8:palette.png
sample palette.png palette.ppm 8 0 crc
convert rose: -alpha set -channel A -fx 'i/w' +channel PNG32:rgba.png
sample rgba.png rgba.ppm 8 1 crc

convert rose: -quality 90 baseline.jpg
sample baseline.jpg baseline.ppm 8 0 -
convert rose: -quality 90 -interlace JPEG progressive.jpg
sample progressive.jpg progressive.ppm 8 0 -
# An Exif segment before the JFIF one, as cameras and the converter write.
{
  head -c 2 baseline.jpg
  printf '\xff\xe1\x00\x16Exif\x00\x00II*\x00\x08\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  tail -c +3 baseline.jpg
} > exif-first.jpg
sample exif-first.jpg exif-first.ppm 8 0 -
convert rose: -colorspace Gray grey.jpg
sample grey.jpg grey.pgm 8 0 -
convert rose: -colorspace CMYK cmyk.jpg
sample cmyk.jpg cmyk.ppm 8 2 -

convert rose: BMP3:rgb24.bmp
sample rgb24.bmp rgb24.ppm 8 0 -
convert rose: -alpha set -channel A -fx 'j/h' +channel BMP:rgba32.bmp
sample rgba32.bmp rgba32.ppm 8 1 -
convert rose: rgb.ppm
sample rgb.ppm rgb-again.ppm 8 0 -
convert -size 40x30 gradient: -depth 16 grey16.pgm
sample grey16.pgm grey16-again.pgm 16 0 -

"$@" list.txt
