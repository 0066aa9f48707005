#!/usr/bin/env bash
# Fails when a C++ source of the tree drifts from the house style: its layout
# against .clang-format, its names and braces against the naming checks of
# .clang-tidy. Every translation unit of the given builds is read as its
# compiler reads it, so headers are checked through the sources that include
# them.
#   check-style.sh ROOT BUILD_DIR...   (each BUILD_DIR holds compile_commands.json)
set -euo pipefail
root=$1
shift
cd "$root"

status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "style: run clang-format -i on the files above" >&2
  status=1
fi

# The Windows side's sources are read as the cross compiler (posix threads)
# reads them: its libstdc++ first, then clang's own headers, then the mingw headers.
mingw_cxx=$(i686-w64-mingw32-g++-posix -print-file-name=include/c++ 2>/dev/null || true)
mingw_args=(--extra-arg=--target=i686-w64-mingw32 --extra-arg=-nostdinc++ --extra-arg=-nostdlibinc
            --extra-arg=-isystem"$mingw_cxx" --extra-arg=-isystem"$mingw_cxx"/i686-w64-mingw32
            --extra-arg=-idirafter/usr/i686-w64-mingw32/include)

listed=$(mktemp)
trap 'rm -f "$listed"' EXIT
for build in "$@"; do
  # Each C++ source once, from the first build that compiles it; not the
  # sources of others (GoogleTest) nor generated ones.
  python3 - "$build/compile_commands.json" "$root" "$listed" <<'PY' > "$build/style-sources.txt"
import json, os, sys
database, root, listed = sys.argv[1:]
seen = set(open(listed).read().split())
with open(listed, 'a') as out:
    for entry in json.load(open(database)):
        path = os.path.normpath(os.path.join(entry['directory'], entry['file']))
        if path.endswith('.cpp') and path.startswith(root + '/') and '/build' not in path[len(root):] \
                and path not in seen:
            seen.add(path)
            out.write(path + '\n')
            print(path)
PY
  args=()
  if grep -q 'mingw32' "$build/compile_commands.json"; then
    args=("${mingw_args[@]}")
  fi
  if ! xargs -a "$build/style-sources.txt" -P 2 -n 8 clang-tidy -p "$build" --quiet \
       --checks='-*,readability-identifier-naming,readability-braces-around-statements' \
       --warnings-as-errors='*' "${args[@]}" 2>/dev/null; then
    echo "style: names or braces above differ from .clang-tidy's naming checks" >&2
    status=1
  fi
done
exit $status
