#!/usr/bin/env bash
# Installs every build and test dependency on a Debian 12 machine, as root.
# Quick when everything is already there: apt is only asked for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-tidy
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32
  wine wine32:i386 fonts-wine fonts-wqy-microhei xvfb x11-apps imagemagick locales
  googletest libbenchmark-dev valgrind
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

# The plug-in's languages, and one it does not have, for the tests that run
# it under each, and Traditional Chinese for the double-byte code page 950:
# Wine takes the UI language and the ANSI code page from the locale, and a
# locale that is not generated reads as English.
locales=(en_US de_DE fr_FR es_ES it_IT pt_BR nl_NL pl_PL ja_JP zh_CN zh_TW sv_SE)
generate=0
for l in "${locales[@]}"; do
  if ! grep -qx "$l.UTF-8 UTF-8" /etc/locale.gen; then
    echo "$l.UTF-8 UTF-8" >>/etc/locale.gen
    generate=1
  fi
  locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || generate=1
done
if ((generate)); then
  locale-gen >/dev/null
fi

"$(dirname "$0")/build-libjpeg-turbo.sh"
"$(dirname "$0")/build-png-libs.sh"
