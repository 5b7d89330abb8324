#include "engine/engineerror.h"
#include "tags/checkedstream.h"
#include "tags/id3v2tagsize.h"
#include "tags/tagfields.h"
#include "tags/tagstore.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <functional>

using namespace TagLib;

namespace {

// TagLib reports oddities of damaged files on stderr; they are not ours to show.
class SilentDebugListener : public DebugListener
{
public:
    void printMessage(const String &) override {}
};

void silenceTagLib()
{
    static SilentDebugListener listener;
    static const bool installed = [] {
        setDebugListener(&listener);
        return true;
    }();
    Q_UNUSED(installed);
}

enum class Kind { Mpeg, Wav, Aiff, OggVorbis, OggOpus, OggSpeex, OggFlac, Flac, Asf, Other };

// The container by its first bytes, so a misnamed file still gets its own tag; the name
// decides only when the content is not recognised.
Kind detect(const QString &path)
{
    QFile f(path);
    QByteArray head;
    if (f.open(QIODevice::ReadOnly))
        head = f.read(4096);
    // Skip a leading ID3v2 block to see what it precedes: FLAC and TrueAudio carry one too.
    const qint64 start = id3v2TagSize(head);
    if (start > 0) {
        if (f.seek(start))
            head = f.read(64);
        else
            head.clear();
        if (head.startsWith("TTA"))
            return Kind::Other;
        if (!head.startsWith("fLaC"))
            return Kind::Mpeg;
    }
    if (head.startsWith("fLaC"))
        return Kind::Flac;
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return Kind::Wav;
    if (head.startsWith("FORM") && (head.mid(8, 4) == "AIFF" || head.mid(8, 4) == "AIFC"))
        return Kind::Aiff;
    if (head.startsWith(QByteArray::fromHex("3026b2758e66cf11")))
        return Kind::Asf;
    if (head.startsWith("OggS")) {
        if (head.contains("\x01vorbis"))
            return Kind::OggVorbis;
        if (head.contains("OpusHead"))
            return Kind::OggOpus;
        if (head.contains("Speex   "))
            return Kind::OggSpeex;
        if (head.contains("\x7f"
                          "FLAC"))
            return Kind::OggFlac;
        return Kind::Other;
    }
    if (head.size() >= 2 && quint8(head[0]) == 0xff && (quint8(head[1]) & 0xe0) == 0xe0 &&
        head.mid(4, 4) != "ftyp")
        return Kind::Mpeg;
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == "mp3" || ext == "mp2" || ext == "mp1" || ext == "mpga")
        return Kind::Mpeg;
    return Kind::Other;
}

QString yearText(qint32 year)
{
    return year > 0 ? QString::number(year) : QString();
}

int leadingNumber(const QString &text)
{
    // "2004-05-01" gives 2004, "5/12" gives 5.
    const QString t = text.trimmed();
    qsizetype n = 0;
    while (n < t.size() && n < 9 && t.at(n).isDigit() && t.at(n).unicode() < 128)
        ++n;
    return n > 0 ? t.left(n).toInt() : 0;
}

void readStore(const TagStore &store, TagScope scope, TagFields &f)
{
    auto one = [&](StoredField field) {
        return store.get(field).join(QStringLiteral(" / "));
    };
    f.Title = one(StoredField::Title);
    f.Artist = one(StoredField::Artist);
    f.Album = one(StoredField::Album);
    f.Comment = store.get(StoredField::Comment).value(0);
    f.Year = leadingNumber(store.get(StoredField::Date).value(0));
    f.Track = quint16(qBound(0, leadingNumber(store.get(StoredField::Track).value(0)), 65535));
    QString genreS;
    Genres::parse(store.get(StoredField::Genre), f.Genre, genreS);
    if (scope == TagScope::Basic)
        return;
    f.GenreS = genreS;
    f.Copyright = one(StoredField::Copyright);
    f.Composer = one(StoredField::Composer);
    f.URL = store.get(StoredField::URL).value(0);
    f.EncodedBy = one(StoredField::EncodedBy);
    f.OriginalArtist = one(StoredField::OriginalArtist);
}

