#include "tags/binaryfields.h"

#include "tags/tagstore.h"

#include <taglib/asffile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/tpropertymap.h>

#include <algorithm>

using namespace TagLib;

namespace {

// The frames no text property stands for; pictures travel on their own.
QStringList binaryFrameIds(ID3v2::Tag *tag)
{
    QStringList ids;
    const PropertyMap map = tag->properties();
    for (const String &entry : map.unsupportedData()) {
        const QString id = TagText::toQt(entry).left(4);
        if (id != QLatin1String("APIC") && !ids.contains(id))
            ids << id;
    }
    return ids;
}

bool holds(ID3v2::Tag *tag, const ByteVector &rendered, const ByteVector &id)
{
    const ID3v2::FrameList &frames = tag->frameList(id);
    return std::any_of(frames.begin(), frames.end(),
                       [&](const ID3v2::Frame *f) { return f->render() == rendered; });
}

QStringList copyId3v2(ID3v2::Tag *from, TagLib::File *target)
{
    const QStringList ids = binaryFrameIds(from);
    ID3v2::Tag *to = id3v2TagOf(target, true);
    if (!to)
        return ids;
    for (const QString &id : ids) {
        const ByteVector frameId(id.toLatin1().constData(), 4);
        for (const ID3v2::Frame *frame : from->frameList(frameId)) {
            const ByteVector rendered = frame->render();
            if (holds(to, rendered, frameId))
                continue;
            if (ID3v2::Frame *copy =
                    ID3v2::FrameFactory::instance()->createFrame(rendered, from->header()))
                to->addFrame(copy);
        }
    }
    return {};
}

// An attribute of a tagger's own (the WM/ ones describe the encoding) that holds no text.
bool isBinary(const String &name, const ASF::AttributeList &values)
{
    return !name.startsWith("WM/") && !values.isEmpty() &&
           values.front().type() != ASF::Attribute::UnicodeType;
}

QStringList copyAsf(ASF::Tag *from, TagLib::File *target)
{
    auto *asf = dynamic_cast<ASF::File *>(target);
    QStringList names;
    for (const auto &[name, values] : from->attributeListMap()) {
        if (!isBinary(name, values))
            continue;
        if (asf && asf->tag() && !asf->tag()->contains(name))
            asf->tag()->setAttribute(name, values);
        else if (!asf)
            names << TagText::toQt(name);
    }
    return names;
}

} // namespace

QStringList BinaryFields::copy(TagLib::File *source, TagLib::File *target)
{
    if (ID3v2::Tag *from = id3v2TagOf(source, false); from && !from->isEmpty())
        return copyId3v2(from, target);
    if (auto *asf = dynamic_cast<ASF::File *>(source); asf && asf->tag())
        return copyAsf(asf->tag(), target);
    return {};
}

bool BinaryFields::any(TagLib::File *source)
{
    if (ID3v2::Tag *tag = id3v2TagOf(source, false))
        return !binaryFrameIds(tag).isEmpty();
    if (auto *asf = dynamic_cast<ASF::File *>(source); asf && asf->tag()) {
        const ASF::AttributeListMap &map = asf->tag()->attributeListMap();
        return std::any_of(map.begin(), map.end(),
                           [](const auto &entry) { return isBinary(entry.first, entry.second); });
    }
    return false;
}
