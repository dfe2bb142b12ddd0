#!/usr/bin/env bash
# Checks the Debian package that `make package` built: its files (dpkg-deb -c)
# and its metadata (dpkg-deb -I).
#   check-package.sh <package.deb>
set -euo pipefail
deb=$1
fail() { echo "package check: $*" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/velkarin ./usr/bin/velkarin-batch ./usr/bin/velkarin-curve \
            ./usr/share/applications/org.velkarin.Velkarin.desktop \
            ./usr/share/metainfo/org.velkarin.Velkarin.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/org.velkarin.Velkarin.svg \
            ./usr/share/icons/hicolor/48x48/apps/org.velkarin.Velkarin.png \
            ./usr/share/man/man1/velkarin-batch.1 ./usr/share/man/man1/velkarin-curve.1; do
  grep -qF " $file" <<< "$contents" || fail "the package lacks $file"
done

info=$(dpkg-deb -I "$deb")
field() { sed -n "s/^ $1: //p" <<< "$info"; }
[ "$(field Package)" = velkarin ] || fail "package name is '$(field Package)'"
[ "$(field Section)" = science ] || fail "section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
[ -n "$(field Version)" ] || fail "no version"
depends=$(field Depends)
for dependency in libqt6widgets6 libqt6charts6 libc6 libstdc++6 fonts-noto-cjk qt6-qpa-plugins; do
  grep -q "$dependency" <<< "$depends" || fail "Depends lacks $dependency: $depends"
done
echo "package check: $deb has its files and metadata ($(field Version), Depends: $depends)"
