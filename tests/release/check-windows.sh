#!/usr/bin/env bash
# A shipped file must declare the oldest Windows it runs on as its OS and
# subsystem version, so that an older system's loader refuses it by name.
# With --manifest it must also carry an application manifest, resource 1 of
# type RT_MANIFEST (24), that runs it as the invoker, names every Windows
# from that one to 11 among those it supports, and is aware of the system's
# resolution.
#   check-windows.sh [--manifest] MAJOR.MINOR FILE...
set -euo pipefail
manifest=false
if [[ $1 == --manifest ]]; then
  manifest=true
  shift
fi
minimum=$1
shift

# The compatibility GUIDs, oldest first: Vista, 7, 8, 8.1, 10 and 11.
supported=(6.0:e2011457-1546-43c5-a5fe-008deee3d3f0 6.1:35138b9a-5d96-4fbd-8e2d-a2440225f93a
           6.2:4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 6.3:1f676c76-80e1-4239-95bb-83d0f6d0da78
           10.0:8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)

status=0
for file in "$@"; do
  name=$(basename "$file")
  dump=$(i686-w64-mingw32-objdump -p "$file")
  for field in OSystem Subsystem; do
    declared=$(sed -n "s/^Major${field}Version\s*//p" <<<"$dump").$(sed -n "s/^Minor${field}Version\s*//p" <<<"$dump")
    [[ $declared == "$minimum" ]] || { echo "$name declares $field version $declared, not $minimum" >&2; status=1; }
  done
  $manifest || continue
  # The resource tree as objdump prints it: types, their names, languages,
  # each level two spaces deeper.
  ids=$(awk '/^[0-9a-f]+ +Entry: ID: 0x/ {
               depth = index($0, "Entry")
               id = $4
               sub(/^0x/, "", id)
               sub(/,$/, "", id)
               if (depth < 9) type = id
               else if (depth < 11) print type "/" id
             }' <<<"$dump")
  grep -qx '000018/000001' <<<"$ids" || { echo "$name has no manifest resource 1 (resources: $(xargs <<<"$ids"))" >&2; status=1; }
  text=$(strings -n 8 "$file" | sed -n '/<assembly /,/<\/assembly>/p')
  grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$text" || { echo "$name is not run as the invoker" >&2; status=1; }
  grep -q '<dpiAware[^>]*>true</dpiAware>' <<<"$text" || { echo "$name is not aware of the resolution" >&2; status=1; }
  for entry in "${supported[@]}"; do
    version=${entry%%:*}
    if awk -v v="$version" -v m="$minimum" 'BEGIN { exit !(v + 0 >= m + 0) }'; then
      grep -qi "supportedOS Id=\"{${entry#*:}}\"" <<<"$text" || { echo "$name does not name Windows $version" >&2; status=1; }
    fi
  done
done
exit $status
