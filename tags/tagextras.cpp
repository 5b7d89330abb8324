#include "tags/tagextras.h"

#include "engine/engineerror.h"
#include "tags/binaryfields.h"
#include "tags/streamedpictures.h"
#include "tags/tagstore.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <cmath>

using namespace TagLib;

namespace {

// Fields TagLib has no name for in MP4 or ASF, under the names common taggers use there.
struct ForeignName
{
    const char *common;
    const char *mp4; // after "----:com.apple.iTunes:"
    const char *asf;
};
constexpr ForeignName ForeignNames[] = {
    {"REPLAYGAIN_TRACK_GAIN", "replaygain_track_gain", "ReplayGain/Track_Gain"},
    {"REPLAYGAIN_TRACK_PEAK", "replaygain_track_peak", "ReplayGain/Track_Peak"},
    {"REPLAYGAIN_ALBUM_GAIN", "replaygain_album_gain", "ReplayGain/Album_Gain"},
    {"REPLAYGAIN_ALBUM_PEAK", "replaygain_album_peak", "ReplayGain/Album_Peak"},
};

const char *const Mp4FreeForm = "----:com.apple.iTunes:";

String commonName(const String &name, const char *ForeignName::*family)
{
    for (const ForeignName &n : ForeignNames) {
        if (name.upper() == String(n.*family).upper())
            return n.common;
    }
    return name.upper();
}

String foreignName(const String &common, const char *ForeignName::*family)
{
    for (const ForeignName &n : ForeignNames) {
        if (common == n.common)
            return n.*family;
    }
    return common;
}

// Opus keeps loudness as R128 gains (Q7.8 dB relative to -23 LUFS, ReplayGain's reference
// being 5 dB louder) and no peaks.
const char *const R128Keys[][2] = {{"R128_TRACK_GAIN", "REPLAYGAIN_TRACK_GAIN"},
                                   {"R128_ALBUM_GAIN", "REPLAYGAIN_ALBUM_GAIN"}};

void r128ToReplayGain(PropertyMap &map)
{
    for (const auto &[r128, gain] : R128Keys) {
        if (!map.contains(r128))
            continue;
        bool ok = false;
        const int q78 = TagText::toQt(map[r128].front()).trimmed().toInt(&ok);
        map.erase(r128);
        if (ok && !map.contains(gain))
            map.insert(gain,
                       TagText::toTagLib(QString::asprintf("%.2f dB", double(q78) / 256.0 + 5.0)));
    }
}

bool hasPeaks(const PropertyMap &map)
{
    return map.contains("REPLAYGAIN_TRACK_PEAK") || map.contains("REPLAYGAIN_ALBUM_PEAK");
}

void replayGainToR128(PropertyMap &map)
{
    for (const auto &[r128, gain] : R128Keys) {
        if (!map.contains(gain))
            continue;
        const QString text = TagText::toQt(map[gain].front()).trimmed();
        const double db = text.section(u' ', 0, 0).toDouble();
        map.erase(gain);
        const long q78 = std::lround(std::clamp((db - 5.0) * 256.0, -32768.0, 32767.0));
        map.replace(r128, String::number(int(q78)));
    }
    map.erase("REPLAYGAIN_TRACK_PEAK");
    map.erase("REPLAYGAIN_ALBUM_PEAK");
}

// Vorbis comments count tracks and discs in fields of their own; the common name holds
// "3/12" as ID3v2, MP4 and ASF do.
const char *const Totals[][3] = {{"TRACKNUMBER", "TRACKTOTAL", "TOTALTRACKS"},
                                 {"DISCNUMBER", "DISCTOTAL", "TOTALDISCS"}};

void joinTotals(PropertyMap &map)
{
    for (const auto &[number, total, other] : Totals) {
        for (const char *name : {total, other}) {
            if (!map.contains(name))
                continue;
            const String count = map[name].front();
            map.erase(name);
            if (map.contains(number) && map[number].front().find("/") < 0)
                map.replace(number, map[number].front() + "/" + count);
        }
    }
}

void splitTotals(PropertyMap &map)
{
    for (const auto &[number, total, other] : Totals) {
        Q_UNUSED(other);
        if (!map.contains(number))
            continue;
        const String value = map[number].front();
        const int slash = value.find("/");
        if (slash < 0)
            continue;
        map.replace(number, value.substr(0, slash));
        map.replace(total, value.substr(slash + 1));
    }
}

// The source's tag in the common names. Binary data (other than pictures) is not text and
// stays behind, as do the names of the software that encoded the source, which did not
// encode the output.
PropertyMap commonFields(TagLib::File *file)
{
    PropertyMap map = file->properties();
    // What TagLib has no name for: free-form MP4 atoms and ASF attributes.
    const StringList unnamed = map.unsupportedData();
    auto *mp4 = dynamic_cast<MP4::File *>(file);
    auto *asf = dynamic_cast<ASF::File *>(file);
    for (const String &name : unnamed) {
        if (mp4 && mp4->tag() && name.startsWith(Mp4FreeForm)) {
            const StringList values = mp4->tag()->item(name).toStringList();
            const String common = commonName(name.substr(22), &ForeignName::mp4);
            if (!values.isEmpty() && !map.contains(common))
                map.insert(common, values);
        }
        if (!asf || !asf->tag() || name.startsWith("WM/"))
            continue;
        StringList values;
        for (const ASF::Attribute &a : asf->tag()->attribute(name)) {
            if (a.type() == ASF::Attribute::UnicodeType)
                values.append(a.toString());
        }
        if (values.isEmpty())
            continue;
        if (name == "Author") { // artists after the first, as taggers keep them
            for (const String &v : values)
                map["ARTIST"].append(v);
        } else if (const String common = commonName(name, &ForeignName::asf);
                   !map.contains(common)) {
            map.insert(common, values);
        }
    }
    r128ToReplayGain(map);
    joinTotals(map);
    map.erase("ENCODER");
    map.erase("ENCODING");
    map.unsupportedData().clear();
    return map;
}

// The source's values where the target has none, or has what the modelled fields made of
// them: all joined into one text ("A / B"), the first alone where the source's own tag
// showed only that, or a track number without its total ("3" of "3/12").
PropertyMap merged(const PropertyMap &target, const PropertyMap &source)
{
    PropertyMap out = target;
    for (const auto &[key, values] : source) {
        const auto it = target.find(key);
        if (it == target.end()) {
            out.replace(key, values);
            continue;
        }
        const String &held = it->second.front();
        if (it->second.size() == 1 && (held == values.toString(" / ") || held == values.front() ||
                                       values.front().startsWith(held + "/")))
            out.replace(key, values);
    }
    return out;
}

QStringList fieldNames(const PropertyMap &map)
{
    QStringList out;
    for (const auto &[key, values] : map)
        out << TagText::toQt(key);
    return out;
}

[[noreturn]] void fail(const QString &shown)
{
    throw EngineError(
        QStringLiteral("Cannot access the tag of \"%1\": the tag could not be written")
            .arg(QFileInfo(shown).fileName()));
}

// TagLib names the user text frames of MusicBrainz and AcoustID identifiers in capitals;
// the taggers that read them spell them "MusicBrainz Album Id".
void spellIdentifiers(ID3v2::Tag *tag)
{
    for (ID3v2::Frame *frame : tag->frameList("TXXX")) {
        auto *user = dynamic_cast<ID3v2::UserTextIdentificationFrame *>(frame);
        if (!user)
            continue;
        const QString name = TagText::toQt(user->description());
        if (!name.startsWith(QLatin1String("MUSICBRAINZ ")) &&
            !name.startsWith(QLatin1String("ACOUSTID ")))
            continue;
        QStringList words = name.toLower().split(u' ');
        for (QString &word : words)
            word[0] = word[0].toUpper();
        words[0].replace(QLatin1String("Musicbrainz"), QLatin1String("MusicBrainz"));
        user->setDescription(TagText::toTagLib(words.join(u' ')));
    }
}

// Writes the fields into the target's own tag; returns the fields it could not hold.
PropertyMap writeFields(TagLib::File *file, const PropertyMap &source, QStringList &lost)
{
    if (auto *flac = dynamic_cast<FLAC::File *>(file)) {
        PropertyMap map = source;
        splitTotals(map);
        Ogg::XiphComment *comment = flac->xiphComment(true);
        return comment->setProperties(merged(comment->properties(), map));
    }
    if (auto *ogg = dynamic_cast<Ogg::File *>(file)) {
        auto *comment = dynamic_cast<Ogg::XiphComment *>(ogg->tag());
        if (!comment)
            return source;
        PropertyMap map = source;
        splitTotals(map);
        if (dynamic_cast<Ogg::Opus::File *>(file)) {
            if (hasPeaks(map))
                lost << QStringLiteral("the ReplayGain peaks could not be kept: an Opus file "
                                       "holds loudness only as R128 gains");
            replayGainToR128(map);
        }
        return comment->setProperties(merged(comment->properties(), map));
    }
    if (auto *mp4 = dynamic_cast<MP4::File *>(file)) {
        MP4::Tag *tag = mp4->tag();
        const PropertyMap rest = tag->setProperties(merged(tag->properties(), source));
        // Fields without an atom of their own go into iTunes-style free-form atoms.
        for (const auto &[key, values] : rest)
            tag->setItem(Mp4FreeForm + foreignName(key, &ForeignName::mp4), MP4::Item(values));
        return {};
    }
    if (auto *asf = dynamic_cast<ASF::File *>(file)) {
        ASF::Tag *tag = asf->tag();
        PropertyMap map = merged(tag->properties(), source);
        const StringList artists = map["ARTIST"];
        map.erase("ARTIST");
        const PropertyMap rest = tag->setProperties(map);
        for (const auto &[key, values] : rest) {
            ASF::AttributeList list;
            for (const String &v : values)
                list.append(ASF::Attribute(v));
            tag->setAttribute(foreignName(key, &ForeignName::asf), list);
        }
        // The content description holds one artist; the others follow as attributes of the
        // same name.
        tag->removeItem("Author");
        if (!artists.isEmpty()) {
            tag->setArtist(artists.front());
            ASF::AttributeList more;
            for (auto it = std::next(artists.begin()); it != artists.end(); ++it)
                more.append(ASF::Attribute(*it));
            if (!more.isEmpty())
                tag->setAttribute("Author", more);
        }
        return {};
    }
    if (ID3v2::Tag *id3v2 = id3v2TagOf(file, true)) {
        const PropertyMap rest = id3v2->setProperties(merged(id3v2->properties(), source));
        spellIdentifiers(id3v2);
        return rest;
    }
    return file->setProperties(merged(file->properties(), source));
}

// Keeps an ID3v2.4 tag at 2.4; everything else is written as 2.3.
ID3v2::Version versionOf(const ID3v2::Tag *tag)
{
    return tag && tag->header()->majorVersion() == 4 ? ID3v2::v4 : ID3v2::v3;
}

bool save(TagLib::File *file)
{
    if (auto *mpeg = dynamic_cast<MPEG::File *>(file))
        return mpeg->save(MPEG::File::ID3v2, TagLib::File::StripNone, versionOf(mpeg->ID3v2Tag()),
                          TagLib::File::DoNotDuplicate);
    if (auto *wav = dynamic_cast<RIFF::WAV::File *>(file))
        return wav->save(RIFF::WAV::File::AllTags, TagLib::File::StripNone,
                         versionOf(wav->ID3v2Tag()));
    if (auto *aiff = dynamic_cast<RIFF::AIFF::File *>(file))
        return aiff->save(versionOf(aiff->tag()));
    return file->save();
}

} // namespace

