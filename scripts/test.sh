#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite headless.
#
#   scripts/test.sh              build/ and its suite
#   scripts/test.sh --sanitize   build-asan/: everything built with AddressSanitizer and
#                                UndefinedBehaviorSanitizer, and the suite run there; any
#                                report fails the test that caused it
#   scripts/test.sh --tsan       build-tsan/: the conversion engine, twr-convert and the
#                                run's tests built with ThreadSanitizer and run there
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

if [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWR_SANITIZE=ON \
    "${launcher[@]}" >/dev/null
  cmake --build build-asan --parallel "$(nproc)"
  # Leak reports are off: Qt, fontconfig and the codec libraries keep process-lifetime
  # allocations that are not ours. Every other report stops the process with an error.
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  cd build-asan
  ctest --output-on-failure --parallel "$(nproc)"
  exit
fi

if [ "${1:-}" = "--tsan" ]; then
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTWR_TSAN=ON \
    "${launcher[@]}" >/dev/null
  cmake --build build-tsan --parallel "$(nproc)" \
    --target twr-convert tst_conversionjob tst_conversionrun tst_clifaults
  # Qt and the codec libraries are not built with the sanitizer: their own locks are
  # invisible to it, so reports whose stacks lie wholly inside them are left out. A stop
  # signal ends twr-convert at once without joining its workers (not a leak), and the test
  # programs start ffmpeg with fork and exec while their threads run.
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:report_thread_leaks=0:die_after_fork=0:suppressions=$PWD/scripts/tsan.supp"
  cd build-tsan
  ctest --output-on-failure -R 'tst_conversionjob|tst_conversionrun|tst_clifaults'
  exit
fi

TWR_WERROR=ON bash scripts/build.sh
cd build
ctest --output-on-failure --parallel "$(nproc)"
