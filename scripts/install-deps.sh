#!/usr/bin/env bash
# Installs the Debian 12 packages TARQ needs to build, test and run.
# Only missing packages are installed; nothing happens when all are present.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git ccache
  libsdl2-dev libepoxy-dev libgl-dev libgl1-mesa-dri libegl1
  libopenmpt-dev zlib1g-dev libpng-dev libsimpleini-dev
  libgtk-3-dev libcairo2-dev libfreetype-dev libkissfft-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth
  fonts-dejavu-core fonts-dejavu-extra fonts-freefont-ttf
  sox
  desktop-file-utils appstream mandoc dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
