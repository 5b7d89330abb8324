#include "tags/tagstore.h"

#include <taglib/aifffile.h>
#include <taglib/asftag.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/urllinkframe.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <QUrl>

#include <functional>
#include <vector>

using namespace TagLib;

QString TagText::toQt(const String &text)
{
    return QString::fromStdString(text.to8Bit(true));
}

String TagText::toTagLib(const QString &text)
{
    return String(text.toStdString(), String::UTF8);
}

namespace {
using TagText::toQt;
using TagText::toTagLib;

QStringList toQt(const StringList &list)
{
    QStringList out;
    for (const String &s : list)
        out << toQt(s);
    return out;
}

StringList toTagLib(const QStringList &list)
{
    StringList out;
    for (const QString &s : list)
        out.append(toTagLib(s));
    return out;
}

QStringList nonEmpty(const QStringList &values)
{
    QStringList out;
    for (const QString &v : values) {
        if (!v.trimmed().isEmpty())
            out << v;
    }
    return out;
}

// ID3v2: text frames by id; the comment and the URL are the frames without a description.
class Id3v2Store : public TagStore
{
public:
    explicit Id3v2Store(ID3v2::Tag *tag)
        : m_tag(tag)
    {
    }

    QStringList get(StoredField field) const override
    {
        switch (field) {
        case StoredField::Comment:
            return comment();
        case StoredField::URL:
            return url();
        default:
            return text(frameId(field));
        }
    }

    void set(StoredField field, const QStringList &values) override
    {
        const QStringList v = nonEmpty(values);
        switch (field) {
        case StoredField::Comment:
            setComment(v);
            break;
        case StoredField::URL:
            setUrl(v);
            break;
        default:
            setText(frameId(field), v);
            break;
        }
    }

private:
    static const char *frameId(StoredField field)
    {
        switch (field) {
        case StoredField::Title:
            return "TIT2";
        case StoredField::Artist:
            return "TPE1";
        case StoredField::Album:
            return "TALB";
        case StoredField::Genre:
            return "TCON";
        case StoredField::Date:
            return "TDRC"; // TagLib reads a version 2.3 TYER as TDRC and writes it back as TYER
        case StoredField::Track:
            return "TRCK";
        case StoredField::Copyright:
            return "TCOP";
        case StoredField::Composer:
            return "TCOM";
        case StoredField::EncodedBy:
            return "TENC";
        case StoredField::OriginalArtist:
            return "TOPE";
        case StoredField::Comment:
        case StoredField::URL:
            break;
        }
        return "";
    }

    QStringList text(const char *id) const
    {
        const ID3v2::FrameList &frames = m_tag->frameList(id);
        if (frames.isEmpty())
            return {};
        if (auto *tf = dynamic_cast<ID3v2::TextIdentificationFrame *>(frames.front()))
            return toQt(tf->fieldList());
        return {toQt(frames.front()->toString())};
    }

    void setText(const char *id, const QStringList &values)
    {
        m_tag->removeFrames(id);
        if (values.isEmpty())
            return;
        // Latin-1 where the text allows, else TagLib picks UTF-16 (2.3) or UTF-8 (2.4).
        auto frame =
            std::make_unique<ID3v2::TextIdentificationFrame>(ByteVector(id), String::Latin1);
        frame->setText(toTagLib(values));
        m_tag->addFrame(frame.release()); // the tag owns its frames
    }

    ID3v2::CommentsFrame *plainComment() const
    {
        for (ID3v2::Frame *frame : m_tag->frameList("COMM")) {
            auto *c = dynamic_cast<ID3v2::CommentsFrame *>(frame);
            if (c && c->description().isEmpty())
                return c;
        }
        return nullptr;
    }

    QStringList comment() const
    {
        if (const auto *c = plainComment())
            return {toQt(c->text())};
        // Some taggers describe their one comment; machine data (iTunNORM...) is not one.
        for (ID3v2::Frame *frame : m_tag->frameList("COMM")) {
            auto *c = dynamic_cast<ID3v2::CommentsFrame *>(frame);
            if (c && !c->description().startsWith("iTun") && !c->text().isEmpty())
                return {toQt(c->text())};
        }
        if (const auto *t = userComment())
            return {toQt(t->fieldList()[1])};
        return {};
    }

