# Sourced by the scripts that build a library from Debian's source packages:
# deb-src entries where the image has none, and fetch_source.
# apt-get source needs deb-src entries; Debian 12 images ship binary ones only.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  cat >/etc/apt/sources.list.d/vlexif-deb-src.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt-get update -qq
fi

# Fetches and unpacks the newest version of a source package that can really be
# downloaded: our mirror lists zlib's bookworm-security upload but answers 404
# for its files, so older versions are tried in turn. With VERSION, only that
# one: a second build that must match an earlier one. Prints "PACKAGE VERSION".
#   fetch_source PACKAGE [VERSION]
fetch_source() {
  local pkg=$1 v versions
  versions=${2:-$(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -Vru)}
  for v in $versions; do
    if apt-get source -qq "$pkg=$v" >/dev/null 2>>fetch.log; then
      echo "$pkg $v"
      return 0
    fi
  done
  cat fetch.log >&2
  echo "no version of source package $pkg could be fetched" >&2
  return 1
}
