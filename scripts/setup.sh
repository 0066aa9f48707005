#!/usr/bin/env bash
# Installs every build and test dependency on a Debian 12 machine, as root.
# Quick when everything is already there: apt is only asked for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-tidy
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32
  wine wine32:i386 fonts-wine xvfb x11-apps imagemagick
  googletest libbenchmark-dev valgrind locales
  dpkg-dev nasm libimage-exiftool-perl libjpeg-turbo-progs libstb-dev unzip jpeginfo
  libjpeg62-turbo-dev libspng-dev zlib1g-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes the ANSI code page from the locale: the double-byte tests run
# under Japanese (932) and Traditional Chinese (950).
generate=0
for locale in ja_JP zh_TW; do
  if ! locale -a 2>/dev/null | grep -qx "$locale.utf8"; then
    grep -qx "$locale.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null || echo "$locale.UTF-8 UTF-8" >> /etc/locale.gen
    generate=1
  fi
done
if ((generate)); then
  locale-gen > /dev/null
fi

"$(dirname "$0")/build-libjpeg-turbo.sh"
"$(dirname "$0")/build-png-libs.sh"
