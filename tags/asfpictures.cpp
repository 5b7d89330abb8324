#include "tags/asfpictures.h"

#include "engine/engineerror.h"
#include "tags/streamedpictures.h"

#include <QIODevice>
#include <QtEndian>

#include <limits>

namespace {

// Object identifiers as the file stores them.
const QByteArray HeaderId = QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c");
const QByteArray FilePropertiesId = QByteArray::fromHex("a1dcab8c47a9cf118ee400c00c205365");
const QByteArray ExtensionId = QByteArray::fromHex("b503bf5f2ea9cf118ee300c00c205365");
const QByteArray LibraryId = QByteArray::fromHex("941c23449894d149a1411d134e457054");
// "WM/Picture" in UTF-16LE, with its terminator.
const QByteArray PictureName = QByteArray::fromHex("57004d002f0050006900630074007500720065000000");

// The header of an audio file holds its stream descriptions and tag: small without pictures.
constexpr qint64 MostHeaderBytes = 64 * 1024 * 1024;
constexpr int ObjectHead = 24; // identifier and size

[[noreturn]] void unexpected()
{
    throw EngineError(QStringLiteral("its ASF header is not laid out as expected"));
}

struct Object
{
    qint64 at = 0;
    qint64 size = 0;
    QByteArray id;
    qint64 end() const { return at + size; }
};

std::vector<Object> objects(const QByteArray &bytes, qint64 from, qint64 to)
{
    std::vector<Object> out;
    for (qint64 at = from; at < to;) {
        if (at + ObjectHead > to)
            unexpected();
        const auto size = qint64(qFromLittleEndian<quint64>(bytes.constData() + at + 16));
        if (size < ObjectHead || size > to - at)
            unexpected();
        out.push_back({at, size, bytes.mid(at, 16)});
        at += size;
    }
    return out;
}

const Object *find(const std::vector<Object> &list, const QByteArray &id)
{
    for (const Object &o : list) {
        if (o.id == id)
            return &o;
    }
    return nullptr;
}

template <typename T> void add(QByteArray &bytes, qint64 at, qint64 delta)
{
    const qint64 value = qint64(qFromLittleEndian<T>(bytes.constData() + at)) + delta;
    if (value < 0 || quint64(value) > std::numeric_limits<T>::max())
        throw EngineError(QStringLiteral("the pictures are too large for a WMA file"));
    qToLittleEndian(T(value), bytes.data() + at);
}

} // namespace

int AsfPictures::copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures)
{
    const QByteArray start = in.peek(30);
    if (start.size() != 30 || !start.startsWith(HeaderId))
        unexpected();
    const auto headerSize = qint64(qFromLittleEndian<quint64>(start.constData() + 16));
    if (headerSize < 30 || headerSize > MostHeaderBytes)
        unexpected();
    QByteArray header = in.read(headerSize);
    if (header.size() != headerSize)
        unexpected();
    const std::vector<Object> top = objects(header, 30, headerSize);
    const Object *properties = find(top, FilePropertiesId);
    const Object *extension = find(top, ExtensionId);
    // The extension: reserved identifier and number, then the size of the objects in it.
    constexpr int ExtensionHead = ObjectHead + 22;
    if (!properties || properties->size < 48 || !extension || extension->size < ExtensionHead)
        unexpected();
    const std::vector<Object> extended =
        objects(header, extension->at + ExtensionHead, extension->end());
    const Object *library = find(extended, LibraryId);
    if (!library || library->size < ObjectHead + 2)
        unexpected();

    // Each record: language, stream, name size, type and value size, the name, the value.
    // A picture's value: type, image size, MIME type and description, the image.
    std::vector<qint64> cuts; // where each stand-in starts in the header
    std::vector<const TagPicture *> images;
    qint64 delta = 0;
    const quint16 count = qFromLittleEndian<quint16>(header.constData() + library->at + ObjectHead);
    qint64 at = library->at + ObjectHead + 2;
    for (quint16 i = 0; i < count; ++i) {
        if (at + 12 > library->end())
            unexpected();
        const qint64 nameSize = qFromLittleEndian<quint16>(header.constData() + at + 4);
        const qint64 valueSize = qFromLittleEndian<quint32>(header.constData() + at + 8);
        const qint64 value = at + 12 + nameSize;
        if (value + valueSize > library->end())
            unexpected();
        const qint64 standIn = value + valueSize - StreamedPictures::StandInBytes;
        if (header.mid(at + 12, nameSize) == PictureName && standIn > value + 5) {
            const TagPicture &p = StreamedPictures::pictureFor(
                pictures, header.constData() + standIn, StreamedPictures::StandInBytes);
            const qint64 growth = qint64(p.data.size()) - StreamedPictures::StandInBytes;
            add<quint32>(header, at + 8, growth);
            add<quint32>(header, value + 1, growth);
            cuts.push_back(standIn);
            images.push_back(&p);
            delta += growth;
        }
        at = value + valueSize;
    }
    for (const qint64 size : {qint64(16), extension->at + 16, library->at + 16})
        add<quint64>(header, size, delta);
    add<quint32>(header, extension->at + ObjectHead + 18, delta);
    // The size of the whole file, which the tag library leaves as the encoder wrote it.
    qToLittleEndian(quint64(in.size() + delta), header.data() + properties->at + 40);

    qint64 from = 0;
    for (size_t i = 0; i < images.size(); ++i) {
        StreamedPictures::writeAll(out, header.constData() + from, cuts[i] - from);
        StreamedPictures::writeAll(out, images[i]->data.data(), images[i]->data.size());
        from = cuts[i] + StreamedPictures::StandInBytes;
    }
    StreamedPictures::writeAll(out, header.constData() + from, header.size() - from);
    StreamedPictures::copy(in, out, in.size() - headerSize);
    return int(images.size());
}
