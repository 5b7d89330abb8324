#pragma once

#include <QFile>

#include <taglib/tiostream.h>

// A file as TagLib reads and writes it, unbuffered, that remembers a failed write. TagLib's
// own file stream drops write errors, so a full disk would go unnoticed and a cut file
// would pass for a saved one.
class TagFileStream : public TagLib::IOStream
{
public:
    TagFileStream(const QString &path, bool readOnly);

    // A write, a move or a truncation did not complete.
    bool failed() const { return m_failed; }

    TagLib::FileName name() const override { return m_name.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector &data) override;
    void insert(const TagLib::ByteVector &data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override { return m_readOnly; }
    bool isOpen() const override { return m_file.isOpen(); }
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return long(m_file.pos()); }
    long length() override { return long(m_file.size()); }
    void truncate(long length) override;

private:
    void write(const char *data, qint64 size);
    // Moves the bytes from `from` to the end of the file to `to`.
    void moveTail(qint64 from, qint64 to);

    QFile m_file;
    QByteArray m_name;
    bool m_readOnly;
    bool m_failed = false;
};
