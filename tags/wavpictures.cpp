#include "tags/wavpictures.h"

#include "engine/engineerror.h"
#include "tags/streamedpictures.h"

#include <QIODevice>
#include <QtEndian>

#include <taglib/attachedpictureframe.h>

using namespace TagLib;

namespace {

constexpr int HeaderBytes = 10;             // of an ID3v2 tag and of each of its frames
constexpr quint32 MaxSyncsafe = 0x0FFFFFFF; // 28 bits

[[noreturn]] void unexpected()
{
    throw EngineError(QStringLiteral("its RIFF chunks or ID3 tag are not laid out as expected"));
}

quint32 syncsafe(const char *p)
{
    const auto *b = reinterpret_cast<const uchar *>(p);
    return quint32(b[0] & 0x7F) << 21 | quint32(b[1] & 0x7F) << 14 | quint32(b[2] & 0x7F) << 7 |
           quint32(b[3] & 0x7F);
}

void putSyncsafe(char *p, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((value >> (7 * (3 - i))) & 0x7F);
}

// A picture frame rendered for a tag of `version`, as the tag's own render sets it.
class VersionedPictureFrame : public ID3v2::AttachedPictureFrame
{
public:
    explicit VersionedPictureFrame(int version) { header()->setVersion(uint(version)); }
};

// The APIC frame the tag library makes for `p`, up to its image; the size counts the image.
QByteArray frameHead(const TagPicture &p, int version)
{
    VersionedPictureFrame frame(version);
    frame.setTextEncoding(String::UTF8);
    frame.setMimeType(p.mime);
    frame.setType(ID3v2::AttachedPictureFrame::Type(p.type));
    frame.setDescription(p.description);
    const ByteVector rendered = frame.render();
    QByteArray head(rendered.data(), qsizetype(rendered.size()));
    const quint64 size = quint64(head.size() - HeaderBytes) + p.data.size();
    if (size > MaxSyncsafe)
        throw EngineError(QStringLiteral("a picture is too large for an ID3 tag"));
    if (version == 4)
        putSyncsafe(head.data() + 4, quint32(size));
    else
        qToBigEndian(quint32(size), head.data() + 4);
    return head;
}

struct Chunk
{
    QByteArray id;
    qint64 at = 0;    // of its header
    quint32 size = 0; // of its data
    qint64 padded() const { return 8 + qint64(size) + (size & 1); }
};

} // namespace

int WavPictures::copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures)
{
    const QByteArray riff = in.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8) != "WAVE")
        unexpected();
    const qint64 riffEnd = 8 + qint64(qFromLittleEndian<quint32>(riff.constData() + 4));
    std::vector<Chunk> chunks;
    const Chunk *id3 = nullptr;
    for (qint64 at = 12; at + 8 <= riffEnd;) {
        if (!in.seek(at))
            unexpected();
        const QByteArray head = in.read(8);
        if (head.size() != 8)
            unexpected();
        chunks.push_back({head.left(4), at, qFromLittleEndian<quint32>(head.constData() + 4)});
        at += chunks.back().padded();
    }
    for (const Chunk &c : chunks) {
        if (c.id == "ID3 " || c.id == "id3 ")
            id3 = &c;
    }

    // The tag as the tag library wrote it, with a stand-in in each picture frame.
    if (!id3)
        unexpected();
    in.seek(id3->at + 8);
    const QByteArray tag = in.read(id3->size);
    if (tag.size() < HeaderBytes || !tag.startsWith("ID3") || (tag[3] != 3 && tag[3] != 4) ||
        tag[5] != 0) // unsynchronised, extended header or footer: never written by the library
        unexpected();
    const int version = tag[3];
    const QByteArray frames = tag.mid(HeaderBytes, syncsafe(tag.constData() + 6));
    // Pieces of the new tag: its bytes up to a picture, the picture, and so on.
    std::vector<QByteArray> bytes{tag.left(HeaderBytes)};
    std::vector<const TagPicture *> images;
    qint64 tagSize = 0;
    qsizetype at = 0;
    while (at + HeaderBytes <= frames.size() && frames[at] != 0) {
        const char *sizeField = frames.constData() + at + 4;
        const qsizetype size =
            qsizetype(version == 4 ? syncsafe(sizeField) : qFromBigEndian<quint32>(sizeField));
        if (at + HeaderBytes + size > frames.size())
            unexpected();
        if (frames.mid(at, 4) == "APIC" && size > StreamedPictures::StandInBytes) {
            const char *standIn =
                frames.constData() + at + HeaderBytes + size - StreamedPictures::StandInBytes;
            const TagPicture &p =
                StreamedPictures::pictureFor(pictures, standIn, StreamedPictures::StandInBytes);
            const QByteArray head = frameHead(p, version);
            bytes.back() += head;
            images.push_back(&p);
            tagSize += head.size() + p.data.size();
            bytes.emplace_back();
        } else {
            bytes.back() += frames.mid(at, HeaderBytes + size);
            tagSize += HeaderBytes + size;
        }
        at += HeaderBytes + size;
    }
    bytes.back() += frames.mid(at); // the padding
    tagSize += frames.size() - at;
    const qint64 chunkSize = HeaderBytes + tagSize;
    const qint64 riffSize = riffEnd - id3->padded() + chunkSize + (chunkSize & 1);
    if (tagSize > MaxSyncsafe || riffSize > 0xFFFFFFFFLL)
        throw EngineError(QStringLiteral("the pictures are too large for a WAV file"));
    putSyncsafe(bytes.front().data() + 6, quint32(tagSize));
    bytes.back() += QByteArray(chunkSize & 1, '\0');

    const QByteArray start = "RIFF" + StreamedPictures::little32(quint32(riffSize)) + "WAVE";
    StreamedPictures::writeAll(out, start.constData(), start.size());
    for (const Chunk &c : chunks) {
        if (&c != id3) {
            in.seek(c.at);
            // The last chunk's pad byte may be missing at the end of the file.
            StreamedPictures::copy(in, out, std::min(c.padded(), in.size() - c.at));
            continue;
        }
        const QByteArray head = c.id + StreamedPictures::little32(quint32(chunkSize));
        StreamedPictures::writeAll(out, head.constData(), head.size());
        for (size_t i = 0; i < bytes.size(); ++i) {
            StreamedPictures::writeAll(out, bytes[i].constData(), bytes[i].size());
            if (i < images.size())
                StreamedPictures::writeAll(out, images[i]->data.data(), images[i]->data.size());
        }
    }
    // Whatever follows the RIFF data stays as it was.
    const qint64 rest = chunks.back().at + chunks.back().padded();
    if (rest < in.size()) {
        in.seek(rest);
        StreamedPictures::copy(in, out, in.size() - rest);
    }
    return int(images.size());
}
