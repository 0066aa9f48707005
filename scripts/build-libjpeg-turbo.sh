#!/usr/bin/env bash
# Builds libjpeg-turbo (static, with its nasm SIMD code) for the mingw-w64 i686
# target from Debian's source package, into a prefix outside the work tree so a
# `git clean` keeps it. Run as root by setup.sh; returns at once when the prefix
# was already built by this same script.
set -euo pipefail

prefix=${VLEXIF_JPEG_PREFIX:-/opt/vlexif/libjpeg-turbo-mingw-i686}
here=$(cd "$(dirname "$0")/.." && pwd)
recipe=$(cat "$0" "$here/scripts/debian-source.sh" "$here/cmake/mingw-i686.cmake" | sha256sum | cut -d' ' -f1)

if [[ -f $prefix/lib/libjpeg.a && -f $prefix/.recipe ]] && [[ $(<"$prefix/.recipe") == "$recipe" ]]; then
  exit 0
fi

# shellcheck source=scripts/debian-source.sh
. "$here/scripts/debian-source.sh"

rm -rf "$prefix.new"
work=$(mktemp -d /var/tmp/libjpeg-turbo.XXXXXX)
trap 'rm -rf "$work"' EXIT
chown _apt "$work" 2>/dev/null || true  # lets apt download as its own user
cd "$work"
fetch_source libjpeg-turbo >/dev/null
src=$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)

cmake -S "$src" -B build -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix.new" \
  -DCMAKE_ASM_NASM_COMPILER=nasm \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON >/dev/null
cmake --build build --target install >/dev/null

rm -rf "$prefix"
mv "$prefix.new" "$prefix"
echo "$recipe" >"$prefix/.recipe"
echo "libjpeg-turbo $(basename "$src") built into $prefix"
