#!/usr/bin/env bash
# Builds libjpeg-turbo (static, with its nasm SIMD code) for the mingw-w64 i686
# target from Debian's source package, into a prefix outside the work tree so a
# `git clean` keeps it. Run as root by setup.sh; returns at once when the prefix
# was already built by this same script. The prefix's .source names the source
# version, which the benchmark's 32-bit programs are built from too.
set -euo pipefail

prefix=${VLEXIF_JPEG_PREFIX:-/opt/vlexif/libjpeg-turbo-mingw-i686}
here=$(cd "$(dirname "$0")/.." && pwd)
recipe=$(cat "$0" "$here/scripts/lib/libjpeg-turbo.sh" "$here/scripts/lib/debian-source.sh" \
  "$here/cmake/mingw-i686.cmake" | sha256sum | cut -d' ' -f1)

if [[ -f $prefix/lib/libjpeg.a && -f $prefix/.source && -f $prefix/.recipe ]] &&
  [[ $(<"$prefix/.recipe") == "$recipe" ]]; then
  exit 0
fi

# shellcheck source=scripts/lib/libjpeg-turbo.sh
. "$here/scripts/lib/libjpeg-turbo.sh"

rm -rf "$prefix.new"
fetch_libjpeg_turbo
configure_libjpeg_turbo build "$prefix.new" -DWITH_TURBOJPEG=OFF
cmake --build build --target install >/dev/null

rm -rf "$prefix"
mv "$prefix.new" "$prefix"
echo "$recipe" >"$prefix/.recipe"
echo "$jpeg_source" >"$prefix/.source"
echo "$jpeg_source built into $prefix"