bool TagExtras::any(const QString &source)
{
    FileRef from(QFile::encodeName(source).constData(), false);
    return !from.isNull() && from.file()->isValid() &&
           (!commonFields(from.file()).isEmpty() || !TagPictures::read(from.file()).empty() ||
            BinaryFields::any(from.file()));
}

TagExtras::Copied TagExtras::copy(const QString &source, const QString &target,
                                  const QString &shownTarget, PictureCopy pictures)
{
    FileRef from(QFile::encodeName(source).constData(), false);
    if (from.isNull() || !from.file()->isValid())
        return {};
    const PropertyMap fields = commonFields(from.file());
    std::vector<TagPicture> images =
        pictures == PictureCopy::Keep ? TagPictures::read(from.file()) : std::vector<TagPicture>{};

    FileRef to(QFile::encodeName(target).constData(), false);
    if (to.isNull() || !to.file()->isValid() || !to.tag())
        fail(shownTarget);
    Copied out;
    const PropertyMap rest = writeFields(to.file(), fields, out.lost);
    if (!rest.isEmpty())
        out.lost << QStringLiteral("the fields %1 could not be kept: this kind of file has no "
                                   "place for them")
                        .arg(fieldNames(rest).join(QStringLiteral(", ")));
    const QStringList binary = BinaryFields::copy(from.file(), to.file());
    if (!binary.isEmpty())
        out.lost << QStringLiteral("the fields %1 could not be kept: they hold data rather "
                                   "than text, which only a file of the same kind has a "
                                   "place for")
                        .arg(binary.join(QStringLiteral(", ")));
    if (StreamedPictures::takes(to.file()) && !images.empty() &&
        TagPictures::read(to.file()).empty()) {
        out.lost << TagPictures::write(to.file(), StreamedPictures::standIns(images));
        // M4A holds only some kinds of image.
        if (!TagPictures::read(to.file()).empty())
            out.streamLater = std::move(images);
    } else {
        out.lost << TagPictures::write(to.file(), images);
    }
    if (!save(to.file()))
        fail(shownTarget);
    return out;
}
