#!/usr/bin/python3
# Tag fixtures made by an independent tagger, and the check of what a conversion carried.
#   tagmatrix.py make DIR            writes one tagged source per source format into DIR
#   tagmatrix.py check SRCDIR OUTDIR... reads every output back; prints one line per fault
#   tagmatrix.py bare WITHDIR WITHOUTDIR  outputs made without pictures (all in WITHOUTDIR,
#                                         the others in WITHDIR/EXT): none, same audio
import base64, os, subprocess, sys, tempfile

import mutagen.id3

import mutagen
from mutagen.asf import ASF, ASFByteArrayAttribute
from mutagen.flac import FLAC, Picture
from mutagen.id3 import (APIC, ID3, TALB, TBPM, TCOM, TIT2, TPE1, TPE2, TPOS, TPUB, TRCK,
                         TSO2, TSOP, TSRC, TXXX, UFID, USLT)
from mutagen.mp4 import MP4, MP4Cover, MP4FreeForm
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis
from mutagen.wave import WAVE

PICTURES = []  # (type, MIME, description, bytes) of the front and back covers, see pictures()
ARTISTS = ["Ann Artist", "Bob Artist"]
IDS = {  # common name -> value
    "MUSICBRAINZ_ALBUMID": "9e873859-8aa4-4790-b985-5a953e8ef628",
    "MUSICBRAINZ_ARTISTID": "1a2b3c4d-0000-4000-8000-000000000001",
    "MUSICBRAINZ_TRACKID": "5b0bcd5c-0000-4000-8000-000000000002",
}
GAIN = {"TRACK_GAIN": -7.5, "ALBUM_GAIN": -6.25}
PEAK = {"TRACK_PEAK": "0.988525", "ALBUM_PEAK": "1.000000"}
UNKNOWN = ("TONEWRIGHT_CHECK", "kept as is")
# Documented fields each format keeps under a name of its own (common name -> value).
NAMED = {"ALBUMARTIST": "Various", "TRACKNUMBER": "3/12", "DISCNUMBER": "1/2",
         "ISRC": "GBAYE0000001"}
ID3_NAMES = {"TPE2": "ALBUMARTIST", "TRCK": "TRACKNUMBER", "TPOS": "DISCNUMBER", "TSRC": "ISRC"}
MP4_NAMES = {"aART": "ALBUMARTIST", "trkn": "TRACKNUMBER", "disk": "DISCNUMBER"}
ASF_NAMES = {"WM/AlbumArtist": "ALBUMARTIST", "WM/TrackNumber": "TRACKNUMBER",
             "WM/PartOfSet": "DISCNUMBER", "WM/ISRC": "ISRC"}
SOURCES = ["id3v23.mp3", "id3v24.mp3", "flac.flac", "ogg.ogg", "opus.opus", "m4a.m4a", "wma.wma",
           "wav.wav"]
ENCODER = {"mp3": ["-c:a", "libmp3lame"], "flac": [], "ogg": ["-c:a", "libvorbis"],
           "opus": ["-c:a", "libopus"], "m4a": ["-c:a", "aac"], "wma": ["-c:a", "wmav2"],
           "wav": []}


def pictures(source_dir):
    """Real images (the readers of the outputs decode them), made beside the sources' folder."""
    folder = os.path.join(os.path.dirname(os.path.abspath(source_dir)), "pictures")
    os.makedirs(folder, exist_ok=True)
    PICTURES.clear()
    for t, name, color in ((3, "front.jpg", "red"), (4, "back.png", "blue")):
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "color=%s:s=16x16" % color,
                            "-frames:v", "1", path], check=True)
        mime = "image/jpeg" if name.endswith(".jpg") else "image/png"
        PICTURES.append((t, mime, name.split(".")[0], open(path, "rb").read()))


def flac_picture(p):
    pic = Picture()
    pic.type, pic.mime, pic.desc, pic.data = p
    return pic


