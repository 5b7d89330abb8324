#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Tonewright. Safe to re-run:
# only missing packages are installed. With --fuzz, also clang and its libFuzzer runtime for
# the fuzz targets in fuzz/ (the test suite does not need them).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
  libmp3lame-dev libvorbis-dev libtag1-dev libsdl2-dev libsodium-dev
  ffmpeg vorbis-tools python3-mutagen xvfb xauth imagemagick fonts-dejavu-core e2fsprogs
  dpkg-dev file desktop-file-utils appstream minisign exfatprogs exfat-fuse parallel
  at-spi2-core python3-pyatspi
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
