#!/usr/bin/env bash
# The plug-in under each of its languages, one it lacks, and a Japanese UI
# language on a Western ANSI code page, at 96, 144 and 192 dpi: language_check
# compares the message box, the describe texts and both dialogs with the
# expected language's resources and measures every text in the dialogs;
# vlscan describe must print the plug-in's texts in that language. Every
# dialog is captured as SHOTS/DPI/LOCALE-DIALOG.png.
#   dialog-fit.sh WORK LANGUAGE_CHECK_EXE VLSCAN_EXE SHOTS
# Needs a display (scripts/test.sh starts Xvfb).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1 check=$2 vlscan=$3 shots=$4

# A prefix of its own: the resolution is a setting of the whole prefix.
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's own fonts, which Debian's Wine does not look for where fonts-wine
# puts them, and frames drawn by Wine itself for the captures (Xvfb has no
# window manager).
ln -sf /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null

# Locale (LANG, then LC_MESSAGES, which Wine takes the UI language from) and
# the language the plug-in must speak under it.
runs=(
  "en_US en_US 0409" "de_DE de_DE 0407" "fr_FR fr_FR 040C" "es_ES es_ES 0C0A" "it_IT it_IT 0410"
  "pt_BR pt_BR 0416" "nl_NL nl_NL 0413" "pl_PL pl_PL 0415" "ja_JP ja_JP 0411" "zh_CN zh_CN 0804"
  "sv_SE sv_SE 0409" "en_US ja_JP 0409"
)

failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

in_locale() {
  LC_ALL='' LANG=$lang.UTF-8 LC_MESSAGES=$messages.UTF-8 "$@"
}

# Runs language_check, capturing each dialog when it reports its rectangle.
inspect() {
  local shot_dir=$1 name=$2 expected=$3 line which x y width height pid
  coproc probe { in_locale wine "$check" "$expected" --pause 2>&1; }
  # shellcheck disable=SC2154 # coproc sets it
  pid=$probe_PID
  while IFS= read -r line <&"${probe[0]}"; do
    line=${line%$'\r'}
    case $line in
      about\ * | compression\ *)
        read -r which x y width height <<<"$line"
        import -window root -crop "${width}x${height}+${x}+${y}" +repage -strip \
          -define png:exclude-chunks=date,time "$shot_dir/$name-$which.png"
        echo next >&"${probe[1]}"
        ;;
      *) echo "$line" ;;
    esac
  done
  wait "$pid"
}

for dpi in 96 144 192; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  mkdir -p "$shots/$dpi"
  for run in "${runs[@]}"; do
    read -r lang messages expected <<<"$run"
    name=$messages
    [[ $lang == "$messages" ]] || name=$messages-on-$lang
    echo "== $dpi dpi, $name"
    if ! output=$(inspect "$shots/$dpi" "$name" "$expected"); then
      fail "$name at $dpi dpi"
    fi
    echo "$output"
    grep -qx "dpi $dpi" <<<"$output" || fail "$name: the display is not at $dpi dpi"
    if ((dpi == 96)); then
      described=$(in_locale wine "$vlscan" describe | tr -d '\r')
      grep -qxF "$(grep '^plug-in:' <<<"$output")" <<<"$described" ||
        fail "$name: vlscan describe shows \"$(head -1 <<<"$described")\""
      grep -q '?' <<<"$described" && fail "$name: vlscan describe shows question marks"
    fi
  done
done
exit $failed