    // FFmpeg writes a file's comment as a user text frame named "comment".
    ID3v2::UserTextIdentificationFrame *userComment() const
    {
        for (ID3v2::Frame *frame : m_tag->frameList("TXXX")) {
            auto *t = dynamic_cast<ID3v2::UserTextIdentificationFrame *>(frame);
            if (t && t->description().upper() == "COMMENT" && t->fieldList().size() > 1)
                return t;
        }
        return nullptr;
    }

    void setComment(const QStringList &values)
    {
        // When the comment was read from FFmpeg's frame, the standard frame takes its place.
        if (!plainComment() && userComment() &&
            comment() == QStringList{toQt(userComment()->fieldList()[1])})
            m_tag->removeFrame(userComment());
        const QString text = values.join(u' ');
        ID3v2::CommentsFrame *c = plainComment();
        if (text.isEmpty()) {
            while ((c = plainComment()))
                m_tag->removeFrame(c);
            return;
        }
        if (!c) {
            auto frame = std::make_unique<ID3v2::CommentsFrame>(String::Latin1);
            frame->setLanguage("eng");
            c = frame.get();
            m_tag->addFrame(frame.release());
        }
        c->setText(toTagLib(text));
    }

    ID3v2::UserUrlLinkFrame *plainUrl() const
    {
        for (ID3v2::Frame *frame : m_tag->frameList("WXXX")) {
            auto *u = dynamic_cast<ID3v2::UserUrlLinkFrame *>(frame);
            if (u && u->description().isEmpty())
                return u;
        }
        return nullptr;
    }

    QStringList url() const
    {
        if (const auto *u = plainUrl())
            return {toQt(u->url())};
        const ID3v2::FrameList &artistUrl = m_tag->frameList("WOAR");
        if (!artistUrl.isEmpty())
            return {toQt(artistUrl.front()->toString())};
        return {};
    }

    void setUrl(const QStringList &values)
    {
        const QString text = values.value(0);
        ID3v2::UserUrlLinkFrame *u = plainUrl();
        if (text.isEmpty()) {
            while ((u = plainUrl()))
                m_tag->removeFrame(u);
            return;
        }
        if (!u) {
            auto frame = std::make_unique<ID3v2::UserUrlLinkFrame>(String::Latin1);
            u = frame.get();
            m_tag->addFrame(frame.release());
        }
        // URL link fields are Latin-1: anything beyond goes percent-encoded.
        QString stored = text;
        for (QChar c : text) {
            if (c.unicode() > 0xff) {
                stored = QString::fromLatin1(QUrl::fromUserInput(text).toEncoded());
                break;
            }
        }
        u->setUrl(toTagLib(stored));
    }

    ID3v2::Tag *m_tag;
};

// Vorbis comments: named fields, the first present of a few usual names.
class XiphStore : public TagStore
{
public:
    explicit XiphStore(Ogg::XiphComment *tag)
        : m_tag(tag)
    {
    }

    QStringList get(StoredField field) const override
    {
        const QString key = presentKey(field);
        const Ogg::FieldListMap &map = m_tag->fieldListMap();
        const auto it = map.find(toTagLib(key));
        return it == map.end() ? QStringList() : toQt(it->second);
    }

    void set(StoredField field, const QStringList &values) override
    {
        // Edit the name the value was read from, so a DESCRIPTION stays a DESCRIPTION.
        const String key = toTagLib(presentKey(field));
        m_tag->removeFields(key);
        for (const QString &v : nonEmpty(values))
            m_tag->addField(key, toTagLib(v), false);
    }

private:
    static QStringList keys(StoredField field)
    {
        switch (field) {
        case StoredField::Title:
            return {"TITLE"};
        case StoredField::Artist:
            return {"ARTIST"};
        case StoredField::Album:
            return {"ALBUM"};
        case StoredField::Genre:
            return {"GENRE"};
        case StoredField::Date:
            return {"DATE", "YEAR"};
        case StoredField::Comment:
            return {"COMMENT", "DESCRIPTION"};
        case StoredField::Track:
            return {"TRACKNUMBER"};
        case StoredField::Copyright:
            return {"COPYRIGHT"};
        case StoredField::Composer:
            return {"COMPOSER"};
        case StoredField::URL:
            return {"URL", "WEBSITE"};
        case StoredField::EncodedBy:
            return {"ENCODEDBY", "ENCODED-BY"};
        case StoredField::OriginalArtist:
            return {"ORIGINALARTIST"};
        }
        return {};
    }

