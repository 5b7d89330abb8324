#include "tags/checkedstream.h"

#include "platform/plainreason.h"

#include <algorithm>

namespace {
constexpr qint64 Piece = 1 << 20;
}

CheckedStream::CheckedStream(const QString &path, bool readOnly)
    : m_file(path)
    , m_name(QFile::encodeName(path))
{
    if (!readOnly && m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        m_readOnly = false;
        return;
    }
    m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void CheckedStream::fail(const QString &what)
{
    if (m_error.isEmpty())
        m_error = what + QStringLiteral(": ") + PlainReason::of(m_file.errorString());
}

TagLib::ByteVector CheckedStream::readBlock(unsigned long length)
{
    const qint64 wanted =
        std::min<qint64>(qint64(length), std::max<qint64>(0, m_file.size() - m_file.pos()));
    if (wanted <= 0)
        return {};
    TagLib::ByteVector block(static_cast<unsigned int>(wanted));
    const qint64 got = m_file.read(block.data(), wanted);
    if (got < 0) {
        fail(QStringLiteral("reading failed"));
        return {};
    }
    block.resize(static_cast<unsigned int>(got));
    return block;
}

bool CheckedStream::writeAt(qint64 position, const char *data, qint64 size)
{
    if (m_readOnly) {
        fail(QStringLiteral("the file is open for reading only"));
        return false;
    }
    if (!m_file.seek(position)) {
        fail(QStringLiteral("seeking failed"));
        return false;
    }
    // A short write is retried, so that a full disk gives its own reason.
    for (qint64 done = 0; done < size;) {
        const qint64 n = m_file.write(data + done, size - done);
        if (n <= 0) {
            fail(QStringLiteral("writing failed"));
            return false;
        }
        done += n;
    }
    return true;
}

void CheckedStream::writeBlock(const TagLib::ByteVector &data)
{
    writeAt(m_file.pos(), data.data(), data.size());
}

bool CheckedStream::moveTail(qint64 from, qint64 by)
{
    const qint64 end = m_file.size();
    QByteArray buffer;
    // Growing: copy from the end backwards so nothing is overwritten before it was read.
    // Shrinking: copy from the front forwards for the same reason.
    for (qint64 done = 0; done < end - from;) {
        const qint64 n = std::min(Piece, end - from - done);
        const qint64 at = by > 0 ? end - done - n : from + done;
        if (!m_file.seek(at)) {
            fail(QStringLiteral("seeking failed"));
            return false;
        }
        buffer = m_file.read(n);
        if (buffer.size() != n) {
            fail(QStringLiteral("reading failed"));
            return false;
        }
        if (!writeAt(at + by, buffer.constData(), n))
            return false;
        done += n;
    }
    return true;
}

void CheckedStream::insert(const TagLib::ByteVector &data, unsigned long start,
                           unsigned long replace)
{
    const qint64 grow = qint64(data.size()) - qint64(replace);
    if (grow != 0 && !moveTail(qint64(start + replace), grow))
        return;
    if (grow < 0)
        truncate(long(m_file.size() + grow));
    writeAt(qint64(start), data.data(), data.size());
}

void CheckedStream::removeBlock(unsigned long start, unsigned long length)
{
    if (length == 0)
        return;
    if (moveTail(qint64(start + length), -qint64(length)))
        truncate(long(m_file.size() - qint64(length)));
}

void CheckedStream::seek(long offset, Position p)
{
    qint64 base = 0;
    if (p == Current)
        base = m_file.pos();
    else if (p == End)
        base = m_file.size();
    if (!m_file.seek(std::max<qint64>(0, base + offset)))
        fail(QStringLiteral("seeking failed"));
}

void CheckedStream::truncate(long length)
{
    if (m_readOnly || !m_file.resize(length))
        fail(QStringLiteral("the file could not be cut to its new length"));
}
