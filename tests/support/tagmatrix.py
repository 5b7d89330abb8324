#!/usr/bin/python3
# Tag fixtures made by an independent tagger, and the check of what a conversion carried.
#   tagmatrix.py make DIR            writes one tagged source per source format into DIR
#   tagmatrix.py check SRCDIR OUTDIR... reads every output back; prints one line per fault
#   tagmatrix.py bare WITHDIR WITHOUTDIR  outputs made without pictures (all in WITHOUTDIR,
#                                         the others in WITHDIR/EXT): none, same audio
#   tagmatrix.py pictures FILE       each picture: type, MIME, description, size (-1 where
#                                    the bytes are not the tests' pattern)
import base64, os, subprocess, sys, tempfile

import mutagen
import mutagen.id3
from mutagen.asf import ASF, ASFByteArrayAttribute
from mutagen.flac import FLAC, Picture
from mutagen.id3 import APIC, ID3, PRIV, TXXX, UFID
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
RG = {"replaygain_" + k.lower(): "%.2f dB" % v for k, v in GAIN.items()} | {
    "replaygain_" + k.lower(): v for k, v in PEAK.items()}
UNKNOWN = ("TONEWRIGHT_CHECK", "kept as is")
# Binary data of a tagger's own: ID3 tags take it as it is, other tags report it lost.
PRIVATE = ("tonewright.test", b"\x00\x01\xfebinary")
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


def mb(key):  # "MUSICBRAINZ_ALBUMID" -> "MusicBrainz Album Id"
    return "MusicBrainz " + key[12:-2].title() + " Id"


def vorbis(f, opus):
    values = {"TITLE": "Matrix", "ARTIST": ARTISTS, "ALBUM": "Album", UNKNOWN[0]: UNKNOWN[1],
              "ALBUMARTIST": NAMED["ALBUMARTIST"], "ISRC": NAMED["ISRC"]} | IDS
    if opus:
        values |= {"R128_" + k: str(round((v - 5) * 256)) for k, v in GAIN.items()}
    else:
        values |= {k.upper(): v for k, v in RG.items()}
    for n in ("TRACK", "DISC"):
        values[n + "NUMBER"], values[n + "TOTAL"] = NAMED[n + "NUMBER"].split("/")
    for key, value in values.items():
        f[key] = value


def make(folder):
    pictures(folder)
    for name in SOURCES:
        path, ext = os.path.join(folder, name), name.rsplit(".", 1)[1]
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                        "sine=frequency=440:duration=0.3", "-ac", "2", "-map_metadata", "-1"]
                       + ENCODER[ext] + [path], check=True)
        if ext in ("mp3", "wav"):
            tags = ID3()
            for frame, value in [("TIT2", "Matrix"), ("TPE1", ARTISTS), ("TALB", "Album")] + [
                    (frame, NAMED[key]) for frame, key in ID3_NAMES.items()]:
                tags.add(getattr(mutagen.id3, frame)(encoding=3, text=value))
            texts = {mb(k): v for k, v in IDS.items() if k != "MUSICBRAINZ_TRACKID"} | RG
            for desc, value in (texts | dict([UNKNOWN])).items():
                tags.add(TXXX(encoding=3, desc=desc, text=value))
            tags.add(UFID(owner="http://musicbrainz.org", data=IDS["MUSICBRAINZ_TRACKID"].encode()))
            tags.add(PRIV(owner=PRIVATE[0], data=PRIVATE[1]))
            for t, mime, desc, data in PICTURES:
                tags.add(APIC(encoding=3, mime=mime, type=t, desc=desc, data=data))
            if ext == "wav":
                f = WAVE(path)
                f.add_tags()
                f.tags.update(tags)
                f.save(v2_version=3, v23_sep=None)
            else:
                tags.save(path, v2_version=3 if "v23" in name else 4, v23_sep=None)
            continue
        if ext == "flac":
            f = FLAC(path)
            vorbis(f, False)
            for p in PICTURES:
                f.add_picture(flac_picture(p))
        elif ext in ("ogg", "opus"):
            f = OggOpus(path) if ext == "opus" else OggVorbis(path)
            vorbis(f, ext == "opus")
            f["METADATA_BLOCK_PICTURE"] = [base64.b64encode(flac_picture(p).write()).decode()
                                           for p in PICTURES]
        elif ext == "m4a":
            f = MP4(path)
            ff = "----:com.apple.iTunes:"
            texts = {mb(k): v for k, v in IDS.items()} | RG | dict([UNKNOWN])
            for key, value in (texts | {"ISRC": NAMED["ISRC"]}).items():
                f[ff + key] = MP4FreeForm(value.encode())
            for key, value in {"\xa9nam": "Matrix", "\xa9ART": ARTISTS, "\xa9alb": "Album",
                               "aART": NAMED["ALBUMARTIST"]}.items():
                f[key] = value
            for atom in ("trkn", "disk"):
                f[atom] = [tuple(int(n) for n in NAMED[MP4_NAMES[atom]].split("/"))]
            f["covr"] = [MP4Cover(p[3], MP4Cover.FORMAT_JPEG if p[1] == "image/jpeg"
                                  else MP4Cover.FORMAT_PNG) for p in PICTURES]
        elif ext == "wma":
            f = ASF(path)
            values = {"Title": "Matrix", "Author": ARTISTS, "WM/AlbumTitle": "Album",
                      UNKNOWN[0]: UNKNOWN[1]} | {a: NAMED[n] for a, n in ASF_NAMES.items()}
            values |= {mb(k).replace(" ", "/", 1): v for k, v in IDS.items()}
            values |= {"ReplayGain/" + k[11:].title(): v for k, v in RG.items()}
            for key, value in values.items():
                f[key] = value
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
        i = next(i for i in range(0, len(rest), 2) if rest[i:i + 2] == b"\0\0")
        fields.append(rest[:i].decode("utf-16-le"))
        rest = rest[i + 2:]
    return (t, fields[0], fields[1], rest[:size])


