#include "tags/mp4pictures.h"

#include "engine/engineerror.h"
#include "tags/streamedpictures.h"

#include <QIODevice>
#include <QtEndian>

#include <optional>

namespace {

// The movie atom of an audio file holds its sample tables: a few megabytes for hours.
constexpr qint64 MostMovieBytes = 256 * 1024 * 1024;

[[noreturn]] void unexpected()
{
    throw EngineError(QStringLiteral("its MP4 atoms are not laid out as expected"));
}

struct Atom
{
    qint64 at = 0; // of its header
    qint64 size = 0;
    int header = 8; // 16 with a 64-bit size
    QByteArray type;
    qint64 end() const { return at + size; }
};

// The atom at `at` of the `head` bytes read there, ending no later than `limit`.
Atom atomAt(const char *head, qint64 available, qint64 at, qint64 limit)
{
    if (available < 8)
        unexpected();
    Atom a{at, qFromBigEndian<quint32>(head), 8, QByteArray(head + 4, 4)};
    if (a.size == 1) {
        if (available < 16)
            unexpected();
        a.size = qint64(qFromBigEndian<quint64>(head + 8));
        a.header = 16;
    } else if (a.size == 0) {
        a.size = limit - at;
    }
    if (a.size < a.header || a.size > limit - at)
        unexpected();
    return a;
}

// The children of the atom in `bytes` between `from` and `to`.
std::vector<Atom> children(const QByteArray &bytes, qint64 from, qint64 to)
{
    std::vector<Atom> out;
    for (qint64 at = from; at < to; at = out.back().end())
        out.push_back(atomAt(bytes.constData() + at, to - at, at, to));
    return out;
}

std::optional<Atom> child(const QByteArray &bytes, const Atom &parent, const char *type,
                          int skip = 0)
{
    for (const Atom &a : children(bytes, parent.at + parent.header + skip, parent.end())) {
        if (a.type == type)
            return a;
    }
    return std::nullopt;
}

void grow(QByteArray &bytes, const Atom &a, qint64 delta)
{
    const qint64 size = a.size + delta;
    if (a.header == 16)
        qToBigEndian(quint64(size), bytes.data() + a.at + 8);
    else if (size <= 0xFFFFFFFFLL)
        qToBigEndian(quint32(size), bytes.data() + a.at);
    else
        throw EngineError(QStringLiteral("the pictures are too large for an M4A file"));
}

// Moves the chunk offsets that point past `after` by `delta`, in every track.
void moveChunkOffsets(QByteArray &moov, const Atom &parent, qint64 after, qint64 delta)
{
    for (const Atom &a : children(moov, parent.at + parent.header, parent.end())) {
        if (a.type == "trak" || a.type == "mdia" || a.type == "minf" || a.type == "stbl") {
            moveChunkOffsets(moov, a, after, delta);
            continue;
        }
        const int width = a.type == "stco" ? 4 : a.type == "co64" ? 8 : 0;
        if (width == 0)
            continue;
        const qint64 first = a.at + a.header + 8; // past version, flags and count
        const quint32 count = qFromBigEndian<quint32>(moov.constData() + first - 4);
        if (first + qint64(count) * width > a.end())
            unexpected();
        for (quint32 i = 0; i < count; ++i) {
            char *entry = moov.data() + first + qint64(i) * width;
            const qint64 offset = width == 4 ? qint64(qFromBigEndian<quint32>(entry))
                                             : qint64(qFromBigEndian<quint64>(entry));
            if (offset < after)
                continue;
            if (width == 8)
                qToBigEndian(quint64(offset + delta), entry);
            else if (offset + delta <= 0xFFFFFFFFLL)
                qToBigEndian(quint32(offset + delta), entry);
            else
                throw EngineError(QStringLiteral("the pictures are too large for an M4A file"));
        }
    }
}

} // namespace

int Mp4Pictures::copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures)
{
    const qint64 fileSize = in.size();
    std::vector<Atom> top;
    for (qint64 at = 0; at < fileSize; at = top.back().end()) {
        if (!in.seek(at))
            unexpected();
        const QByteArray head = in.read(16);
        top.push_back(atomAt(head.constData(), head.size(), at, fileSize));
    }
    const auto movie =
        std::find_if(top.begin(), top.end(), [](const Atom &a) { return a.type == "moov"; });
    if (movie == top.end() || movie->size > MostMovieBytes)
        unexpected();
    in.seek(movie->at);
    QByteArray moov = in.read(movie->size);
    if (moov.size() != movie->size)
        unexpected();

    // moov / udta / meta (version and flags first) / ilst / covr, as the tag library made it.
    const Atom root{0, movie->size, movie->header, "moov"};
    const std::optional<Atom> udta = child(moov, root, "udta");
    const std::optional<Atom> meta = udta ? child(moov, *udta, "meta") : std::nullopt;
    const std::optional<Atom> ilst = meta ? child(moov, *meta, "ilst", 4) : std::nullopt;
    const std::optional<Atom> covr = ilst ? child(moov, *ilst, "covr") : std::nullopt;
    if (!covr)
        unexpected();
    // Each image in a data atom: type and locale, then the bytes.
    std::vector<QByteArray> heads;
    std::vector<const TagPicture *> images;
    qint64 covrSize = 8;
    for (const Atom &data : children(moov, covr->at + covr->header, covr->end())) {
        if (data.type != "data" || data.size < data.header + 8)
            unexpected();
        const qint64 from = data.at + data.header + 8;
        const TagPicture &p =
            StreamedPictures::pictureFor(pictures, moov.constData() + from, data.end() - from);
        QByteArray head(16, '\0');
        if (16 + qint64(p.data.size()) > 0xFFFFFFFFLL)
            throw EngineError(QStringLiteral("a picture is too large for an M4A file"));
        qToBigEndian(quint32(16 + p.data.size()), head.data());
        head.replace(4, 12, moov.mid(data.at + 4, 12)); // "data", type, locale
        heads.push_back(head);
        images.push_back(&p);
        covrSize += 16 + p.data.size();
    }
    const qint64 delta = covrSize - covr->size;
    // Audio after the movie atom moves with its end (moved while the sizes still read).
    if (std::any_of(movie + 1, top.end(), [](const Atom &a) { return a.type == "mdat"; }))
        moveChunkOffsets(moov, root, movie->end(), delta);
    for (const Atom &a : {root, *udta, *meta, *ilst})
        grow(moov, a, delta);

    for (const Atom &a : top) {
        if (a.at != movie->at) {
            in.seek(a.at);
            StreamedPictures::copy(in, out, a.size);
            continue;
        }
        QByteArray covrHead(8, '\0');
        qToBigEndian(quint32(covrSize), covrHead.data());
        covrHead.replace(4, 4, "covr");
        const QByteArray before = moov.left(covr->at) + covrHead;
        StreamedPictures::writeAll(out, before.constData(), before.size());
        for (size_t i = 0; i < images.size(); ++i) {
            StreamedPictures::writeAll(out, heads[i].constData(), heads[i].size());
            StreamedPictures::writeAll(out, images[i]->data.data(), images[i]->data.size());
        }
        const QByteArray after = moov.mid(covr->end());
        StreamedPictures::writeAll(out, after.constData(), after.size());
    }
    return int(images.size());
}
