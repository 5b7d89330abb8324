#include "tags/oggpage.h"

#include "engine/checksums.h"
#include "engine/engineerror.h"
#include "tags/streamedpictures.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int HeaderBytes = 27;

[[noreturn]] void broken()
{
    throw EngineError(QStringLiteral("its Ogg pages are damaged"));
}

} // namespace

bool OggPage::read(QIODevice &in)
{
    const QByteArray header = in.read(HeaderBytes);
    if (header.isEmpty())
        return false;
    if (header.size() < HeaderBytes || !header.startsWith("OggS") || header[4] != 0)
        broken();
    const auto *h = reinterpret_cast<const uchar *>(header.constData());
    flags = h[5];
    granule = qFromLittleEndian<quint64>(h + 6);
    serial = qFromLittleEndian<quint32>(h + 14);
    sequence = qFromLittleEndian<quint32>(h + 18);
    const QByteArray table = in.read(h[26]);
    if (table.size() != h[26])
        broken();
    lacing.assign(table.begin(), table.end());
    qint64 size = 0;
    for (quint8 l : lacing)
        size += l;
    body = in.read(size);
    if (body.size() != size)
        broken();
    return true;
}

void OggPage::write(QIODevice &out) const
{
    QByteArray page(HeaderBytes, '\0');
    auto *h = reinterpret_cast<uchar *>(page.data());
    std::memcpy(h, "OggS", 4);
    h[5] = flags;
    qToLittleEndian(granule, h + 6);
    qToLittleEndian(serial, h + 14);
    qToLittleEndian(sequence, h + 18);
    h[26] = quint8(lacing.size());
    page.append(reinterpret_cast<const char *>(lacing.data()), qsizetype(lacing.size()));
    page.append(body);
    const quint32 crc = Checksums::crc32Ogg(reinterpret_cast<const uint8_t *>(page.constData()),
                                            size_t(page.size()));
    qToLittleEndian(crc, page.data() + 22);
    StreamedPictures::writeAll(out, page.constData(), page.size());
}