def vorbis(tags, opus):
    tags["TITLE"] = "Matrix"
    tags["ARTIST"] = ARTISTS
    tags["ALBUM"] = "Album"
    for key, value in IDS.items():
        tags[key] = value
    for key, value in GAIN.items():
        if opus:
            tags["R128_" + key] = str(round((value - 5) * 256))
        else:
            tags["REPLAYGAIN_" + key] = "%.2f dB" % value
    if not opus:
        for key, value in PEAK.items():
            tags["REPLAYGAIN_" + key] = value
    tags[UNKNOWN[0]] = UNKNOWN[1]
    tags["ALBUMARTIST"] = NAMED["ALBUMARTIST"]
    tags["ISRC"] = NAMED["ISRC"]
    tags["TRACKNUMBER"], tags["TRACKTOTAL"] = NAMED["TRACKNUMBER"].split("/")
    tags["DISCNUMBER"], tags["DISCTOTAL"] = NAMED["DISCNUMBER"].split("/")


def make(folder):
    pictures(folder)
    for name in SOURCES:
        path = os.path.join(folder, name)
        ext = name.rsplit(".", 1)[1]
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                        "sine=frequency=440:duration=0.3", "-ac", "2", "-map_metadata", "-1"]
                       + ENCODER[ext] + [path], check=True)
        if ext in ("mp3", "wav"):
            tags = ID3()
            tags.add(TIT2(encoding=3, text="Matrix"))
            tags.add(TPE1(encoding=3, text=ARTISTS))
            tags.add(TALB(encoding=3, text="Album"))
            tags.add(TXXX(encoding=3, desc="MusicBrainz Album Id", text=IDS["MUSICBRAINZ_ALBUMID"]))
            tags.add(TXXX(encoding=3, desc="MusicBrainz Artist Id", text=IDS["MUSICBRAINZ_ARTISTID"]))
            tags.add(UFID(owner="http://musicbrainz.org", data=IDS["MUSICBRAINZ_TRACKID"].encode()))
            for key, value in GAIN.items():
                tags.add(TXXX(encoding=3, desc="replaygain_" + key.lower(), text="%.2f dB" % value))
            for key, value in PEAK.items():
                tags.add(TXXX(encoding=3, desc="replaygain_" + key.lower(), text=value))
            tags.add(TXXX(encoding=3, desc=UNKNOWN[0], text=UNKNOWN[1]))
            for frame, name in ID3_NAMES.items():
                tags.add(getattr(mutagen.id3, frame)(encoding=3, text=NAMED[name]))
            for t, mime, desc, data in PICTURES:
                tags.add(APIC(encoding=3, mime=mime, type=t, desc=desc, data=data))
            if ext == "wav":
                f = WAVE(path)
                f.add_tags()
                f.tags.update(tags)
                f.save(v2_version=3, v23_sep=None)
            else:
                tags.save(path, v2_version=3 if "v23" in name else 4, v23_sep=None)
        elif ext == "flac":
            f = FLAC(path)
            vorbis(f, False)
            for p in PICTURES:
                f.add_picture(flac_picture(p))
            f.save()
        elif ext in ("ogg", "opus"):
            f = OggOpus(path) if ext == "opus" else OggVorbis(path)
            vorbis(f, ext == "opus")
            f["METADATA_BLOCK_PICTURE"] = [base64.b64encode(flac_picture(p).write()).decode()
                                           for p in PICTURES]
            f.save()
        elif ext == "m4a":
            f = MP4(path)
            f["\xa9nam"] = "Matrix"
            f["\xa9ART"] = ARTISTS
            f["\xa9alb"] = "Album"
            ff = "----:com.apple.iTunes:"
            f[ff + "MusicBrainz Album Id"] = MP4FreeForm(IDS["MUSICBRAINZ_ALBUMID"].encode())
            f[ff + "MusicBrainz Artist Id"] = MP4FreeForm(IDS["MUSICBRAINZ_ARTISTID"].encode())
            f[ff + "MusicBrainz Track Id"] = MP4FreeForm(IDS["MUSICBRAINZ_TRACKID"].encode())
            for key, value in GAIN.items():
                f[ff + "replaygain_" + key.lower()] = MP4FreeForm(("%.2f dB" % value).encode())
            for key, value in PEAK.items():
                f[ff + "replaygain_" + key.lower()] = MP4FreeForm(value.encode())
            f[ff + UNKNOWN[0]] = MP4FreeForm(UNKNOWN[1].encode())
            f["aART"] = NAMED["ALBUMARTIST"]
            f["trkn"] = [tuple(int(n) for n in NAMED["TRACKNUMBER"].split("/"))]
            f["disk"] = [tuple(int(n) for n in NAMED["DISCNUMBER"].split("/"))]
            f[ff + "ISRC"] = MP4FreeForm(NAMED["ISRC"].encode())
            f["covr"] = [MP4Cover(p[3], MP4Cover.FORMAT_JPEG if p[1] == "image/jpeg"
                                  else MP4Cover.FORMAT_PNG) for p in PICTURES]
            f.save()
        elif ext == "wma":
            f = ASF(path)
            f["Title"] = "Matrix"
            f["Author"] = ARTISTS
            f["WM/AlbumTitle"] = "Album"
            f["MusicBrainz/Album Id"] = IDS["MUSICBRAINZ_ALBUMID"]
            f["MusicBrainz/Artist Id"] = IDS["MUSICBRAINZ_ARTISTID"]
            f["MusicBrainz/Track Id"] = IDS["MUSICBRAINZ_TRACKID"]
            for key, value in GAIN.items():
                f["ReplayGain/" + key.title().replace("_", "_")] = "%.2f dB" % value
            for key, value in PEAK.items():
                f["ReplayGain/" + key.title()] = value
            f[UNKNOWN[0]] = UNKNOWN[1]
            for attribute, name in ASF_NAMES.items():
                f[attribute] = NAMED[name]
            f["WM/Picture"] = [ASFByteArrayAttribute(asf_picture(p)) for p in PICTURES]
            f.save()


