#!/usr/bin/env bash
# The source of ERFA, the time-scale routines the stand-in links, for builds that cannot use the
# system's library (the Windows build): Debian's source package of the very version installed
# (liberfa-dev), fetched with apt-get through a source list of its own, so that the machine's
# apt set-up is left as it is. Unpacked into DEST/erfa; does nothing when it is there.
#   scripts/fetch-erfa-source.sh DEST
set -euo pipefail
dest=$1
if [ -f "$dest/erfa/src/erfa.h" ]; then
  exit 0
fi
version=$(dpkg-query -W -f='${source:Version}' liberfa-dev)
upstream=${version%-*}
upstream=${upstream#*:}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/sources" "$work/download"
cat >"$work/sources/erfa.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $(. /etc/os-release && echo "$VERSION_CODENAME")
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_private=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/sources"
  -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache")
# As root apt downloads as its own user, who cannot write to our folder.
if [ "$(id -u)" -eq 0 ]; then apt_private+=(-o APT::Sandbox::User=root); fi
apt-get "${apt_private[@]}" -q update
(cd "$work/download" && apt-get "${apt_private[@]}" -q source --download-only "erfa=$version")

mkdir -p "$dest"
rm -rf "$dest/erfa"
tar -xzf "$work/download/erfa_${upstream}.orig.tar.gz" -C "$work"
mv "$work/erfa-${upstream}" "$dest/erfa"
test -f "$dest/erfa/src/erfa.h"
