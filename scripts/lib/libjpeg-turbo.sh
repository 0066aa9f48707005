# shellcheck shell=bash
# Sourced by the scripts that build libjpeg-turbo for the mingw-w64 i686 target
# from Debian's source package: the product's library (build-libjpeg-turbo.sh)
# and the benchmark's 32-bit programs (bench/converter/build-anchors.sh), so
# that both compile the same source with the same settings. Needs here set to
# the project folder; run as root.

# shellcheck source=scripts/lib/debian-source.sh
. "$here/scripts/lib/debian-source.sh"

# Fetches libjpeg-turbo's source (VERSION if given, else the newest that can be
# downloaded) into a new temporary folder, which becomes the current one and is
# removed on exit. Sets jpeg_src (the unpacked source) and jpeg_source
# ("libjpeg-turbo VERSION", what the prefix records).
#   fetch_libjpeg_turbo [VERSION]
fetch_libjpeg_turbo() {
  jpeg_work=$(mktemp -d /var/tmp/libjpeg-turbo.XXXXXX)
  trap 'rm -rf "$jpeg_work"' EXIT
  chown _apt "$jpeg_work" 2>/dev/null || true  # lets apt download as its own user
  cd "$jpeg_work" || return
  jpeg_source=$(fetch_source libjpeg-turbo "$@")
  jpeg_src=$jpeg_work/$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' -printf '%f\n' | head -n1)
}

# Configures the fetched source in BUILD for a static build with its nasm SIMD
# code, plus any further CMake arguments.
#   configure_libjpeg_turbo BUILD PREFIX [CMAKE-ARG...]
# HAVE_THREAD_LOCAL=0: with the TurboJPEG API on, libjpeg-turbo declares its
# SIMD-support flags thread-local, which mingw-w64 makes emulated TLS, a call to
# __emutls_get_address on every SIMD dispatch: 15 to 25 % more time for a page.
# Without it they are plain statics, as in the product's library (TurboJPEG
# off): every thread writes the same value from cpuid, so none can see another.
configure_libjpeg_turbo() {
  local build=$1 prefix=$2
  shift 2
  cmake -S "$jpeg_src" -B "$build" -G Ninja -Wno-dev --no-warn-unused-cli \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DREQUIRE_SIMD=ON \
    -DHAVE_THREAD_LOCAL=0 "$@" >/dev/null
}
