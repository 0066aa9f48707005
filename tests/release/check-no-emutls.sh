#!/usr/bin/env bash
# Each file (an archive, an object or a linked program with its symbol table)
# must not use emulated thread-local storage. mingw-w64 turns every access to a
# thread-local variable into a call to __emutls_get_address: in libjpeg-turbo's
# SIMD dispatch that costs 15 to 25 % more time for a page
# (scripts/lib/libjpeg-turbo.sh). A file without symbols proves nothing, so
# it fails too.
#   check-no-emutls.sh FILE...
set -euo pipefail
status=0
for file; do
  symbols=$(i686-w64-mingw32-nm -A "$file" || true)
  if [[ -z $symbols ]]; then
    echo "$file: no symbols to check" >&2
    status=1
    continue
  fi
  # Lines "FILE[:MEMBER]:ADDRESS TYPE NAME"; the name as C spells it, without
  # the leading underscore i686 adds.
  while read -r where; do
    echo "$where uses emulated thread-local storage (__emutls_get_address)" >&2
    status=1
  done < <(awk '$NF ~ /^_+emutls_get_address$/ { sub(/:[0-9a-f]*$/, "", $1); print $1 }' <<<"$symbols" | sort -u)
done
exit $status
