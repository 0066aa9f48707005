#!/usr/bin/env bash
# The main command: installs what is missing, builds everything, makes a test
# chart and scans it through the plug-in into out/sample.jpg, then shows
# where the JPEG is and its EXIF summary.
#   scripts/scan.sh
# VLEXIF_BUILD_DIR picks another build tree (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${VLEXIF_BUILD_DIR:-build}

# Installing packages needs root.
if [[ $EUID -eq 0 ]]; then
  scripts/setup.sh
elif command -v sudo > /dev/null; then
  sudo scripts/setup.sh
else
  echo "scan.sh: run as root (or install sudo) so scripts/setup.sh can install packages" >&2
  exit 1
fi

cmake -S . -B "$build" -G Ninja
cmake --build "$build"

mkdir -p out
"$build/host/chart/vlchart" out/sample-chart.png --size 1200x900 --pattern chart
export WINEPREFIX=${WINEPREFIX:-$(realpath "$build")/wineprefix}
# Rate 10 is quality 90; it is stored as the user's choice for later jobs too.
scripts/vlscan scan out/sample-chart.png out/sample.jpg --rate 10 --dpi 300 \
  --make "VARLO" --model "VLScan reference host"

echo
echo "Scanned out/sample-chart.png through VLEXIF.dll into $root/out/sample.jpg"
exiftool -s -Make -Model -Software -XResolution -YResolution -ResolutionUnit \
  -ExifImageWidth -ExifImageHeight -DateTimeOriginal out/sample.jpg
