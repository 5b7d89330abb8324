#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <taglib/tiostream.h>

// A file as TagLib sees it, where every failed read, write, seek or resize is remembered.
// TagLib's own file stream drops those errors, so a tag save that runs out of disk space
// leaves a cut-off file and still reports success; callers check failed() after a save.
class CheckedStream : public TagLib::IOStream
{
public:
    // Opens for reading and writing unless `readOnly`; a file that cannot be written is
    // opened read-only, as TagLib's own stream does.
    CheckedStream(const QString &path, bool readOnly);

    bool failed() const { return !m_error.isEmpty(); }
    // What went wrong first, in plain words.
    QString error() const { return m_error; }

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
    void fail(const QString &what);
    bool writeAt(qint64 position, const char *data, qint64 size);
    // Moves the bytes from `from` to the end of the file by `by` (negative: towards the start).
    bool moveTail(qint64 from, qint64 by);

    QFile m_file;
    QByteArray m_name;
    bool m_readOnly = true;
    QString m_error;
};