    QString presentKey(StoredField field) const
    {
        const QStringList names = keys(field);
        for (const QString &name : names) {
            if (m_tag->contains(toTagLib(name)))
                return name;
        }
        return names.value(0);
    }

    Ogg::XiphComment *m_tag;
};

// ASF: the content description object for four fields, extended attributes for the rest.
class AsfStore : public TagStore
{
public:
    explicit AsfStore(ASF::Tag *tag)
        : m_tag(tag)
    {
    }

    QStringList get(StoredField field) const override
    {
        switch (field) {
        case StoredField::Title:
            return plain(m_tag->title());
        case StoredField::Artist:
            return plain(m_tag->artist());
        case StoredField::Comment:
            return m_tag->comment().isEmpty() ? ffmpegComment() : plain(m_tag->comment());
        case StoredField::Copyright:
            return plain(m_tag->copyright());
        default:
            break;
        }
        for (const char *name : attributeNames(field)) {
            if (!m_tag->contains(name))
                continue;
            QStringList out;
            for (const ASF::Attribute &a : m_tag->attribute(name))
                out << attributeText(a);
            return out;
        }
        return {};
    }

    void set(StoredField field, const QStringList &values) override
    {
        const QStringList v = nonEmpty(values);
        const String one = toTagLib(v.join(u"; "));
        switch (field) {
        case StoredField::Title:
            m_tag->setTitle(one);
            return;
        case StoredField::Artist:
            m_tag->setArtist(one);
            return;
        case StoredField::Comment:
            if (m_tag->comment().isEmpty()) // the comment shown came from FFmpeg's attribute
                m_tag->removeItem("Description");
            m_tag->setComment(one);
            return;
        case StoredField::Copyright:
            m_tag->setCopyright(one);
            return;
        default:
            break;
        }
        const char *name = attributeNames(field).front();
        for (const char *other : attributeNames(field)) {
            if (m_tag->contains(other)) {
                name = other;
                break;
            }
        }
        m_tag->removeItem(name);
        if (field == StoredField::Genre)
            m_tag->removeItem("WM/GenreID"); // a stale number would contradict the new name
        if (v.isEmpty())
            return;
        ASF::AttributeList list;
        for (const QString &s : v)
            list.append(ASF::Attribute(toTagLib(s)));
        m_tag->setAttribute(name, list);
    }

private:
    static QStringList plain(const String &s)
    {
        return s.isEmpty() ? QStringList() : QStringList{toQt(s)};
    }

    // FFmpeg writes a file's comment as an attribute named "Description".
    QStringList ffmpegComment() const
    {
        if (!m_tag->contains("Description"))
            return {};
        return {attributeText(m_tag->attribute("Description").front())};
    }

    static QString attributeText(const ASF::Attribute &a)
    {
        switch (a.type()) {
        case ASF::Attribute::UnicodeType:
            return toQt(a.toString());
        case ASF::Attribute::DWordType:
            return QString::number(a.toUInt());
        case ASF::Attribute::QWordType:
            return QString::number(a.toULongLong());
        case ASF::Attribute::WordType:
            return QString::number(a.toUShort());
        case ASF::Attribute::BoolType:
            return a.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        default:
            return {};
        }
    }

    static std::vector<const char *> attributeNames(StoredField field)
    {
        switch (field) {
        case StoredField::Album:
            return {"WM/AlbumTitle"};
        case StoredField::Genre:
            return {"WM/Genre"};
        case StoredField::Date:
            return {"WM/Year", "date"}; // FFmpeg writes the year under its own name
        case StoredField::Track:
            return {"WM/TrackNumber"};
        case StoredField::Composer:
            return {"WM/Composer"};
        case StoredField::URL:
            return {"WM/AuthorURL", "WM/PromotionURL"};
        case StoredField::EncodedBy:
            return {"WM/EncodedBy"};
        case StoredField::OriginalArtist:
            return {"WM/OriginalArtist"};
        default:
            return {"WM/Unused"};
        }
    }

    ASF::Tag *m_tag;
};

// TagLib's generic property names, for MP4, APE and the other formats.
class PropertyStore : public TagStore
{
public:
    using Apply = std::function<void(const PropertyMap &)>;

    PropertyStore(const PropertyMap &properties, Apply apply)
        : m_map(properties)
        , m_apply(std::move(apply))
    {
    }

    QStringList get(StoredField field) const override
    {
        const auto it = m_map.find(key(field));
        return it == m_map.end() ? QStringList() : toQt(it->second);
    }

