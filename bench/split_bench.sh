#!/bin/bash
# Times one 10-minute WAV converted with two encoder instances at once against one instance
# (twr-convert --jobs 2, with and without --no-split), for each format that splits.
# Usage: split_bench.sh [BIN_DIR] (the folder holding twr-convert).
# Targets: wall-clock speed-up >= 1.6, processor time at most 10 % above one instance.
# Two busy cores of a virtual machine each run slower than one alone, so the processor time is
# also set against a control that does no splitting: two files converted at once, one
# instance each.
set -euo pipefail

BIN=${1:-$(dirname "$0")/../build/bin}
TWR=$(realpath "$BIN/twr-convert")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TONEWRIGHT_CONFIG_DIR=$WORK/config
mkdir -p "$TONEWRIGHT_CONFIG_DIR" "$WORK/out"
RUNS=${RUNS:-2}

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

echo "Generating a 10-minute source..."
# Pink noise under a few harmonic tones: a spectrum the encoders work on like music.
ff -f lavfi -i "anoisesrc=d=600:c=pink:a=0.2:r=44100" \
    -f lavfi -i "sine=f=220:d=600:r=44100" -f lavfi -i "sine=f=277:d=600:r=44100" \
    -f lavfi -i "sine=f=330:d=600:r=44100" \
    -filter_complex "[0][1][2][3]amix=inputs=4" -ac 2 -c:a pcm_s16le "$WORK/src.wav"

settings() {
    cp "$(dirname "$0")/bench-settings.ini" "$WORK/twr.ini"
    # The VBR run: LAME's default VBR method, quality 4, at most 320 kbit/s.
    if [ "$1" = vbr ]; then
        sed -i 's/^vbrcoding=0/vbrcoding=1\nvbrquality=4\nvbrbitrate=13/' "$WORK/twr.ini"
    fi
}

# Best wall-clock and processor seconds (user + system) of RUNS runs.
best() {
    local wall="" cpu=""
    for _ in $(seq "$RUNS"); do
        /usr/bin/time -o "$WORK/time" -f "%e %U %S" "$TWR" --settings "$WORK/twr.ini" \
            --overwrite --output-dir "$WORK/out" --jobs 2 "$@" >/dev/null 2>&1
        read -r e u s < <(tail -1 "$WORK/time")
        local c
        c=$(awk "BEGIN{print $u + $s}")
        if [ -z "$wall" ] || awk "BEGIN{exit !($e < $wall)}"; then wall=$e; fi
        if [ -z "$cpu" ] || awk "BEGIN{exit !($c < $cpu)}"; then cpu=$c; fi
    done
    echo "$wall $cpu"
}

cp "$WORK/src.wav" "$WORK/copy.wav"
echo "One 10-minute WAV (44.1 kHz stereo), two instances against one, best of $RUNS:"
run() {
    local name=$1 format=$2 mode=$3
    settings "$mode"
    read -r w1 c1 < <(best --format "$format" --no-split "$WORK/src.wav")
    read -r w2 c2 < <(best --format "$format" "$WORK/src.wav")
    read -r _ c3 < <(best --format "$format" --no-split "$WORK/src.wav" "$WORK/copy.wav")
    printf "%-13s one %5.2f s (cpu %5.2f)  split %5.2f s (cpu %5.2f)  speed-up %4.2f (>= 1.6)  cpu %+5.1f %% (<= 10); two files at once: cpu %5.2f each, split %+5.1f %% against it\n" \
        "$name" "$w1" "$c1" "$w2" "$c2" "$(awk "BEGIN{print $w1 / $w2}")" \
        "$(awk "BEGIN{print ($c2 / $c1 - 1) * 100}")" "$(awk "BEGIN{print $c3 / 2}")" \
        "$(awk "BEGIN{print ($c2 / ($c3 / 2) - 1) * 100}")"
}
run "MP3 CBR 128" mp3 cbr
run "MP3 VBR q4" mp3 vbr
run "FLAC level 5" flac cbr
run "Opus 128" opus cbr
# What no number of instances shortens: reading the source, converting and writing it.
settings cbr
read -r w0 _ < <(best --format wav --no-split "$WORK/src.wav")
echo "The same file to WAV, which encodes nothing: $w0 s"
