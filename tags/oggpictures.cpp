#include "tags/oggpictures.h"

#include "engine/engineerror.h"
#include "tags/oggpage.h"
#include "tags/streamedpictures.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

constexpr char FieldName[] = "METADATA_BLOCK_PICTURE=";
constexpr qsizetype FieldNameBytes = sizeof FieldName - 1;

// Fills `n` bytes at `to` with the next bytes of a packet.
using Source = std::function<void(char *to, qsizetype n)>;

void putBig32(QByteArray &to, quint32 value)
{
    char b[4];
    qToBigEndian(value, b);
    to.append(b, 4);
}

// A FLAC picture block (as a Vorbis comment holds it) in base64, made a piece at a time.
class PictureText
{
public:
    explicit PictureText(const TagPicture &p)
        : m_data(p.data)
    {
        putBig32(m_head, quint32(p.type));
        const std::string mime = p.mime.to8Bit(true);
        putBig32(m_head, quint32(mime.size()));
        m_head.append(mime.data(), qsizetype(mime.size()));
        const std::string description = p.description.to8Bit(true);
        putBig32(m_head, quint32(description.size()));
        m_head.append(description.data(), qsizetype(description.size()));
        for (int i = 0; i < 4; ++i) // width, height, depth and colours: unknown
            putBig32(m_head, 0);
        putBig32(m_head, m_data.size());
    }

    qint64 size() const { return (qint64(m_head.size()) + m_data.size() + 2) / 3 * 4; }

    void read(char *to, qsizetype n)
    {
        while (n > 0) {
            if (m_text.size() == m_textAt)
                refill();
            const qsizetype take = std::min(n, m_text.size() - m_textAt);
            std::memcpy(to, m_text.constData() + m_textAt, size_t(take));
            m_textAt += take;
            to += take;
            n -= take;
        }
    }

private:
    void refill()
    {
        // Whole groups of three bytes, so no padding falls inside the text.
        constexpr qint64 Chunk = 3 * 16384;
        const qint64 head = m_head.size();
        const qint64 end = std::min(head + m_data.size(), m_at + Chunk);
        QByteArray raw;
        raw.reserve(end - m_at);
        if (m_at < head) {
            const qint64 take = std::min(end, head) - m_at;
            raw.append(m_head.constData() + m_at, take);
            m_at += take;
        }
        if (m_at < end) {
            raw.append(m_data.data() + (m_at - head), end - m_at);
            m_at = end;
        }
        m_text = raw.toBase64();
        m_textAt = 0;
    }

    QByteArray m_head;
    TagLib::ByteVector m_data;
    qint64 m_at = 0;
    QByteArray m_text;
    qsizetype m_textAt = 0;
};

// Serves a packet from pieces laid end to end.
class Pieces
{
public:
    void add(qint64 size, Source read) { m_pieces.push_back({size, std::move(read)}); }
    void add(const QByteArray &bytes)
    {
        add(bytes.size(), [bytes, at = qsizetype(0)](char *to, qsizetype n) mutable {
            std::memcpy(to, bytes.constData() + at, size_t(n));
            at += n;
        });
    }
    qint64 size() const
    {
        qint64 total = 0;
        for (const Piece &p : m_pieces)
            total += p.size;
        return total;
    }
    void read(char *to, qsizetype n)
    {
        while (n > 0) {
            Piece &p = m_pieces[m_current];
            const qsizetype take = qsizetype(std::min<qint64>(n, p.size - m_at));
            p.read(to, take);
            to += take;
            n -= take;
            m_at += take;
            if (m_at == p.size) {
                ++m_current;
                m_at = 0;
            }
        }
    }

private:
    struct Piece
    {
        qint64 size;
        Source read;
    };
    std::vector<Piece> m_pieces;
    size_t m_current = 0;
    qint64 m_at = 0;
};

// Lays header packets into pages of one stream: each packet starts where the last ended, and
// flush() ends the page so audio starts on a page of its own.
class HeaderPages
{
public:
    HeaderPages(QIODevice &out, quint32 serial, quint32 sequence)
        : m_out(out)
    {
        m_page.serial = serial;
        m_page.sequence = sequence;
    }

    void add(qint64 size, const Source &read)
    {
        for (bool ended = false; !ended;) {
            if (m_page.lacing.size() == size_t(OggPage::MaxSegments))
                finishPage();
            const int segment = int(std::min<qint64>(size, 255));
            const qsizetype at = m_page.body.size();
            m_page.body.resize(at + segment);
            read(m_page.body.data() + at, segment);
            m_page.lacing.push_back(quint8(segment));
            size -= segment;
            ended = segment < 255;
            if (ended)
                m_page.granule = 0; // header packets end at granule 0
        }
    }