    void set(StoredField field, const QStringList &values) override
    {
        const QStringList v = nonEmpty(values);
        m_map.erase(key(field));
        if (!v.isEmpty())
            m_map.insert(key(field), toTagLib(v));
        m_dirty = true;
    }

    void commit() override
    {
        if (m_dirty)
            m_apply(m_map);
        m_dirty = false;
    }

private:
    static String key(StoredField field)
    {
        switch (field) {
        case StoredField::Title:
            return "TITLE";
        case StoredField::Artist:
            return "ARTIST";
        case StoredField::Album:
            return "ALBUM";
        case StoredField::Genre:
            return "GENRE";
        case StoredField::Date:
            return "DATE";
        case StoredField::Comment:
            return "COMMENT";
        case StoredField::Track:
            return "TRACKNUMBER";
        case StoredField::Copyright:
            return "COPYRIGHT";
        case StoredField::Composer:
            return "COMPOSER";
        case StoredField::URL:
            return "URL";
        case StoredField::EncodedBy:
            return "ENCODEDBY";
        case StoredField::OriginalArtist:
            return "ORIGINALARTIST";
        }
        return "";
    }

    PropertyMap m_map;
    Apply m_apply;
    bool m_dirty = false;
};

// MP4: TagLib's property names, plus iTunes-style free-form atoms for the fields that have
// no atom of their own.
class Mp4Store : public PropertyStore
{
public:
    Mp4Store(MP4::Tag *tag)
        : PropertyStore(tag->properties(), [tag](const PropertyMap &m) { tag->setProperties(m); })
        , m_tag(tag)
    {
    }

    QStringList get(StoredField field) const override
    {
        const char *atom = freeForm(field);
        if (!atom)
            return PropertyStore::get(field);
        return m_tag->contains(atom) ? toQt(m_tag->item(atom).toStringList()) : QStringList();
    }

    void set(StoredField field, const QStringList &values) override
    {
        const char *atom = freeForm(field);
        if (!atom) {
            PropertyStore::set(field, values);
            return;
        }
        m_pending.append({atom, nonEmpty(values)});
    }

    void commit() override
    {
        PropertyStore::commit();
        // After the properties, which would otherwise drop atoms they do not know.
        for (const auto &[atom, values] : m_pending) {
            m_tag->removeItem(atom);
            if (!values.isEmpty())
                m_tag->setItem(atom, MP4::Item(toTagLib(values)));
        }
        m_pending.clear();
    }

private:
    static const char *freeForm(StoredField field)
    {
        switch (field) {
        case StoredField::URL:
            return "----:com.apple.iTunes:URL";
        case StoredField::OriginalArtist:
            return "----:com.apple.iTunes:ORIGINALARTIST";
        default:
            return nullptr;
        }
    }

    MP4::Tag *m_tag;
    QList<QPair<const char *, QStringList>> m_pending;
};
} // namespace

std::unique_ptr<TagStore> TagStore::forId3v2(ID3v2::Tag *tag)
{
    return std::make_unique<Id3v2Store>(tag);
}

std::unique_ptr<TagStore> TagStore::forXiph(Ogg::XiphComment *tag)
{
    return std::make_unique<XiphStore>(tag);
}

std::unique_ptr<TagStore> TagStore::forAsf(ASF::Tag *tag)
{
    return std::make_unique<AsfStore>(tag);
}

std::unique_ptr<TagStore> TagStore::forMp4(MP4::Tag *tag)
{
    return std::make_unique<Mp4Store>(tag);
}

std::unique_ptr<TagStore> TagStore::forProperties(TagLib::File *file)
{
    return std::make_unique<PropertyStore>(
        file->properties(), [file](const PropertyMap &m) { file->setProperties(m); });
}

std::unique_ptr<TagStore> TagStore::forProperties(TagLib::Tag *tag)
{
    return std::make_unique<PropertyStore>(tag->properties(),
                                           [tag](const PropertyMap &m) { tag->setProperties(m); });
}

TagLib::ID3v2::Tag *id3v2TagOf(TagLib::File *file, bool create)
{
    if (auto *mpeg = dynamic_cast<TagLib::MPEG::File *>(file))
        return mpeg->ID3v2Tag(create);
    if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file))
        return wav->ID3v2Tag();
    if (auto *aiff = dynamic_cast<TagLib::RIFF::AIFF::File *>(file))
        return aiff->tag();
    return nullptr;
}
