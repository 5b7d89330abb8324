#!/usr/bin/env bash
# Makes the small seed corpora of the fuzz targets in DIR (default fuzz/corpus beside this
# script): short generated sounds in every container, tagged copies, settings, playlists
# and the program's own skin. Needs the ffmpeg program. Nothing here is above a few KiB.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/corpus}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"/{profile,playlist,skin,decode,fileinfo,tagsave}

# The decode, fileinfo and tagsave targets read a first byte that picks the container name:
# 0 mp3, 1 ogg, 2 wav, 3 wma, 4 flac, 5 m4a (the byte modulo 6).
make_audio() { # name, selector byte, ffmpeg output options...
  local name=$1 sel=$2
  shift 2
  ffmpeg -v error -y -f lavfi -i "sine=f=440:d=0.3" -ac 1 -ar 8000 "$@" "$tmp/$name"
  for t in decode fileinfo tagsave; do
    { printf "\\x$(printf %02x "$sel")"; cat "$tmp/$name"; } > "$out/$t/$name"
  done
}
make_audio a.mp3 0 -b:a 8k -metadata title=Seed
make_audio a.ogg 1 -c:a libvorbis -q:a 0 -metadata title=Seed
make_audio a.wav 2 -c:a pcm_s16le
make_audio f.wav 2 -c:a pcm_f32le
make_audio a.wma 3 -c:a wmav2 -b:a 32k
make_audio a.flac 4 -metadata title=Seed
make_audio a.m4a 5 -c:a aac -b:a 16k
# The same selectors with the other output formats of the decode target (byte / 6 % 4:
# 0 mp3, 1 wma, 2 ogg, 3 wav).
for s in 8 14 20; do
  { printf "\\x$(printf %02x "$s")"; cat "$tmp/f.wav"; } > "$out/decode/f$s.wav"
done

printf '[output]\r\nformat=MP3\r\nfolder="  /music/  "\r\noverwrite=1\r\n; comment\r\n[mp3]\r\nbitrate=9\r\n' > "$out/profile/crlf.ini"
printf 'loose=1\n[OUTPUT]\nFORMAT=WAV\n[output]\nformat=OGG\n[mp3]\nbitrate' > "$out/profile/odd.ini"
printf '#EXTM3U\n#EXTINF:1,x\n/music/a.mp3\nrel/b.ogg\r\nfile:///music/c%%20d.wav\r' > "$out/playlist/list.m3u"
printf '[playlist]\nFile1=/music/a.mp3\nTitle1=x\nFile2=b.wav\nNumberOfEntries=2\n' > "$out/playlist/list.pls"
printf '\xef\xbb\xbf/m\xfcsic/latin1.mp3\n' > "$out/playlist/bom.m3u"
cp "$here/../resources/skin/media.skn" "$out/skin/media.skn"
printf '[Palette]\nbg = #102030\n[Window A]\nframe = frameless\ncorners = 4\nstyle = <<<\nQWidget { color: @bg; }\n>>>\n[Window B]\ninherit = A\n' > "$out/skin/small.skn"
echo "seeds in $out"