void writeStore(TagStore &store, TagScope scope, const TagFields &f)
{
    // A field shown as it is stored is left alone, so several values stay several ("A / B"
    // is how they are shown, not a new single value).
    auto setText = [&store](StoredField field, const QString &s) {
        if (s != store.get(field).join(QStringLiteral(" / ")))
            store.set(field, s.isEmpty() ? QStringList() : QStringList{s});
    };
    setText(StoredField::Title, f.Title);
    setText(StoredField::Artist, f.Artist);
    setText(StoredField::Album, f.Album);
    setText(StoredField::Comment, f.Comment);

    // A full date ("2004-05-01") stays when its year is the one written.
    const QString storedDate = store.get(StoredField::Date).value(0);
    if (f.Year <= 0)
        store.set(StoredField::Date, {});
    else if (leadingNumber(storedDate) != f.Year)
        store.set(StoredField::Date, {yearText(f.Year)});

    // So does a track total ("5/12").
    const QString storedTrack = store.get(StoredField::Track).value(0);
    if (f.Track == 0) {
        store.set(StoredField::Track, {});
    } else if (leadingNumber(storedTrack) != f.Track) {
        const qsizetype slash = storedTrack.indexOf(u'/');
        store.set(StoredField::Track,
                  {QString::number(f.Track) + (slash >= 0 ? storedTrack.mid(slash) : QString())});
    }

    if (scope == TagScope::Basic) {
        store.set(StoredField::Genre, Genres::mergeBasic(f.Genre, store.get(StoredField::Genre)));
    } else {
        store.set(StoredField::Genre, Genres::compose(f.Genre, f.GenreS));
        setText(StoredField::Copyright, f.Copyright);
        setText(StoredField::Composer, f.Composer);
        setText(StoredField::URL, f.URL);
        setText(StoredField::EncodedBy, f.EncodedBy);
        setText(StoredField::OriginalArtist, f.OriginalArtist);
    }
    store.commit();
}

void readId3v1(const ID3v1::Tag *tag, TagFields &f)
{
    if (!tag)
        return;
    f.Title = TagText::toQt(tag->title()).trimmed();
    f.Artist = TagText::toQt(tag->artist()).trimmed();
    f.Album = TagText::toQt(tag->album()).trimmed();
    f.Comment = TagText::toQt(tag->comment()).trimmed();
    f.Year = qint32(qMin<unsigned>(tag->year(), 9999));
    f.Track = quint16(qMin<unsigned>(tag->track(), 255));
    const unsigned genre = tag->genreNumber();
    f.Genre = genre < unsigned(Genres::Count) ? int(genre) : -1;
}

void writeId3v1(ID3v1::Tag *tag, const TagFields &f)
{
    // The block holds 30 Latin-1 characters per text, a 4-digit year, a track up to 255 and
    // one genre byte; the comment has 28 (TagLib always writes the block with a track byte).
    tag->setTitle(TagText::toTagLib(f.Title.left(30)));
    tag->setArtist(TagText::toTagLib(f.Artist.left(30)));
    tag->setAlbum(TagText::toTagLib(f.Album.left(30)));
    const bool hasTrack = f.Track > 0 && f.Track <= 255;
    tag->setComment(TagText::toTagLib(f.Comment.left(28)));
    tag->setYear(f.Year > 0 && f.Year <= 9999 ? unsigned(f.Year) : 0);
    tag->setTrack(hasTrack ? unsigned(f.Track) : 0);
    tag->setGenreNumber(f.Genre >= 0 && f.Genre < Genres::Count ? unsigned(f.Genre) : 255);
}

// Keeps an ID3v2.4 tag at 2.4 (going down to 2.3 would drop frames 2.3 has no place for);
// everything else is written as 2.3, which every player reads.
ID3v2::Version id3v2VersionFor(const ID3v2::Tag *tag)
{
    return tag && tag->header()->majorVersion() == 4 ? ID3v2::v4 : ID3v2::v3;
}

