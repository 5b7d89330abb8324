#!/bin/bash
# The window's conversion run against twr-convert --jobs 1: the same ten 30-second WAV
# files to MP3 with the same settings, both held to one core; then the window with one and
# with two files at once on every core; then the window's peak memory on a one-hour WAV and
# the longest its thread was kept from its event loop during a 10-minute file.
# Usage: window_run_bench.sh [BIN_DIR] (the folder holding both programs).
# Targets: the window at most 3 % slower than the command line; two at once at least 1.8x
# faster than one, with at most 5 % more processor time; peak memory < 64 MiB; the window's
# thread busy at most 50 ms at a time.
set -euo pipefail

BIN=${1:-$(dirname "$0")/../build/bin}
WINDOW=$(realpath "$BIN/window_run_bench")
TWR=$(realpath "$BIN/twr-convert")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TONEWRIGHT_CONFIG_DIR=$WORK/config QT_QPA_PLATFORM=offscreen
mkdir -p "$TONEWRIGHT_CONFIG_DIR" "$WORK/src"
RUNS=${RUNS:-3}
CORE=${CORE:-0}

# Both read these settings: MP3 CBR 128 kbit/s, LAME quality 2, 44.1 kHz joint stereo (and
# valid settings of the other formats, which the window's start-up checks).
# The same encoder settings as the converter benchmark; the window also must not open a
# folder or arm the shutdown after its run.
sed 's/^overwrite=1$/overwrite=1\nopen=0\ndeletesource=0\njobs=1/' \
    "$(dirname "$0")/bench-settings.ini" >"$TONEWRIGHT_CONFIG_DIR/twr.ini"
jobs() { sed -i "s/^jobs=.*/jobs=$1/" "$TONEWRIGHT_CONFIG_DIR/twr.ini"; }

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

echo "Generating ten 30-second sources..."
for i in $(seq 10); do
    ff -f lavfi -i "anoisesrc=d=30:c=pink:a=0.2:r=44100:seed=$i" \
        -f lavfi -i "sine=f=$((200 + 20 * i)):d=30:r=44100" \
        -filter_complex "[0][1]amerge=inputs=2" -c:a pcm_s16le "$WORK/src/f$i.wav"
done

# Least wall and least processor seconds (user + system) of RUNS runs, each held to one
# core; `said` keeps the first two words the program printed in its fastest run.
best() {
    local best_wall="" best_cpu="" said=""
    for _ in $(seq "$RUNS"); do
        rm -rf "$WORK/out" && mkdir -p "$WORK/out"
        local out wall user sys cpu
        out=$(/usr/bin/time -o "$WORK/time" -f "%e %U %S" taskset -c "$CORE" "$@" 2>/dev/null)
        read -r wall user sys <"$WORK/time"
        cpu=$(awk "BEGIN{print $user + $sys}")
        if [ -z "$best_wall" ] || awk "BEGIN{exit !($wall < $best_wall)}"; then best_wall=$wall; fi
        if [ -z "$best_cpu" ] || awk "BEGIN{exit !($cpu < $best_cpu)}"; then
            best_cpu=$cpu said=$(echo "$out" | awk '{print $1, $2}')
        fi
    done
    echo "$best_wall $best_cpu $said"
}

# The window's own start-up (widgets, options, fonts) is not part of the run: the run is
# compared by the times the program measures around the click.
echo "Ten 30-second WAV -> MP3 on core $CORE, best of $RUNS:"
read -r w_wall w_cpu r_wall r_cpu < <(best "$WINDOW" mp3 "$WORK/out" "$WORK"/src/*.wav)
read -r c_wall c_cpu _ < <(best "$TWR" --settings "$TONEWRIGHT_CONFIG_DIR/twr.ini" --overwrite \
    --output-dir "$WORK/out" --format mp3 --jobs 1 "$WORK"/src/*.wav)
printf "window       %6.2f s wall  %6.2f s cpu; the run alone %6.2f s wall  %6.2f s cpu\n" \
    "$w_wall" "$w_cpu" "$r_wall" "$r_cpu"
printf "twr-convert  %6.2f s wall  %6.2f s cpu\n" "$c_wall" "$c_cpu"
printf "run / twr-convert: cpu %5.3f, wall %5.3f (target <= 1.03)\n" \
    "$(awk "BEGIN{print $r_cpu / $c_cpu}")" "$(awk "BEGIN{print $r_wall / $c_wall}")"

# Eight of the files, one and two at once, on every core.
echo "Eight 30-second WAV -> MP3 through the window, every core, best of $RUNS:"
eight=("$WORK"/src/f[1-8].wav)
CORE=0-$(($(nproc) - 1))
jobs 1
read -r _ _ one_wall one_cpu < <(best "$WINDOW" mp3 "$WORK/out" "${eight[@]}")
jobs 2
read -r _ _ two_wall two_cpu < <(best "$WINDOW" mp3 "$WORK/out" "${eight[@]}")
jobs 1
printf "one at a time %6.2f s wall %6.2f s cpu; two at once %6.2f s wall %6.2f s cpu\n" \
    "$one_wall" "$one_cpu" "$two_wall" "$two_cpu"
printf "speed-up %4.2fx (target >= 1.8), processor time %+5.1f %% (target <= +5 %%)\n" \
    "$(awk "BEGIN{print $one_wall / $two_wall}")" \
    "$(awk "BEGIN{print ($two_cpu / $one_cpu - 1) * 100}")"

echo "The window's thread during a run (longest time away from its event loop):"
ff -f lavfi -i "anoisesrc=d=600:c=pink:a=0.2:r=44100" -ac 2 -c:a pcm_s16le "$WORK/ten.wav"
for n in 1 2; do
    jobs "$n"
    rm -rf "$WORK/out" && mkdir -p "$WORK/out"
    if [ "$n" = 1 ]; then files=("$WORK/ten.wav"); else files=("$WORK/ten.wav" "${eight[@]}"); fi
    TWR_BENCH_BUSY=1 "$WINDOW" mp3 "$WORK/out" "${files[@]}" | sed "s/^/jobs $n: /"
done
jobs 1

echo "Peak memory through the window, one-hour WAV (44.1 kHz stereo, 16 bit):"
ff -f lavfi -i "anoisesrc=d=3600:c=pink:a=0.2:r=44100" -ac 2 -c:a pcm_s16le "$WORK/hour.wav"
for format in mp3 wav; do
    rm -rf "$WORK/out" && mkdir -p "$WORK/out"
    /usr/bin/time -o "$WORK/time" -f "%M" "$WINDOW" "$format" "$WORK/out" "$WORK/hour.wav" >/dev/null
    kb=$(tail -1 "$WORK/time")
    printf "WAV->%s peak %6.1f MiB (target < 64)\n" "${format^^}" "$(awk "BEGIN{print $kb / 1024}")"
done
