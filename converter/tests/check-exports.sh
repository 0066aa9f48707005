#!/usr/bin/env bash
# VkExf.dll must export VkExf_Entry alone, undecorated, and import nothing
# but DLLs every Windows has (no C++ or GCC runtime DLLs).
set -euo pipefail
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
               on && /^\t\[/ { print $NF; next }
               on { exit }' <<<"$dump")
if [[ $exports != VkExf_Entry ]]; then
  echo "exports are [$exports], expected exactly VkExf_Entry" >&2
  exit 1
fi

status=0
while read -r name; do
  case ${name,,} in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | gdi32.dll | shell32.dll | ole32.dll) ;;
    *) echo "imports non-system DLL $name" >&2; status=1 ;;
  esac
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
exit $status