// A WAV file whose chunks the library cannot follow to the end of the RIFF data (a cut
// recording, a damaged chunk header): a chunk it adds at the end would lie where it never
// reads again, inside another chunk's claim or behind the damage, and may even play as sound.
class WavFile : public RIFF::WAV::File
{
public:
    using RIFF::WAV::File::File;

    bool chunksReachTheEnd()
    {
        const long long size = length();
        long long end = 0;
        for (unsigned int i = 0; i < chunkCount(); ++i)
            end = static_cast<long long>(chunkOffset(i)) + chunkDataSize(i) + chunkPadding(i);
        return chunkCount() > 0 && end <= size &&
               end >= std::min(static_cast<long long>(riffSize()) + 8, size);
    }
};

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw EngineError(
        QStringLiteral("Cannot access the tag of \"%1\": %2").arg(QFileInfo(path).fileName(), why));
}

// Opens the file as its kind and runs `work` on the tag store of the version; `save` is set
// when the caller writes. Messages name `shown`, the file the caller works on.
void withTag(const QString &path, const QString &shown, int tagVersion, bool save,
             const std::function<void(TagStore &store, TagScope scope)> &work,
             const std::function<void(ID3v1::Tag *)> &id3v1)
{
    silenceTagLib();
    const TagScope scope = tagVersion == 1 ? TagScope::Basic : TagScope::Full;
    CheckedStream stream(path, !save);
    if (!stream.isOpen())
        fail(shown, QStringLiteral("the file cannot be opened"));
    if (save && stream.readOnly())
        fail(shown, QStringLiteral("the file is read-only"));
    auto saved = [&](bool ok) {
        if (stream.failed())
            fail(shown, QStringLiteral("the tag could not be written (%1)").arg(stream.error()));
        if (!ok)
            fail(shown, QStringLiteral("the tag could not be written"));
    };

    const Kind kind = detect(path);
    switch (kind) {
    case Kind::Mpeg: {
        MPEG::File file(&stream, ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            fail(shown, QStringLiteral("not an MPEG audio file"));
        if (tagVersion == 1) {
            id3v1(file.ID3v1Tag(save));
            if (save)
                saved(file.save(MPEG::File::ID3v1, TagLib::File::StripNone, ID3v2::v3,
                                TagLib::File::DoNotDuplicate));
            return;
        }
        if (!save && !file.hasID3v2Tag())
            return;
        const ID3v2::Version version =
            id3v2VersionFor(file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr);
        auto store = TagStore::forId3v2(file.ID3v2Tag(true));
        work(*store, scope);
        if (save)
            saved(file.save(MPEG::File::ID3v2, TagLib::File::StripNone, version,
                            TagLib::File::DoNotDuplicate));
        return;
    }
    case Kind::Wav: {
        WavFile file(&stream, false);
        if (!file.isValid())
            fail(shown, QStringLiteral("not a readable WAV file"));
        if (save && !file.chunksReachTheEnd())
            fail(shown, QStringLiteral("the file is truncated or damaged"));
        // The ID3 chunk is the file's tag; a LIST INFO chunk is read when it is all there is
        // and kept in step on a save.
        if (!save && !file.hasID3v2Tag() && file.hasInfoTag()) {
            work(*TagStore::forProperties(file.InfoTag()), scope);
            return;
        }
        if (!file.ID3v2Tag())
            fail(shown, QStringLiteral("not a readable WAV file"));
        const ID3v2::Version version =
            id3v2VersionFor(file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr);
        work(*TagStore::forId3v2(file.ID3v2Tag()), scope);
        if (save) {
            int tags = RIFF::WAV::File::ID3v2;
            if (file.hasInfoTag()) {
                work(*TagStore::forProperties(file.InfoTag()), TagScope::Basic);
                tags |= RIFF::WAV::File::Info;
            }
            saved(file.save(RIFF::WAV::File::TagTypes(tags), TagLib::File::StripNone, version));
        }
        return;
    }
    case Kind::Aiff: {
        RIFF::AIFF::File file(&stream, false);
        if (!file.isValid() || !file.tag())
            fail(shown, QStringLiteral("not a readable AIFF file"));
        const ID3v2::Version version = id3v2VersionFor(file.hasID3v2Tag() ? file.tag() : nullptr);
        work(*TagStore::forId3v2(file.tag()), scope);
        if (save)
            saved(file.save(version));
        return;
    }
    case Kind::Flac: {
        FLAC::File file(&stream, ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            fail(shown, QStringLiteral("not a readable FLAC file"));
        work(*TagStore::forXiph(file.xiphComment(true)), scope);
        if (save)
            saved(file.save());
        return;
    }
    case Kind::OggVorbis:
    case Kind::OggOpus:
    case Kind::OggSpeex:
    case Kind::OggFlac: {
        std::unique_ptr<Ogg::File> file;
        Ogg::XiphComment *comment = nullptr;
        if (kind == Kind::OggVorbis) {
            auto f = std::make_unique<Ogg::Vorbis::File>(&stream, false);
            comment = f->tag();
            file = std::move(f);
        } else if (kind == Kind::OggOpus) {
            auto f = std::make_unique<Ogg::Opus::File>(&stream, false);
            comment = f->tag();
            file = std::move(f);
        } else if (kind == Kind::OggSpeex) {
            auto f = std::make_unique<Ogg::Speex::File>(&stream, false);
            comment = f->tag();
            file = std::move(f);
        } else {
            auto f = std::make_unique<Ogg::FLAC::File>(&stream, false);
            comment = f->tag();
            file = std::move(f);
        }
        if (!file->isValid() || !comment)
            fail(shown, QStringLiteral("not a readable Ogg file"));
        work(*TagStore::forXiph(comment), scope);
        if (save)
            saved(file->save());
        return;
    }
    case Kind::Asf: {
        ASF::File file(&stream, false);
        if (!file.isValid() || !file.tag())
            fail(shown, QStringLiteral("not a readable WMA file"));
        work(*TagStore::forAsf(file.tag()), scope);
        if (save)
            saved(file.save());
        return;
    }
    case Kind::Other:
        break;
    }

    // The content is none of the kinds above, so the library's guess must be another kind:
    // it takes any frame sync for MPEG, and a name for WAV, and would bolt a tag onto
    // something else.
    FileRef ref(&stream, false);
    const TagLib::File *guess = ref.isNull() ? nullptr : ref.file();
    if (!guess || !guess->isValid() || dynamic_cast<const MPEG::File *>(guess) ||
        dynamic_cast<const RIFF::File *>(guess) || dynamic_cast<const FLAC::File *>(guess) ||
        dynamic_cast<const Ogg::File *>(guess) || dynamic_cast<const ASF::File *>(guess))
        fail(shown, QStringLiteral("no tag can be kept in this kind of file"));
    if (auto *mp4 = dynamic_cast<MP4::File *>(ref.file()); mp4 && mp4->tag())
        work(*TagStore::forMp4(mp4->tag()), scope);
    else
        work(*TagStore::forProperties(ref.file()), scope);
    if (save)
        saved(ref.file()->save());
}
} // namespace

TagFields TagIO::read(const QString &path, int tagVersion)
{
    TagFields fields;
    withTag(
        path, path, tagVersion, false,
        [&](TagStore &store, TagScope scope) { readStore(store, scope, fields); },
        [&](ID3v1::Tag *tag) { readId3v1(tag, fields); });
    return fields;
}

void TagIO::write(const QString &path, int tagVersion, const TagFields &fields,
                  const QString &shownPath)
{
    withTag(
        path, shownPath.isEmpty() ? path : shownPath, tagVersion, true,
        [&](TagStore &store, TagScope scope) { writeStore(store, scope, fields); },
        [&](ID3v1::Tag *tag) { writeId3v1(tag, fields); });
}

bool TagIO::keepsId3v1(const QString &path)
{
    return detect(path) == Kind::Mpeg;
}
