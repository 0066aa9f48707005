#!/usr/bin/env bash
# The release package as a user gets it: unpacked into an empty folder, it
# must hold exactly the shipped files and texts, match its SHA256SUMS, carry
# the release's version in every file's resources and in vlscan --version,
# declare the oldest Windows WINDOWS (MAJOR.MINOR) in every file's header,
# name the code of others in its notices, and scan a page under Wine with
# nothing but the programs in that folder. The scan runs in a Wine prefix of
# its own (made on first use, then kept), so that no other test's scan or job
# lock meets it. Last, the install text's commands for Linux are followed as
# written, in a fresh prefix.
#   check-package.sh ZIP VERSION WORK PREFIX WINDOWS
set -euo pipefail
zip=$1
version=$2
work=$3
windows=$5
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=$4
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  "$here/../../scripts/wine-prefix.sh" "$WINEPREFIX"
fi

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work/unpacked"
dir=$work/unpacked
[[ $(basename "$zip") == "vlexif-$version-win32.zip" ]] || fail "the package is named $(basename "$zip")"
unzip -q "$zip" -d "$dir"

files=$(cd "$dir" && find . -mindepth 1 -printf '%P\n' | sort | xargs)
expected="INSTALL.txt SHA256SUMS THIRD-PARTY-NOTICES.txt VLEXIF.dll VkExf.dll Vlexifres.dll vlscan.exe"
[[ $files == "$expected" ]] || fail "the package holds [$files], expected [$expected]"
summed=$(awk '{ print $2 }' "$dir/SHA256SUMS" | sort | xargs)
[[ $summed == "${expected/SHA256SUMS /}" ]] || fail "SHA256SUMS covers [$summed]"
(cd "$dir" && sha256sum --quiet -c SHA256SUMS) || fail "the files do not match SHA256SUMS"

# Stripped, and still the DLLs a host can load: exports, imports, version,
# the Windows they need.
for pe in "$dir"/*.dll "$dir"/*.exe; do
  if i686-w64-mingw32-objdump -h "$pe" | grep -q '\.debug_'; then fail "$(basename "$pe") keeps debug information"; fi
done
"$here/check-dll.sh" --version "$version" "$dir/VLEXIF.dll" VLScanEntry
"$here/check-dll.sh" --version "$version" --resource-only "$dir/Vlexifres.dll"
"$here/check-dll.sh" --version "$version" "$dir/VkExf.dll" VkExf_Entry VkExf_EntryWithOptions VkExf_LastError VkExf_LastStatus
"$here/check-version.sh" "$version" "$dir/vlscan.exe"
"$here/check-windows.sh" "$windows" "$dir/VLEXIF.dll" "$dir/Vlexifres.dll" "$dir/VkExf.dll"
"$here/check-windows.sh" --manifest "$windows" "$dir/vlscan.exe"

# Wine's server and services started without this test's output: one that
# held it open would keep ctest waiting after the test's last program.
wine cmd /c exit > /dev/null 2>&1
said=$(wine "$dir/vlscan.exe" --version | tr -d '\r')
[[ $said == "vlscan $version" ]] || fail "vlscan --version says '$said', the resources $version"

notices=$(tr -d '\r' <"$dir/THIRD-PARTY-NOTICES.txt")
grep -Eq '^  VkExf\.dll +libjpeg-turbo; ' <<<"$notices" || fail "the notices do not name libjpeg-turbo in VkExf.dll"
grep -Eq '^  vlscan\.exe +libjpeg-turbo; libspng; zlib; stb; ' <<<"$notices" ||
  fail "the notices do not name the picture decoders in vlscan.exe"
grep -Eq '^  Vlexifres\.dll +no code of others$' <<<"$notices" || fail "the notices do not clear Vlexifres.dll"
for text in 'This software is based in part on the work of the Independent JPEG Group.' \
            'The Modified (3-clause) BSD License' 'Permission is granted to anyone to use this software' \
            'GCC RUNTIME LIBRARY EXCEPTION' 'Files: mingw-w64-crt/' 'Upstream-Name: stb' \
            'Upstream-Name: libspng' 'License: libpng-2.0' 'Upstream-Name: zlib'; do
  grep -qF "$text" <<<"$notices" || fail "the notices lack '$text'"
done

# A page through the unpacked programs alone, at quality 90.
convert -size 96x64 gradient:navy-orange "$work/page.png"
wine "$dir/vlscan.exe" scan "$(winepath -w "$work/page.png")" "$(winepath -w "$work/page.jpg")" --quiet --rate 10 >/dev/null ||
  fail "the scan with the unpacked programs failed"
[[ $(identify -format '%m %w %h' "$work/page.jpg") == "JPEG 96 64" ]] || fail "the scan wrote no 96 x 64 JPEG"
psnr=$(compare -metric PSNR "$work/page.png" "$work/page.jpg" null: 2>&1 || true)
awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 30) }' || fail "the scanned page is not the page sent (PSNR $psnr dB)"
# The install text followed as written: its "$ " lines run in order in the
# unpacked folder, with a page to scan, for a user whose home holds no Wine
# prefix yet, so that the prefix it makes is fresh.
install=$(tr -d '\r' <"$dir/INSTALL.txt")
steps=$(sed -n 's/^  \$ //p' <<<"$install")
[[ $(grep -c 'wine vlscan.exe scan' <<<"$steps") -ge 2 ]] || fail "the install text lost its commands: [$steps]"
cp "$work/page.png" "$dir/page.png"
rm -f "$dir/page.jpg"
mkdir "$work/home"
(cd "$dir" && env -u WINEPREFIX -u WINEARCH -u DISPLAY HOME="$work/home" bash -euo pipefail -c "$steps") \
  >"$work/followed.txt" 2>&1 || fail "following the install text failed: $(cat "$work/followed.txt")"
# The registry reaches its files once the prefix's server has ended.
WINEPREFIX=$work/home/.wine-vlexif wineserver -w
grep -q '^#arch=win32' "$work/home/.wine-vlexif/system.reg" || fail "the install text made no 32-bit prefix"
[[ $(identify -format '%m %w %h' "$dir/page.jpg") == "JPEG 96 64" ]] || fail "following the install text wrote no JPEG"
grep -q "JPEG image with EXIF data" "$work/followed.txt" || fail "describe, as the install text has it: $(cat "$work/followed.txt")"
# Its exit statuses and default quality are the host's.
statuses=$(wine "$dir/vlscan.exe" --help | tr -d '\r' | sed -n '/^exit status:/,$p' | tail -n +2)
[[ -n $statuses && $install == *"$statuses"* ]] || fail "the install text's exit statuses differ from vlscan --help: [$statuses]"
grep -q "Compression rate: 75%; color: automatic (JPEG quality 25)" "$work/followed.txt" && grep -q "25 by default" <<<"$install" ||
  fail "the install text's default quality is not the plug-in's"
echo "package $(basename "$zip"): content, versions, notices, a scan and the install text checked (PSNR $psnr dB)"
