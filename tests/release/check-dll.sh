#!/usr/bin/env bash
# A shipped DLL must export exactly the names given, undecorated, and import
# nothing but DLLs every Windows has (no C++, GCC or thread runtime DLLs).
# With --resource-only it must hold no code at all: no entry point, no imports.
# It must not import CreateSemaphore*, CreateMutex* or TlsAlloc either: what a
# statically linked runtime creates with them at load it never gives back, so
# a host that reloads the DLL loses a handle or a TLS slot a load. Only a
# check that requires the DLL's thousand-load census test as a fixture
# (FIXTURES_REQUIRED loads_clean_NAME, tests/entry/CMakeLists.txt), and so
# runs only when that passed, may accept them with --loads-proven-clean.
# With --version it must carry the version resource of that release too
# (check-version.sh).
#   check-dll.sh [--resource-only] [--loads-proven-clean] [--version X.Y.Z] DLL [EXPORT...]
set -euo pipefail
resource_only=false
loads_proven_clean=false
version=
while [[ $1 == --* ]]; do
  case $1 in
    --resource-only) resource_only=true ;;
    --loads-proven-clean) loads_proven_clean=true ;;
    --version) version=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
dll=$1
shift
dump=$(i686-w64-mingw32-objdump -p "$dll")
[[ $(sed -n 's/^Magic\s*//p' <<<"$dump") == 010b* ]] || { echo "$dll is not PE32" >&2; exit 1; }

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
               on && /^\t\[/ { print $NF; next }
               on { exit }' <<<"$dump" | xargs)
if [[ $exports != "$*" ]]; then
  echo "$dll exports [$exports], expected [$*]" >&2
  exit 1
fi

status=0
if $resource_only; then
  [[ $(sed -n 's/^AddressOfEntryPoint\s*//p' <<<"$dump") =~ ^0+$ ]] || { echo "$dll has an entry point" >&2; status=1; }
  if grep -q 'DLL Name:' <<<"$dump"; then echo "$dll imports DLLs" >&2; status=1; fi
fi
while read -r name; do
  case ${name,,} in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | gdi32.dll | shell32.dll | ole32.dll) ;;
    *) echo "$dll imports non-system DLL $name" >&2; status=1 ;;
  esac
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
if ! $loads_proven_clean; then
  # Import lines: hint-table address, ordinal hint, name.
  while read -r name; do
    echo "$dll imports $name: each load would keep what it creates" >&2
    status=1
  done < <(awk '$1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && $3 ~ /^(CreateSemaphore|CreateMutex|TlsAlloc)/ { print $3 }' <<<"$dump")
fi
if [[ -n $version ]]; then
  "$(dirname "$0")/check-version.sh" "$version" "$dll" || status=1
fi
exit $status
