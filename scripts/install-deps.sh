#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the Debian packages Velkarin needs to build, test and run, and only
# those that are missing. Runs apt-get as root, through sudo otherwise.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n qt6-charts-dev qt6-svg-dev
  libgl-dev
  fonts-noto-cjk
  xvfb xauth
  desktop-file-utils appstream dpkg-dev file lintian
  qt6-wayland
  nlohmann-json3-dev poppler-utils shared-mime-info
  libboost-dev libceres-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "error: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}"
