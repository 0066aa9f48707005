#!/usr/bin/env bash
# Builds the converter benchmark's same-platform anchors: libjpeg-turbo's
# tjbench and cjpeg as static 32-bit Windows programs, from the Debian source
# version the product's library was built from (its prefix's .source) and with
# the same settings (scripts/lib/libjpeg-turbo.sh), TurboJPEG on, into a
# prefix outside the work tree. Run as root by bench/converter/run.sh; returns
# at once when that prefix was already built by this same script from that
# same source. Prints the prefix.
set -euo pipefail

prefix=${VLEXIF_ANCHORS_PREFIX:-/opt/vlexif/jpeg-anchors-mingw-i686}
library=${VLEXIF_JPEG_PREFIX:-/opt/vlexif/libjpeg-turbo-mingw-i686}
here=$(cd "$(dirname "$0")/../.." && pwd)

if [[ ! -f $library/.source ]]; then
  echo "no $library/.source: run scripts/setup.sh, which builds the product's libjpeg-turbo" >&2
  exit 1
fi
source=$(<"$library/.source")
recipe=$( (cat "$0" "$here/scripts/lib/libjpeg-turbo.sh" "$here/scripts/lib/debian-source.sh" \
  "$here/cmake/mingw-i686.cmake" "$here/tests/release/check-no-emutls.sh"; echo "$source") |
  sha256sum | cut -d' ' -f1)

if [[ -f $prefix/bin/tjbench.exe && -f $prefix/bin/cjpeg.exe && -f $prefix/.recipe ]] &&
  [[ $(<"$prefix/.recipe") == "$recipe" ]]; then
  echo "$prefix"
  exit 0
fi

# shellcheck source=scripts/lib/libjpeg-turbo.sh
. "$here/scripts/lib/libjpeg-turbo.sh"

rm -rf "$prefix.new"
fetch_libjpeg_turbo "${source#libjpeg-turbo }"
# -static: no libgcc or winpthread DLL for Wine to look for beside them.
# --large-address-aware: tjbench holds the page and a JPEG buffer as large,
# which at 1200 dpi with whole chroma is more than 2 GB of addresses give.
configure_libjpeg_turbo build "$prefix.new" -DWITH_TURBOJPEG=ON \
  "-DCMAKE_EXE_LINKER_FLAGS=-static -Wl,--large-address-aware"
cmake --build build --target tjbench-static cjpeg-static >/dev/null
# The anchor must not pay for emulated TLS that the product does not.
"$here/tests/release/check-no-emutls.sh" build/libturbojpeg.a build/tjbench-static.exe build/cjpeg-static.exe
install -Dm755 build/tjbench-static.exe "$prefix.new/bin/tjbench.exe"
install -Dm755 build/cjpeg-static.exe "$prefix.new/bin/cjpeg.exe"

rm -rf "$prefix"
mv "$prefix.new" "$prefix"
echo "$recipe" >"$prefix/.recipe"
echo "$source" >"$prefix/.source"
echo "tjbench and cjpeg of $source built into $prefix" >&2
echo "$prefix"