def asf_picture(p):
    t, mime, desc, data = p
    z = lambda s: s.encode("utf-16-le") + b"\0\0"
    return bytes([t]) + len(data).to_bytes(4, "little") + z(mime) + z(desc) + data


def parse_asf_picture(raw):
    t, size, rest = raw[0], int.from_bytes(raw[1:5], "little"), raw[5:]
    fields = []
    for _ in range(2):
        i = 0
        while rest[i:i + 2] != b"\0\0":
            i += 2
        fields.append(rest[:i].decode("utf-16-le"))
        rest = rest[i + 2:]
    return (t, fields[0], fields[1], rest[:size])


def text(values):
    return [v.decode() if isinstance(v, bytes) else str(v) for v in values]


def read(path):
    """The output as a dictionary: upper-case common names -> list of texts, plus pictures."""
    f = mutagen.File(path)
    out, pics = {}, []
    add = lambda key, values: out.setdefault(key.upper(), []).extend(text(values))
    if path.endswith((".mp3", ".wav")):
        for frame in f.tags.values():
            if frame.FrameID == "TXXX":
                name = frame.desc.upper().replace("MUSICBRAINZ ", "MUSICBRAINZ_").replace(" ", "")
                add(name, frame.text)
            elif frame.FrameID == "UFID" and frame.owner == "http://musicbrainz.org":
                add("MUSICBRAINZ_TRACKID", [frame.data])
            elif frame.FrameID == "APIC":
                pics.append((frame.type, frame.mime, frame.desc, frame.data))
            elif frame.FrameID == "TPE1":
                add("ARTIST", frame.text)
            elif frame.FrameID in ID3_NAMES:
                add(ID3_NAMES[frame.FrameID], frame.text)
    elif path.endswith((".flac", ".ogg", ".opus")):
        for key, value in f.tags:
            add(key, [value])
        blocks = f.pictures if path.endswith(".flac") else [
            Picture(base64.b64decode(v)) for v in out.pop("METADATA_BLOCK_PICTURE", [])]
        pics = [(p.type, p.mime, p.desc, p.data) for p in blocks]
        for number, total in (("TRACKNUMBER", "TRACKTOTAL"), ("DISCNUMBER", "DISCTOTAL")):
            if number in out and total in out:
                out[number] = ["%s/%s" % (out[number][0], out.pop(total)[0])]
    elif path.endswith(".m4a"):
        for key, values in f.tags.items():
            if key == "covr":
                pics = [(None, "image/png" if c.imageformat == MP4Cover.FORMAT_PNG
                         else "image/jpeg", None, bytes(c)) for c in values]
            elif key == "\xa9ART":
                add("ARTIST", values)
            elif key in MP4_NAMES:
                add(MP4_NAMES[key], ["/".join(map(str, v)) if isinstance(v, tuple) else v
                                     for v in values])
            elif key.startswith("----:com.apple.iTunes:"):
                add(key[22:].replace("MusicBrainz ", "MUSICBRAINZ_").replace(" ", ""), values)
    elif path.endswith(".wma"):
        for key, values in f.tags.items():
            if key == "WM/Picture":
                pics = [parse_asf_picture(v.value) for v in values]
            elif key == "Author":
                add("ARTIST", [v.value for v in values])
            elif key in ASF_NAMES:
                add(ASF_NAMES[key], [v.value for v in values])
            else:
                name = key.replace("MusicBrainz/", "MUSICBRAINZ_").replace("ReplayGain/",
                                                                            "REPLAYGAIN_")
                add(name.replace(" ", ""), [v.value for v in values])
    return out, pics