def read(path):
    """The output as a dictionary: upper-case common names -> list of texts, plus pictures."""
    f = mutagen.File(path)
    out, pics = {}, []
    add = lambda key, values: out.setdefault(key.upper(), []).extend(
        v.decode() if isinstance(v, bytes) else str(v) for v in values)
    if path.endswith((".mp3", ".wav")):
        for frame in f.tags.values():
            if frame.FrameID == "TXXX":
                add(frame.desc.upper().replace("MUSICBRAINZ ", "MUSICBRAINZ_").replace(" ", ""),
                    frame.text)
            elif frame.FrameID == "UFID" and frame.owner == "http://musicbrainz.org":
                add("MUSICBRAINZ_TRACKID", [frame.data])
            elif frame.FrameID == "PRIV":
                add("PRIV:" + frame.owner, [frame.data.decode("latin-1")])
            elif frame.FrameID == "APIC":
                pics.append((frame.type, frame.mime, frame.desc, frame.data))
            elif frame.FrameID in ID3_NAMES or frame.FrameID == "TPE1":
                add(ID3_NAMES.get(frame.FrameID, "ARTIST"), frame.text)
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
            elif key in MP4_NAMES or key == "\xa9ART":
                add(MP4_NAMES.get(key, "ARTIST"), ["/".join(map(str, v)) if isinstance(v, tuple)
                                                   else v for v in values])
            elif key.startswith("----:com.apple.iTunes:"):
                add(key[22:].replace("MusicBrainz ", "MUSICBRAINZ_").replace(" ", ""), values)
    elif path.endswith(".wma"):
        for key, values in f.tags.items():
            if key == "WM/Picture":
                pics = [parse_asf_picture(v.value) for v in values]
            else:
                name = {"Author": "ARTIST"} | ASF_NAMES
                add(name.get(key, key.replace("MusicBrainz/", "MUSICBRAINZ_").replace(
                    "ReplayGain/", "REPLAYGAIN_").replace(" ", "")), [v.value for v in values])
    return out, pics


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
            ext = outs[0].rsplit(".", 1)[1]
            where = "%s -> %s" % (name, ext)
            tags, pics = read(os.path.join(out_dir, outs[0]))
            # M4A keeps neither picture type nor description: only bytes and format compare.
            loose = "m4a" in (ext, src_ext)
            cut = lambda ps: sorted(((None if loose else t, m, None if loose else d, b)
                                     for t, m, d, b in ps), key=lambda p: p[3])
            if cut(pics) != cut(PICTURES):
                faults.append("%s: pictures %s" % (where, [(t, m, d, len(b)) for t, m, d, b in pics]))
            want = {"ARTIST": ARTISTS, UNKNOWN[0]: [UNKNOWN[1]]} | {
                k: [v] for k, v in (IDS | NAMED).items()}
            if ext in ("mp3", "wav") and src_ext in ("mp3", "wav"):
                want["PRIV:" + PRIVATE[0].upper()] = [PRIVATE[1].decode("latin-1")]
            if "opus" not in (ext, src_ext):
                want |= {"REPLAYGAIN_" + k: [v] for k, v in PEAK.items()}
            for key, value in GAIN.items():
                got = tags.get(("R128_" if ext == "opus" else "REPLAYGAIN_") + key)
                if not got or (abs(int(got[0]) / 256 + 5 - value) > 1 / 256 if ext == "opus"
                               else float(got[0].split()[0]) != value):
                    faults.append("%s: %s gain is %s" % (where, key, got))
            faults += ["%s: %s is %s" % (where, key, tags.get(key))
                       for key, value in want.items() if tags.get(key) != value]
    print(*faults, sep="\n")
    return 1 if faults else 0


def bare(with_dir, without_dir):
    names = sorted(os.listdir(without_dir))
    paths = [os.path.join(without_dir, n) for n in names]
    faults = ["%s: pictures kept" % path for path in paths if read(path)[1]]
    # The MD5 of each file's decoded audio, by one ffmpeg for all.
    paths += [os.path.join(with_dir, n.rsplit(".", 1)[1], n) for n in names]
    folder = tempfile.mkdtemp()
    subprocess.run(["ffmpeg", "-v", "error", "-y"] + [a for p in paths for a in ("-i", p)] + [
        a for i in range(len(paths))
        for a in ("-map", "%d:a" % i, "-f", "md5", os.path.join(folder, "%d.md5" % i))], check=True)
    sums = [open(os.path.join(folder, "%d.md5" % i)).read() for i in range(len(paths))]
    faults += ["%s: the audio differs from the output with pictures" % paths[i]
               for i in range(len(names)) if sums[i] != sums[i + len(names)]]
    print(*faults, sep="\n")
    return 1 if faults or not names else 0


def show_pictures(path):
    for t, mime, desc, data in read(path)[1]:
        pattern = bytes((i * 7919 >> 3) & 255 for i in range(len(data)))
        print(t, mime, desc, len(data) if data == pattern else -1)


if __name__ == "__main__":
    if sys.argv[1] == "pictures":
        show_pictures(sys.argv[2])
    elif sys.argv[1] == "make":
        make(sys.argv[2])
    elif sys.argv[1] == "bare":
        sys.exit(bare(sys.argv[2], sys.argv[3]))
    else:
        sys.exit(check(sys.argv[2], sys.argv[3:]))
