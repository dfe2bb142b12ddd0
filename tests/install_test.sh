#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the build into a temporary prefix and checks it as a packager and
# a desktop would: the files where desktops (freedesktop.org) and the FHS
# look for them, the desktop entry and the metainfo valid, no run path into the
# build tree, and the installed programs working from there.
#   install_test.sh <build dir> <version>
set -euo pipefail
build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null

id=org.velkarin.Velkarin
expected=(
  bin/velkarin bin/velkarin-batch bin/velkarin-curve
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/man/man1/velkarin.1.gz share/man/man1/velkarin-batch.1.gz share/man/man1/velkarin-curve.1.gz
  share/doc/velkarin/copyright share/doc/velkarin/changelog.gz
)
for size in 16 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || fail "missing $file"
done
for program in velkarin velkarin-batch velkarin-curve; do
  [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
  if readelf -d "$prefix/bin/$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    fail "$program keeps a run path into the build tree"
  fi
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$program" --version)
  [ "$(head -n 1 <<< "$answer")" = "$program $version" ] || fail "$program --version says '$answer'"
  grep -q '^License: Apache-2.0' <<< "$answer" || fail "$program --version names no licence: '$answer'"
  env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$program" --help | grep -q "Usage: $program" || fail "$program --help"
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" > /dev/null || fail "metainfo does not validate"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo lacks release $version"


# Once for real: the installed program starts, shows its frame and keeps
# running until it is ended.
log="$prefix/velkarin.log"
mkdir -m 700 "$prefix/run"
XDG_RUNTIME_DIR="$prefix/run" QT_QPA_PLATFORM=offscreen "$prefix/bin/velkarin" > "$log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2> /dev/null || { cat "$log" >&2; fail "the installed velkarin ended by itself"; }
kill "$pid"
wait "$pid" 2> /dev/null || true
if grep -v 'propagateSizeHints' "$log" | grep -q .; then
  cat "$log" >&2
  fail "the installed velkarin printed messages"
fi
echo "install test: $prefix laid out as expected"
