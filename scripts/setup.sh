#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need, skipping those already there.
set -euo pipefail

packages=(
    make cmake g++ pkg-config
    liballegro4-dev libx11-dev
    googletest libgtest-dev libbenchmark-dev
    imagemagick sox abcmidi midicsv freepats
    xvfb xdotool x11-utils libxml2-utils
    clang libclang-rt-14-dev
    dpkg-dev lintian desktop-file-utils appstream
    python3
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
