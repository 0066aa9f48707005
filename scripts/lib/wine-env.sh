# Sourced by the scripts that run Windows programs: the build tree's private
# Wine prefix (created on first use), quiet, without the .NET and HTML
# installers Wine would otherwise offer. Needs root set to the project folder.
export WINEPREFIX=$root/build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i
  wineserver -w
fi
