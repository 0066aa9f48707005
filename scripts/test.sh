#!/usr/bin/env bash
# The project's test command: installs what is missing, builds both sides and
# runs every test (native, and the Windows ones under Wine and Xvfb) with one
# ctest. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake -S . -B build -G Ninja
cmake --build build

# Wine takes the plug-in's language from the locale: the tests expect English
# unless they name a locale themselves.
export LANG=C.UTF-8
unset LC_ALL LC_MESSAGES LC_CTYPE

# shellcheck source=scripts/lib/wine-env.sh
. "$root/scripts/lib/wine-env.sh"

xvfb_pid=
desktop=
cleanup() {
  if [ -n "$desktop" ]; then exec {desktop}>&-; fi
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

# shellcheck source=scripts/lib/xvfb.sh
. "$root/scripts/lib/xvfb.sh"

# One wineserver for the whole run instead of one per test program, with
# Wine's own services and its desktop process started before the first test
# is timed, with the display and without ctest's output. A shell waiting on
# input for the whole run keeps the desktop alive. Otherwise the first test
# that opens a window starts it, and it holds that test's output open, so
# that ctest waits for the test until no Wine program has used the desktop
# for a second (minutes, beside the chaos run); and started by the chaos run
# without a display, it would give no test a window.
wineserver -p || true  # already running: keep it
exec {desktop}> >(exec wine cmd >/dev/null 2>&1)
# The desktop is up once this returns, whichever of the two started it.
wine cmd /c exit >/dev/null 2>&1 || true
# Xvfb has no window manager: Wine manages its windows itself, instead of
# waiting on every new window for a manager that never answers.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
ctest --test-dir build -j2 --output-on-failure "$@"
