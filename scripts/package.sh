#!/usr/bin/env bash
# Builds the Debian package build/tonewright_<version>_<arch>.deb: installs what is needed,
# builds the installed parts, and runs CPack (dependencies computed by dpkg-shlibdeps).
# Install it with: sudo apt install ./build/tonewright_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target tonewright twr-convert twrLib twr_manpages
(cd build && cpack -G DEB)
ls -1 build/tonewright_*.deb
