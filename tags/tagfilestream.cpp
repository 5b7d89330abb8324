#include "tags/tagfilestream.h"

#include <algorithm>

namespace {
constexpr qint64 MoveChunk = 1 << 20;
}

TagFileStream::TagFileStream(const QString &path, bool readOnly)
    : m_file(path)
    , m_name(QFile::encodeName(path))
    , m_readOnly(readOnly)
{
    m_file.open((readOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite) | QIODevice::Unbuffered);
}

TagLib::ByteVector TagFileStream::readBlock(unsigned long length)
{
    const QByteArray bytes = m_file.read(qint64(length));
    return TagLib::ByteVector(bytes.constData(), unsigned(bytes.size()));
}

void TagFileStream::write(const char *data, qint64 size)
{
    if (m_readOnly || m_file.write(data, size) != size)
        m_failed = true;
}

void TagFileStream::writeBlock(const TagLib::ByteVector &data)
{
    write(data.data(), data.size());
}

void TagFileStream::moveTail(qint64 from, qint64 to)
{
    const qint64 end = m_file.size();
    const qint64 count = end - from;
    if (count <= 0 || from == to)
        return;
    // Moving forward, the last chunk goes first, so nothing is overwritten before it is read.
    const bool forward = to > from;
    for (qint64 done = 0; done < count && !m_failed;) {
        const qint64 n = std::min(MoveChunk, count - done);
        const qint64 offset = forward ? count - done - n : done;
        m_file.seek(from + offset);
        const QByteArray chunk = m_file.read(n);
        if (chunk.size() != n) {
            m_failed = true;
            return;
        }
        m_file.seek(to + offset);
        write(chunk.constData(), n);
        done += n;
    }
}

void TagFileStream::insert(const TagLib::ByteVector &data, unsigned long start,
                           unsigned long replace)
{
    const qint64 size = data.size();
    const qint64 oldEnd = m_file.size();
    moveTail(qint64(start) + qint64(replace), qint64(start) + size);
    if (size < qint64(replace))
        truncate(long(oldEnd - (qint64(replace) - size)));
    m_file.seek(qint64(start));
    write(data.data(), size);
}

void TagFileStream::removeBlock(unsigned long start, unsigned long length)
{
    const qint64 oldEnd = m_file.size();
    moveTail(qint64(start) + qint64(length), qint64(start));
    truncate(long(std::max<qint64>(qint64(start), oldEnd - qint64(length))));
}

void TagFileStream::seek(long offset, Position p)
{
    const qint64 base = p == Beginning ? 0 : p == Current ? m_file.pos() : m_file.size();
    m_file.seek(base + offset);
}

void TagFileStream::truncate(long length)
{
    if (m_readOnly || !m_file.resize(length))
        m_failed = true;
}
