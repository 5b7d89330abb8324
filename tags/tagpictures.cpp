#include "tags/tagpictures.h"

#include "tags/tagstore.h"

#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/asfpicture.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <memory>

using namespace TagLib;

namespace {

// The Vorbis comment of an Ogg file (FLAC keeps its pictures in blocks of their own).
Ogg::XiphComment *oggCommentOf(TagLib::File *file)
{
    if (auto *vorbis = dynamic_cast<Ogg::Vorbis::File *>(file))
        return vorbis->tag();
    if (auto *opus = dynamic_cast<Ogg::Opus::File *>(file))
        return opus->tag();
    return nullptr;
}

std::vector<TagPicture> fromFlac(const List<FLAC::Picture *> &list)
{
    std::vector<TagPicture> out;
    for (const FLAC::Picture *p : list)
        out.push_back({p->data(), p->mimeType(), int(p->type()), p->description()});
    return out;
}

FLAC::Picture *flacPicture(const TagPicture &p)
{
    auto picture = std::make_unique<FLAC::Picture>();
    picture->setData(p.data);
    picture->setMimeType(p.mime);
    picture->setType(FLAC::Picture::Type(p.type));
    picture->setDescription(p.description);
    return picture.release(); // the file or comment takes it
}

String mimeOf(MP4::CoverArt::Format format)
{
    switch (format) {
    case MP4::CoverArt::PNG:
        return "image/png";
    case MP4::CoverArt::GIF:
        return "image/gif";
    case MP4::CoverArt::BMP:
        return "image/x-ms-bmp";
    default:
        return "image/jpeg";
    }
}

// MP4 cover art knows four image formats by a number and nothing else about a picture.
QStringList writeMp4(MP4::Tag *tag, const std::vector<TagPicture> &pictures)
{
    QStringList lost;
    MP4::CoverArtList covers;
    bool described = false;
    for (const TagPicture &p : pictures) {
        const String mime = TagText::toTagLib(TagText::toQt(p.mime).toLower());
        MP4::CoverArt::Format format = MP4::CoverArt::Unknown;
        if (mime == "image/jpeg" || mime == "image/jpg")
            format = MP4::CoverArt::JPEG;
        else if (mime == "image/png")
            format = MP4::CoverArt::PNG;
        else if (mime == "image/gif")
            format = MP4::CoverArt::GIF;
        else if (mime == "image/bmp" || mime == "image/x-ms-bmp")
            format = MP4::CoverArt::BMP;
        if (format == MP4::CoverArt::Unknown) {
            lost << QStringLiteral("a %1 picture could not be kept: an M4A file holds only "
                                   "JPEG, PNG, GIF and BMP pictures")
                        .arg(QString::fromStdString(p.mime.to8Bit(true)));
            continue;
        }
        described = described || !p.description.isEmpty() || p.type != (covers.isEmpty() ? 3 : 0);
        covers.append(MP4::CoverArt(format, p.data));
    }
    if (described)
        lost << QStringLiteral("the picture types and descriptions could not be kept: an M4A "
                               "file holds only the images");
    if (!covers.isEmpty())
        tag->setItem("covr", MP4::Item(covers));
    return lost;
}

} // namespace

std::vector<TagPicture> TagPictures::read(TagLib::File *file)
{
    if (auto *flac = dynamic_cast<FLAC::File *>(file))
        return fromFlac(flac->pictureList());
    if (Ogg::XiphComment *comment = oggCommentOf(file))
        return fromFlac(comment->pictureList());
    std::vector<TagPicture> out;
    if (auto *mp4 = dynamic_cast<MP4::File *>(file)) {
        // The first is the cover; the format keeps no type for the others.
        if (mp4->tag() && mp4->tag()->contains("covr")) {
            for (const MP4::CoverArt &c : mp4->tag()->item("covr").toCoverArtList())
                out.push_back({c.data(), mimeOf(c.format()), out.empty() ? 3 : 0, {}});
        }
        return out;
    }
    if (auto *asf = dynamic_cast<ASF::File *>(file)) {
        if (asf->tag() && asf->tag()->contains("WM/Picture")) {
            for (const ASF::Attribute &a : asf->tag()->attribute("WM/Picture")) {
                const ASF::Picture p = a.toPicture();
                if (p.isValid())
                    out.push_back({p.picture(), p.mimeType(), int(p.type()), p.description()});
            }
        }
        return out;
    }
    auto *mpeg = dynamic_cast<MPEG::File *>(file);
    if (mpeg && !mpeg->hasID3v2Tag())
        return out;
    if (ID3v2::Tag *tag = id3v2TagOf(file, true)) {
        for (ID3v2::Frame *frame : tag->frameList("APIC")) {
            if (auto *a = dynamic_cast<ID3v2::AttachedPictureFrame *>(frame))
                out.push_back({a->picture(), a->mimeType(), int(a->type()), a->description()});
        }
    }
    return out;
}

QStringList TagPictures::write(TagLib::File *file, const std::vector<TagPicture> &pictures)
{
    if (pictures.empty() || !read(file).empty())
        return {};
    if (auto *flac = dynamic_cast<FLAC::File *>(file)) {
        for (const TagPicture &p : pictures)
            flac->addPicture(flacPicture(p));
        return {};
    }
    if (Ogg::XiphComment *comment = oggCommentOf(file)) {
        for (const TagPicture &p : pictures)
            comment->addPicture(flacPicture(p));
        return {};
    }
    if (auto *mp4 = dynamic_cast<MP4::File *>(file); mp4 && mp4->tag())
        return writeMp4(mp4->tag(), pictures);
    if (auto *asf = dynamic_cast<ASF::File *>(file); asf && asf->tag()) {
        ASF::AttributeList list;
        for (const TagPicture &p : pictures) {
            ASF::Picture picture;
            picture.setPicture(p.data);
            picture.setMimeType(p.mime);
            picture.setType(ASF::Picture::Type(p.type));
            picture.setDescription(p.description);
            list.append(ASF::Attribute(picture));
        }
        asf->tag()->setAttribute("WM/Picture", list);
        return {};
    }
    if (ID3v2::Tag *tag = id3v2TagOf(file, true)) {
        for (const TagPicture &p : pictures) {
            auto frame = std::make_unique<ID3v2::AttachedPictureFrame>();
            frame->setTextEncoding(String::UTF8);
            frame->setPicture(p.data);
            frame->setMimeType(p.mime);
            frame->setType(ID3v2::AttachedPictureFrame::Type(p.type));
            frame->setDescription(p.description);
            tag->addFrame(frame.release()); // the tag owns its frames
        }
        return {};
    }
    return {QStringLiteral("the cover could not be kept: this kind of file holds no pictures")};
}
