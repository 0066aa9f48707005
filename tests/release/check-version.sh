#!/usr/bin/env bash
# Every file given must carry the version resource of a VLEXIF release of
# VERSION, as Explorer's Details tab and installers read it: the fixed file
# and product versions, the US English Unicode strings naming the release,
# the version and the file under its own name, and the right file type.
# Read with exiftool, which parses the PE's resources independently of the
# resource compiler.
#   check-version.sh VERSION FILE...
set -euo pipefail
version=$1
shift
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "bad version $version" >&2; exit 2; }

status=0
for file in "$@"; do
  declare -A tag=()
  while IFS= read -r line; do
    tag[${line%%: *}]=${line#*: }
  done < <(exiftool -S -ObjectFileType -FileVersionNumber -ProductVersionNumber -LanguageCode -CharacterSet \
             -FileDescription -FileVersion -ProductVersion -ProductName -OriginalFileName "$file")
  name=$(basename "$file")
  case ${name,,} in
    *.dll) type='Dynamic link library' ;;
    *) type='Executable application' ;;
  esac
  declare -A want=(
    [ObjectFileType]=$type
    [FileVersionNumber]=$version.0 [ProductVersionNumber]=$version.0
    [LanguageCode]='English (U.S.)' [CharacterSet]=Unicode
    [FileVersion]=$version [ProductVersion]=$version
    [ProductName]=VLEXIF [OriginalFileName]=$name)
  for key in ObjectFileType FileVersionNumber ProductVersionNumber LanguageCode CharacterSet \
             FileVersion ProductVersion ProductName OriginalFileName; do
    if [[ ${tag[$key]-} != "${want[$key]}" ]]; then
      echo "$file: $key is '${tag[$key]-}', expected '${want[$key]}'" >&2
      status=1
    fi
  done
  [[ -n ${tag[FileDescription]-} ]] || { echo "$file has no FileDescription" >&2; status=1; }
  unset tag want
done
exit $status
