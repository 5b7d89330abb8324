#!/bin/bash
# Times twr-convert against the ffmpeg program doing the same conversion with the same
# codec and settings, the batch speed-up of two jobs, and the peak memory on a one-hour
# WAV. Usage: convert_bench.sh [BIN_DIR] (the folder holding twr-convert).
# Targets: each single-file ratio <= 1.05 (FLAC, Opus, M4A <= 1.02), batch speed-up >= 1.8, peak memory < 64 MiB.
set -euo pipefail

BIN=${1:-$(dirname "$0")/../build/bin}
TWR=$(realpath "$BIN/twr-convert")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TONEWRIGHT_CONFIG_DIR=$WORK/config
mkdir -p "$TONEWRIGHT_CONFIG_DIR" "$WORK/out"
RUNS=${RUNS:-3}
TIME_FIELD=U

# The settings both sides use: MP3 CBR 128 kbit/s (LAME quality 2), Vorbis quality 4.0,
# WMA 128 kbit/s (profile position 6), WAV 44.1 kHz 16-bit stereo.
cp "$(dirname "$0")/bench-settings.ini" "$WORK/twr.ini"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

echo "Generating sources..."
ff -f lavfi -i "anoisesrc=d=180:c=pink:a=0.2:r=44100" -f lavfi -i "sine=f=330:d=180:r=44100" \
    -filter_complex "[0][1]amerge=inputs=2" -c:a pcm_s16le "$WORK/src.wav"
ff -i "$WORK/src.wav" -c:a libmp3lame -b:a 128k "$WORK/src.mp3"

# Best seconds of RUNS runs of a command: processor time (user + system), which a busy
# machine disturbs less than the wall clock; TIME=e measures the wall clock instead.
best_time() {
    local best=""
    for _ in $(seq "$RUNS"); do
        local t
        /usr/bin/time -o "$WORK/time" -f "%${TIME_FIELD} %S" "$@" >/dev/null 2>&1
        t=$(tail -1 "$WORK/time" | awk -v f="$TIME_FIELD" '{print f == "e" ? $1 : $1 + $2}')
        if [ -z "$best" ] || awk "BEGIN{exit !($t < $best)}"; then best=$t; fi
    done
    echo "$best"
}

TWR_RUN=("$TWR" --settings "$WORK/twr.ini" --overwrite --output-dir "$WORK/out")
FF_RUN=(ffmpeg -hide_banner -loglevel error -y)

compare() {
    local name=$1 format=$2 source=$3
    shift 3
    local t_twr t_ff
    t_twr=$(best_time "${TWR_RUN[@]}" --format "$format" "$source")
    t_ff=$(best_time "${FF_RUN[@]}" -i "$source" "$@" "$WORK/out/ffmpeg.$format")
    printf "%-10s twr-convert %6.2f s   ffmpeg %6.2f s   ratio %5.3f (target <= 1.05)\n" \
        "$name" "$t_twr" "$t_ff" "$(awk "BEGIN{print $t_twr / $t_ff}")"
}

echo "Single files (3 minutes, 44.1 kHz stereo), processor seconds, best of $RUNS:"
compare "WAV->MP3" mp3 "$WORK/src.wav" -c:a libmp3lame -b:a 128k -compression_level 2
compare "WAV->OGG" ogg "$WORK/src.wav" -c:a libvorbis -q:a 4
compare "WAV->WMA" wma "$WORK/src.wav" -c:a wmav2 -b:a 128k
compare "MP3->WAV" wav "$WORK/src.mp3" -c:a pcm_s16le
# The factory defaults of the later formats (target <= 1.02 for these three).
compare "WAV->FLAC" flac "$WORK/src.wav" -c:a flac -compression_level 5
compare "WAV->Opus" opus "$WORK/src.wav" -c:a libopus -b:a 128k -vbr on
compare "WAV->M4A" m4a "$WORK/src.wav" -c:a aac -b:a 192k

echo "Batch of 8 one-minute WAV->MP3 (wall clock):"
mkdir -p "$WORK/batch"
ff -i "$WORK/src.wav" -t 60 -c copy "$WORK/minute.wav"
for i in $(seq 8); do cp "$WORK/minute.wav" "$WORK/batch/f$i.wav"; done
# Wall clock and processor use; on a machine shared with other work the processor share
# shows whether the two jobs really ran side by side.
batch() {
    /usr/bin/time -o "$WORK/time" -f "%e %P" "${TWR_RUN[@]}" --format mp3 --jobs "$1" "$WORK"/batch/*.wav \
        >/dev/null 2>&1
    tail -1 "$WORK/time"
}
read -r t1 p1 < <(batch 1)
read -r t2 p2 < <(batch 2)
printf "jobs 1 %6.2f s (%s cpu)   jobs 2 %6.2f s (%s cpu)   speed-up %5.2f (target >= 1.8)\n" \
    "$t1" "$p1" "$t2" "$p2" "$(awk "BEGIN{print $t1 / $t2}")"
rm -rf "$WORK/batch"

echo "Peak memory, one-hour WAV (44.1 kHz stereo, 16 bit):"
ff -f lavfi -i "anoisesrc=d=3600:c=pink:a=0.2:r=44100" -ac 2 -c:a pcm_s16le "$WORK/hour.wav"
for format in mp3 wav; do
    /usr/bin/time -o "$WORK/time" -f "%M" "${TWR_RUN[@]}" --format "$format" "$WORK/hour.wav" >/dev/null 2>&1
    kb=$(tail -1 "$WORK/time")
    printf "WAV->%s peak %6.1f MiB (target < 64)\n" "${format^^}" "$(awk "BEGIN{print $kb / 1024}")"
done
