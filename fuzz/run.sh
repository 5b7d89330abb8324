#!/usr/bin/env bash
# fuzz/run.sh TARGET SECONDS [BUILD_DIR]: runs one fuzz target (profile, playlist, skin,
# decode, fileinfo, tagsave) for SECONDS of wall time at the lowest CPU priority, from the
# seed corpus (made on first use) and the stored regressions. New crashing inputs land in
# fuzz/findings/TARGET; copy one into fuzz/regressions/TARGET once its fault is fixed, so
# ctest replays it. The last lines say how many inputs ran and the CPU time used.
#
# The build: CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTWR_FUZZ=ON
#            -DBUILD_TESTING=OFF && cmake --build build-fuzz --target fuzz_TARGET
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
target=${1:?target}
seconds=${2:?seconds}
build="${3:-$here/../build-fuzz}"
bin="$build/bin/fuzz_$target"
[ -x "$bin" ] || { echo "no $bin: build the fuzz targets first" >&2; exit 2; }
[ -d "$here/corpus/$target" ] || bash "$here/make_seeds.sh" "$here/corpus"
work="$build/fuzz-work/$target"
findings="$here/findings/$target"
mkdir -p "$work" "$findings"
export TONEWRIGHT_CONFIG_DIR="$build/fuzz-work/config"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
start=$(date +%s)
# -fork keeps going after a crash, so one fault does not end the run; each crash is kept.
set +e
/usr/bin/time -f "cpu %U user + %S system seconds, wall %e s" \
  nice -n 19 "$bin" "$work" "$here/corpus/$target" "$here/regressions/$target" \
  -max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 -max_len=65536 \
  -artifact_prefix="$findings/" -print_final_stats=1 -fork=1 -ignore_crashes=1 \
  -ignore_timeouts=1 -ignore_ooms=1 2>&1 | tee "$build/fuzz-work/$target.log" |
  grep -E "^#|DONE|cpu |stat::|ERROR|Test unit|INFO: fuzzed|crash|deadly" || true
set -e
echo "target $target: $(($(date +%s) - start)) s wall; findings: $(ls "$findings" | wc -l)"
