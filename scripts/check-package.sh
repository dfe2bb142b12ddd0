#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Checks the Debian package that `make package` built as a distribution
# would: its files (dpkg-deb -c), its metadata (dpkg-deb -I), lintian with
# no error or warning, the desktop entry and the metainfo valid. With
# VELKARIN_RELEASE=1 it also refuses the local build's default maintainer.
#   check-package.sh <package.deb>
set -euo pipefail
deb=$1
fail() { echo "package check: $*" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/velkarin ./usr/bin/velkarin-batch ./usr/bin/velkarin-curve \
            ./usr/share/applications/org.velkarin.Velkarin.desktop \
            ./usr/share/mime/packages/org.velkarin.Velkarin.xml \
            ./usr/share/metainfo/org.velkarin.Velkarin.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/org.velkarin.Velkarin.svg \
            ./usr/share/icons/hicolor/48x48/apps/org.velkarin.Velkarin.png \
            ./usr/share/man/man1/velkarin.1.gz ./usr/share/man/man1/velkarin-batch.1.gz \
            ./usr/share/man/man1/velkarin-curve.1.gz \
            ./usr/share/doc/velkarin/copyright ./usr/share/doc/velkarin/changelog.gz \
            ./usr/share/doc/velkarin/manual/index.html; do
  grep -qF " $file" <<< "$contents" || fail "the package lacks $file"
done

info=$(dpkg-deb -I "$deb")
field() { sed -n "s/^ $1: //p" <<< "$info"; }
[ "$(field Package)" = velkarin ] || fail "package name is '$(field Package)'"
[ "$(field Section)" = science ] || fail "section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
[ -n "$(field Version)" ] || fail "no version"
depends=$(field Depends)
for dependency in libqt6widgets6 libqt6charts6 libc6 libstdc++6 fonts-noto-cjk qt6-qpa-plugins qt6-wayland; do
  grep -q "$dependency" <<< "$depends" || fail "Depends lacks $dependency: $depends"
done
maintainer=$(field Maintainer)
if [ "${VELKARIN_RELEASE:-0}" = 1 ] && grep -q 'velkarin.invalid' <<< "$maintainer"; then
  fail "a release names its maintainer (-DVELKARIN_MAINTAINER), not '$maintainer'"
fi
grep -q 'example\.org' <<< "$info" && fail "a placeholder address in the package: $info"

# As a distribution checks it: lintian, then the installed desktop files.
lintian --fail-on error,warning --info --display-info --pedantic "$deb" ||
  fail "lintian found errors or warnings"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/org.velkarin.Velkarin.desktop" ||
  fail "the desktop entry is not valid"
grep -q '^MimeType=application/x-velkarin-plan;' "$unpacked/usr/share/applications/org.velkarin.Velkarin.desktop" ||
  fail "the desktop entry does not open plans"
if command -v xmllint > /dev/null; then
  xmllint --noout "$unpacked/usr/share/mime/packages/org.velkarin.Velkarin.xml" || fail "the mime type file is not XML"
fi
mime=$(mktemp -d)
mkdir -p "$mime/mime/packages"
cp "$unpacked/usr/share/mime/packages/org.velkarin.Velkarin.xml" "$mime/mime/packages/"
update-mime-database "$mime/mime" 2> /dev/null || fail "update-mime-database refuses the mime type file"
grep -q 'application/x-velkarin-plan' "$mime/mime/globs2" || fail "the mime type does not register *.velkarin"
rm -rf "$mime"
appstreamcli validate --pedantic --no-net "$unpacked/usr/share/metainfo/org.velkarin.Velkarin.metainfo.xml" ||
  fail "the metainfo is not valid"
grep -q '^License: Apache-2.0' "$unpacked/usr/share/doc/velkarin/copyright" || fail "the copyright file names no licence"
zcat "$unpacked/usr/share/doc/velkarin/changelog.gz" | head -n 1 | grep -q "^velkarin ($(field Version))" ||
  fail "the changelog does not start with this version"

echo "package check: $deb has its files and metadata ($(field Version), Depends: $depends)"
