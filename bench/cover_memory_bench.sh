#!/bin/bash
# Peak memory a large cover adds to a conversion: the same 10-second MP3 with and without a
# 5 MB embedded picture, converted by twr-convert into every output format.
# Usage: cover_memory_bench.sh [BIN_DIR] (the folder holding twr-convert).
# Target: the added peak (maximum resident set size) at most 3 times the picture's size.
set -euo pipefail

BIN=${1:-$(dirname "$0")/../build/bin}
TWR=$(realpath "$BIN/twr-convert")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export TONEWRIGHT_CONFIG_DIR=$WORK/config QT_QPA_PLATFORM=offscreen
mkdir -p "$TONEWRIGHT_CONFIG_DIR"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
# Noise does not compress: a 1900 x 1900 PNG of it is about 5 MB.
ff -f lavfi -i "nullsrc=s=1900x1900,geq=r=random(1)*255:g=random(2)*255:b=random(3)*255" \
    -frames:v 1 "$WORK/cover.png"
ff -f lavfi -i sine=duration=10 -c:a libmp3lame "$WORK/plain.mp3"
ff -i "$WORK/plain.mp3" -i "$WORK/cover.png" -map 0 -map 1 -c copy \
    -disposition:v attached_pic -id3v2_version 3 "$WORK/cover.mp3"
PICTURE=$(stat -c %s "$WORK/cover.png")
echo "picture: $((PICTURE / 1024)) KiB"

peak() { # peak resident KiB of one conversion
    /usr/bin/time -o "$WORK/time" -f %M "$TWR" --format "$1" --output-dir "$WORK/out" \
        --overwrite "$2" >/dev/null 2>&1
    tail -1 "$WORK/time"
}

printf '%-6s %12s %12s %12s %8s\n' format "plain KiB" "cover KiB" "added KiB" "x cover"
for format in mp3 wma ogg wav flac opus m4a; do
    plain=$(peak "$format" "$WORK/plain.mp3")
    cover=$(peak "$format" "$WORK/cover.mp3")
    added=$((cover - plain))
    printf '%-6s %12d %12d %12d %8.1f\n' "$format" "$plain" "$cover" "$added" \
        "$(awk "BEGIN{print $added * 1024 / $PICTURE}")"
done
