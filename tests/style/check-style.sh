#!/usr/bin/env bash
# Fails when a C++ source of the tree drifts from the house style: its layout
# against .clang-format, its names and braces against the naming checks of
# .clang-tidy. Every translation unit of the given builds is read as its
# compiler reads it, so headers are checked through the sources that include
# them; a translation unit whose inputs are unchanged since it passed is not
# read again (tidy-changed.py).
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

# Names and braces: only the sources whose inputs changed since they last passed.
if ! python3 "$(dirname "$0")/tidy-changed.py" "$root" "$@"; then
  echo "style: names or braces above differ from .clang-tidy's naming checks" >&2
  status=1
fi
exit $status
