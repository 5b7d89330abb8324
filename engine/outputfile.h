#pragma once

#include <QFile>

// The device an output is encoded into. It is written as a temporary file in the output's
// folder (without a name where the file system allows it, so a killed program leaves
// nothing) and takes the output name only in commit(), by one rename: whatever is under the
// name, a symbolic link included, is replaced as a whole; a link's target is never written.
class OutputFile : public QFile
{
public:
    explicit OutputFile(const QString &path);
    // An output not committed is discarded.
    ~OutputFile() override;
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Creates the temporary file, open for writing; false (errorString() says why) if it
    // cannot be made.
    bool openTemporary();
    // Writes everything out to the disk and renames the temporary file to the output name;
    // false (errorString() says why) leaves the output name as it was.
    bool commit();
    // Removes the temporary file; the output name is left as it was.
    void discard();

private:
    bool fail(int errnoCode);
    // A new name for the temporary file in the output's folder, unique by chance only.
    QByteArray candidateName() const;

    QString m_path;
    int m_fd = -1;
    // Set while the temporary file has a name in the folder.
    QByteArray m_temporary;
};