    // Ends the last page; returns the next page's sequence number.
    quint32 flush(quint8 lastFlag)
    {
        m_page.flags |= lastFlag;
        if (!m_page.lacing.empty())
            finishPage();
        return m_page.sequence;
    }

private:
    void finishPage()
    {
        m_page.write(m_out);
        const bool continues = m_page.lacing.back() == 255;
        m_page.flags = continues ? OggPage::Continued : 0;
        m_page.granule = OggPage::NoGranule;
        m_page.lacing.clear();
        m_page.body.clear();
        ++m_page.sequence;
    }

    QIODevice &m_out;
    OggPage m_page;
};

[[noreturn]] void unexpected()
{
    throw EngineError(QStringLiteral("its Ogg header is not laid out as expected"));
}

quint32 little32At(const QByteArray &bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        unexpected();
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint32 big32At(const QByteArray &bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        unexpected();
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

// The picture a FLAC picture block in base64 stands in for.
const TagPicture &standInOf(const QByteArray &base64, const std::vector<TagPicture> &pictures)
{
    const QByteArray block = QByteArray::fromBase64(base64);
    qsizetype at = 4;                    // past the picture type
    for (int text = 0; text < 2; ++text) // MIME type, description
        at += 4 + qsizetype(big32At(block, at));
    at += 16; // width, height, depth, colours
    const qsizetype size = qsizetype(big32At(block, at));
    if (at + 4 + size != block.size())
        unexpected();
    return StreamedPictures::pictureFor(pictures, block.constData() + at + 4, size);
}

} // namespace

int OggPictures::copy(QIODevice &in, QIODevice &out, const std::vector<TagPicture> &pictures)
{
    // The header packets, read whole: the identification, comment and (Vorbis) setup packets.
    OggPage first;
    if (!first.read(in) || !(first.flags & OggPage::First) || first.lacing.empty() ||
        first.lacing.back() == 255)
        unexpected();
    const bool vorbis = first.body.startsWith("\x01vorbis");
    if (!vorbis && !first.body.startsWith("OpusHead"))
        unexpected();
    const size_t headers = vorbis ? 2 : 1; // after the identification
    std::vector<QByteArray> packets(1);
    OggPage page;
    quint8 lastFlag = 0;
    while (packets.size() <= headers || !packets.back().isEmpty()) {
        if (!page.read(in) || page.serial != first.serial)
            unexpected();
        qsizetype at = 0;
        for (size_t i = 0; i < page.lacing.size(); ++i) {
            // Audio sharing the last header's page is not how an encoder lays it out.
            if (packets.size() > headers && packets.back().isEmpty())
                unexpected();
            packets.back().append(page.body.constData() + at, page.lacing[i]);
            at += page.lacing[i];
            if (page.lacing[i] < 255)
                packets.emplace_back();
        }
        lastFlag = page.flags & OggPage::Last;
    }
    packets.pop_back();

    // The comment: magic, vendor, count and fields, then what follows them (Vorbis's
    // framing bit). Each picture field holds a stand-in; its picture takes its place.
    const QByteArray &comment = packets[0];
    const qsizetype magic = vorbis ? 7 : 8;
    if (!comment.startsWith(vorbis ? "\x03vorbis" : "OpusTags"))
        unexpected();
    const qsizetype countAt = magic + 4 + qsizetype(little32At(comment, magic));
    const quint32 count = little32At(comment, countAt);
    Pieces packet;
    qsizetype at = countAt + 4;
    packet.add(comment.left(at));
    std::vector<std::unique_ptr<PictureText>> texts;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype size = qsizetype(little32At(comment, at));
        if (at + 4 + size > comment.size())
            unexpected();
        const QByteArray field = comment.mid(at + 4, size);
        at += 4 + size;
        if (!field.startsWith(FieldName)) {
            packet.add(StreamedPictures::little32(quint32(size)) + field);
            continue;
        }
        auto text = std::make_unique<PictureText>(standInOf(field.mid(FieldNameBytes), pictures));
        if (FieldNameBytes + text->size() > 0xFFFFFFFFLL)
            throw EngineError(QStringLiteral("a picture is too large for a Vorbis comment"));
        packet.add(StreamedPictures::little32(quint32(FieldNameBytes + text->size())) + FieldName);
        packet.add(text->size(), [t = text.get()](char *to, qsizetype n) { t->read(to, n); });
        texts.push_back(std::move(text));
    }
    packet.add(comment.mid(at));

    first.write(out);
    HeaderPages pages(out, first.serial, first.sequence + 1);
    pages.add(packet.size(), [&packet](char *to, qsizetype n) { packet.read(to, n); });
    for (size_t i = 1; i < packets.size(); ++i) {
        Pieces rest;
        rest.add(packets[i]);
        pages.add(packets[i].size(), [&rest](char *to, qsizetype n) { rest.read(to, n); });
    }
    quint32 sequence = pages.flush(lastFlag);

    // The audio pages follow, numbered on from the comment's last page.
    while (page.read(in)) {
        if (page.serial == first.serial)
            page.sequence = sequence++;
        page.write(out);
    }
    return int(texts.size());
}