def gain(texts):
    return float(texts[0].split()[0]) if texts else None


def check(source_dir, out_dirs):
    pictures(source_dir)
    faults = []
    for out_dir in out_dirs:
        for name in SOURCES:
            base, src_ext = name.rsplit(".", 1)
            outs = [n for n in os.listdir(out_dir) if n.rsplit(".", 1)[0] == base]
            if len(outs) != 1:
                faults.append("%s: no output in %s" % (name, out_dir))
                continue
            path = os.path.join(out_dir, outs[0])
            ext = outs[0].rsplit(".", 1)[1]
            where = "%s -> %s" % (name, ext)
            tags, pics = read(path)
            # M4A keeps neither picture type nor description: only bytes and format compare.
            loose = "m4a" in (ext, src_ext)
            want = [(None if loose else t, m, None if loose else d, b) for t, m, d, b in PICTURES]
            got = [(None if loose else t, m, None if loose else d, b) for t, m, d, b in pics]
            if sorted(got, key=lambda p: p[3]) != sorted(want, key=lambda p: p[3]):
                faults.append("%s: pictures %s" % (where, [(t, m, d, len(b)) for t, m, d, b in pics]))
            if tags.get("ARTIST") != ARTISTS:
                faults.append("%s: artists %s" % (where, tags.get("ARTIST")))
            for key, value in IDS.items():
                if tags.get(key) != [value]:
                    faults.append("%s: %s is %s" % (where, key, tags.get(key)))
            for key, value in GAIN.items():
                if ext == "opus":
                    r128 = tags.get("R128_" + key)
                    if not r128 or abs(int(r128[0]) / 256 + 5 - value) > 1 / 256:
                        faults.append("%s: R128_%s is %s" % (where, key, r128))
                elif gain(tags.get("REPLAYGAIN_" + key, [])) != value:
                    faults.append("%s: REPLAYGAIN_%s is %s" % (where, key,
                                                             tags.get("REPLAYGAIN_" + key)))
            for key, value in PEAK.items():
                if ext != "opus" and src_ext != "opus" and \
                        tags.get("REPLAYGAIN_" + key) != [value]:
                    faults.append("%s: REPLAYGAIN_%s is %s" % (where, key,
                                                             tags.get("REPLAYGAIN_" + key)))
            for key, value in NAMED.items():
                if tags.get(key) != [value]:
                    faults.append("%s: %s is %s" % (where, key, tags.get(key)))
            if tags.get(UNKNOWN[0]) != [UNKNOWN[1]]:
                faults.append("%s: %s is %s" % (where, UNKNOWN[0], tags.get(UNKNOWN[0])))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


def decoded(paths, folder):
    """The MD5 of each file's decoded audio, by one ffmpeg for all."""
    args = ["ffmpeg", "-v", "error", "-y"]
    for path in paths:
        args += ["-i", path]
    for i in range(len(paths)):
        args += ["-map", "%d:a" % i, "-f", "md5", os.path.join(folder, "%d.md5" % i)]
    subprocess.run(args, check=True)
    return [open(os.path.join(folder, "%d.md5" % i)).read() for i in range(len(paths))]


def bare(with_dir, without_dir):
    faults = []
    names = sorted(os.listdir(without_dir))
    without = [os.path.join(without_dir, name) for name in names]
    with_ = [os.path.join(with_dir, name.rsplit(".", 1)[1], name) for name in names]
    for path in without:
        if read(path)[1]:
            faults.append("%s: pictures kept" % path)
    sums = decoded(without + with_, tempfile.mkdtemp())
    for i, path in enumerate(without):
        if sums[i] != sums[i + len(without)]:
            faults.append("%s: the audio differs from the output with pictures" % path)
    for fault in faults:
        print(fault)
    return 1 if faults or not names else 0


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2])
    elif sys.argv[1] == "bare":
        sys.exit(bare(sys.argv[2], sys.argv[3]))
    else:
        sys.exit(check(sys.argv[2], sys.argv[3:]))
