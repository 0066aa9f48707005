#!/usr/bin/env bash
# The release command: installs what is missing, builds both sides and packs
# build/vlexif-VERSION-win32.zip (cmake/Package.cmake).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake -S . -B build -G Ninja
cmake --build build --target release-zip
