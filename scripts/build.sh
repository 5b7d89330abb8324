#!/usr/bin/env bash
# Configures and builds into ./build (Release with debug info). TWR_WERROR=ON turns compiler
# warnings into errors (the test script does).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWR_WERROR="${TWR_WERROR:-OFF}" \
  "${launcher[@]}" >/dev/null
cmake --build build --parallel "$(nproc)"
