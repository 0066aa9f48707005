#!/usr/bin/env bash
# A shipped DLL must export exactly the names given, undecorated, and import
# nothing but DLLs every Windows has (no C++, GCC or thread runtime DLLs).
# With --resource-only it must hold no code at all: no entry point, no imports.
#   check-dll.sh [--resource-only] DLL [EXPORT...]
set -euo pipefail
resource_only=false
if [[ $1 == --resource-only ]]; then
  resource_only=true
  shift
fi
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
exit $status
