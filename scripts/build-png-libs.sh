#!/usr/bin/env bash
# Builds zlib and libspng (static, CRC checks on) for the mingw-w64 i686 target
# from Debian's source packages, into a prefix outside the work tree so a
# `git clean` keeps it. Run as root by setup.sh; returns at once when the prefix
# was already built by this same script.
set -euo pipefail

prefix=${VLEXIF_PNG_PREFIX:-/opt/vlexif/png-mingw-i686}
here=$(cd "$(dirname "$0")/.." && pwd)
recipe=$(cat "$0" "$here/scripts/lib/debian-source.sh" "$here/cmake/mingw-i686.cmake" | sha256sum | cut -d' ' -f1)

if [[ -f $prefix/lib/libz.a && -f $prefix/lib/libspng_static.a && -f $prefix/.recipe ]] &&
  [[ $(<"$prefix/.recipe") == "$recipe" ]]; then
  exit 0
fi

# shellcheck source=scripts/lib/debian-source.sh
. "$here/scripts/lib/debian-source.sh"

rm -rf "$prefix.new"
work=$(mktemp -d /var/tmp/png-libs.XXXXXX)
trap 'rm -rf "$work"' EXIT
chown _apt "$work" 2>/dev/null || true  # lets apt download as its own user
cd "$work"
zlib_version=$(fetch_source zlib)
spng_version=$(fetch_source libspng)
zsrc=$(find . -maxdepth 1 -type d -name 'zlib-*' | head -n1)
ssrc=$(find . -maxdepth 1 -type d -name 'libspng-*' | head -n1)

common=(-G Ninja -Wno-dev -Wno-deprecated
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake"
  -DCMAKE_BUILD_TYPE=Release)

# Only zlib's static target: its DLL target wants win32/zlib1.rc, which
# Debian's repacked source leaves out, and its install rule covers both.
cmake -S "$zsrc" -B build-zlib "${common[@]}" >/dev/null
cmake --build build-zlib --target zlibstatic >/dev/null
install -Dm644 build-zlib/libzlibstatic.a "$prefix.new/lib/libz.a"
install -Dm644 -t "$prefix.new/include" build-zlib/zconf.h "$zsrc/zlib.h"

# libspng 0.7.3 points its static block at the shared target, so configuring
# with SPNG_SHARED=OFF fails; aim it at spng_static (a no-op once fixed).
sed -i '/^if(SPNG_STATIC)/,/^endif()/s/target_include_directories(spng PUBLIC/target_include_directories(spng_static PUBLIC/' \
  "$ssrc/CMakeLists.txt"
# ZLIB_* given outright so FindZLIB cannot pick another zlib from the sysroot.
# ENABLE_OPT: its x86 filters use SSE2 with no CPU check, which the whole
# project requires anyway (-msse2; GCC 12 also needs it for the intrinsics
# headers); 32-bit Windows callers need not keep the stack 16-aligned, so
# -mstackrealign has every function realign it where its SSE2 data needs.
cmake -S "$ssrc" -B build-spng "${common[@]}" \
  -DCMAKE_C_FLAGS="-msse2 -mstackrealign" \
  -DCMAKE_INSTALL_PREFIX="$prefix.new" \
  -DSPNG_SHARED=OFF -DSPNG_STATIC=ON -DBUILD_EXAMPLES=OFF -DENABLE_OPT=ON \
  -DZLIB_INCLUDE_DIR="$prefix.new/include" \
  -DZLIB_LIBRARY="$prefix.new/lib/libz.a" >/dev/null
cmake --build build-spng --target install >/dev/null
# Its .pc names -lspng, a library this build does not make.
rm -rf "$prefix.new/lib/pkgconfig"

rm -rf "$prefix"
mv "$prefix.new" "$prefix"
echo "$recipe" >"$prefix/.recipe"
echo "$zlib_version and $spng_version built into $prefix"
