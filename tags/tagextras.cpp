#include "tags/tagextras.h"

#include "engine/engineerror.h"
#include "tags/tagstore.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <memory>
#include <vector>

using namespace TagLib;

namespace {

struct Picture
{
    ByteVector data;
    String mime;
    int type = 3; // front cover
    String description;
};

std::vector<Picture> fromFlacPictures(const List<FLAC::Picture *> &list)
{
    std::vector<Picture> out;
    for (const FLAC::Picture *p : list)
        out.push_back({p->data(), p->mimeType(), int(p->type()), p->description()});
    return out;
}

std::vector<Picture> picturesOf(TagLib::File *file)
{
    if (auto *flac = dynamic_cast<FLAC::File *>(file))
        return fromFlacPictures(flac->pictureList());
    if (auto *ogg = dynamic_cast<Ogg::Vorbis::File *>(file); ogg && ogg->tag())
        return fromFlacPictures(ogg->tag()->pictureList());
    if (auto *opus = dynamic_cast<Ogg::Opus::File *>(file); opus && opus->tag())
        return fromFlacPictures(opus->tag()->pictureList());
    std::vector<Picture> out;
    if (auto *mp4 = dynamic_cast<MP4::File *>(file);
        mp4 && mp4->tag() && mp4->tag()->contains("covr")) {
        for (const MP4::CoverArt &c : mp4->tag()->item("covr").toCoverArtList())
            out.push_back(
                {c.data(), c.format() == MP4::CoverArt::PNG ? "image/png" : "image/jpeg", 3, {}});
    }
    if (auto *mpeg = dynamic_cast<MPEG::File *>(file); mpeg && mpeg->hasID3v2Tag()) {
        for (ID3v2::Frame *frame : mpeg->ID3v2Tag()->frameList("APIC")) {
            if (auto *a = dynamic_cast<ID3v2::AttachedPictureFrame *>(frame))
                out.push_back({a->picture(), a->mimeType(), int(a->type()), a->description()});
        }
    }
    return out;
}

std::unique_ptr<FLAC::Picture> flacPicture(const Picture &p)
{
    auto picture = std::make_unique<FLAC::Picture>();
    picture->setData(p.data);
    picture->setMimeType(p.mime);
    picture->setType(FLAC::Picture::Type(p.type));
    picture->setDescription(p.description);
    return picture;
}

// The source's values where the target has none, or has them joined into one text (as the
// modelled fields are: "A / B").
PropertyMap merged(const PropertyMap &target, const PropertyMap &source)
{
    PropertyMap out = target;
    for (const auto &[key, values] : source) {
        const auto it = target.find(key);
        if (it == target.end() ||
            (it->second.size() == 1 && it->second.front() == values.toString(" / ")))
            out.replace(key, values);
    }
    return out;
}

[[noreturn]] void fail(const QString &shown)
{
    throw EngineError(
        QStringLiteral("Cannot access the tag of \"%1\": the tag could not be written")
            .arg(QFileInfo(shown).fileName()));
}

} // namespace

void TagExtras::copy(const QString &source, const QString &target, const QString &shownTarget)
{
    const QString ext = QFileInfo(shownTarget).suffix().toLower();
    if (ext != QLatin1String("flac") && ext != QLatin1String("opus") && ext != QLatin1String("m4a"))
        return;
    FileRef from(QFile::encodeName(source).constData(), false);
    if (from.isNull() || !from.file()->isValid())
        return;
    const PropertyMap properties = from.file()->properties();
    const std::vector<Picture> pictures = picturesOf(from.file());

    const QByteArray path = QFile::encodeName(target);
    if (ext == QLatin1String("m4a")) {
        MP4::File file(path.constData(), false);
        if (!file.isValid() || !file.tag())
            fail(shownTarget);
        // Fields without an atom of their own go into iTunes-style free-form atoms.
        const PropertyMap rest = file.tag()->setProperties(merged(file.properties(), properties));
        for (const auto &[key, values] : rest)
            file.tag()->setItem("----:com.apple.iTunes:" + key, MP4::Item(values));
        if (!pictures.empty() && !file.tag()->contains("covr")) {
            MP4::CoverArtList covers;
            for (const Picture &p : pictures)
                covers.append(MP4::CoverArt(
                    p.mime == "image/png" ? MP4::CoverArt::PNG : MP4::CoverArt::JPEG, p.data));
            file.tag()->setItem("covr", MP4::Item(covers));
        }
        if (!file.save())
            fail(shownTarget);
        return;
    }
    std::unique_ptr<TagLib::File> file;
    Ogg::XiphComment *comment = nullptr;
    if (ext == QLatin1String("flac")) {
        auto flac = std::make_unique<FLAC::File>(path.constData(), false);
        comment = flac->isValid() ? flac->xiphComment(true) : nullptr;
        file = std::move(flac);
    } else {
        auto opus = std::make_unique<Ogg::Opus::File>(path.constData(), false);
        comment = opus->isValid() ? opus->tag() : nullptr;
        file = std::move(opus);
    }
    if (!comment)
        fail(shownTarget);
    comment->setProperties(merged(comment->properties(), properties));
    // FLAC keeps its pictures in blocks of their own, Ogg in the comment.
    auto *flac = dynamic_cast<FLAC::File *>(file.get());
    if (flac ? flac->pictureList().isEmpty() : comment->pictureList().isEmpty()) {
        for (const Picture &p : pictures) {
            if (flac)
                flac->addPicture(flacPicture(p).release());
            else
                comment->addPicture(flacPicture(p).release());
        }
    }
    if (!file->save())
        fail(shownTarget);
}
