#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace TagLib {
class String;
class Tag;
class File;
namespace ID3v2 {
class Tag;
}
namespace Ogg {
class XiphComment;
}
namespace ASF {
class Tag;
}
namespace MP4 {
class Tag;
}
} // namespace TagLib

// The tag fields as stored values, before numbers are parsed.
enum class StoredField {
    Title,
    Artist,
    Album,
    Genre,
    Date,
    Comment,
    Track,
    Copyright,
    Composer,
    URL,
    EncodedBy,
    OriginalArtist,
};

// One format's tag seen through the fields FileInfo models. Setting an empty list removes
// the field; everything else in the tag is left alone.
class TagStore
{
public:
    virtual ~TagStore() = default;
    virtual QStringList get(StoredField field) const = 0;
    virtual void set(StoredField field, const QStringList &values) = 0;
    // Pushes pending changes into the tag (for stores that work on a copy).
    virtual void commit() {}

    // Stores over the formats' own tags; the tag must outlive the store.
    static std::unique_ptr<TagStore> forId3v2(TagLib::ID3v2::Tag *tag);
    static std::unique_ptr<TagStore> forXiph(TagLib::Ogg::XiphComment *tag);
    static std::unique_ptr<TagStore> forAsf(TagLib::ASF::Tag *tag);
    static std::unique_ptr<TagStore> forMp4(TagLib::MP4::Tag *tag);
    // Through TagLib's generic property names, for every other format.
    static std::unique_ptr<TagStore> forProperties(TagLib::File *file);
    static std::unique_ptr<TagStore> forProperties(TagLib::Tag *tag);
};

// The ID3v2 tag of an MP3, WAV or AIFF file; an MP3 without one gets one when `create`.
// Null for the other kinds of file.
TagLib::ID3v2::Tag *id3v2TagOf(TagLib::File *file, bool create);

// Text conversions between Qt and TagLib.
namespace TagText {
QString toQt(const TagLib::String &text);
TagLib::String toTagLib(const QString &text);
} // namespace TagText
