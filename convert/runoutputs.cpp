#include "convert/runoutputs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// The keys of a path: its folder's real path and its name, and for an existing file its
// identity too (so hard links match). Two paths name one file when they share a key; a
// file that comes into being during the run still matches its name key.
QStringList fileKeys(const QString &path)
{
    const QFileInfo info(path);
    QString key = info.canonicalFilePath();
    if (key.isEmpty()) {
        const QString folder = info.dir().canonicalPath();
        key = folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                               : folder + QLatin1Char('/') + info.fileName();
    }
#ifdef Q_OS_WIN
    key = key.toLower();
#endif
    QStringList keys{key};
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        keys << QStringLiteral("file:%1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
#endif
    return keys;
}

template <typename Hash>
typename Hash::const_iterator findAny(const Hash &hash, const QStringList &keys)
{
    for (const QString &key : keys) {
        if (const auto it = hash.constFind(key); it != hash.cend())
            return it;
    }
    return hash.cend();
}

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

// The key of a name that may not exist yet, as a folder that ignores letter case sees it.
QString foldedKey(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = info.dir().canonicalPath();
    return (folder.isEmpty() ? QDir::cleanPath(info.absolutePath()) : folder) + QLatin1Char('/') +
           info.fileName().toCaseFolded();
}

// Whether `folder` takes names that differ only in letter case for one file (FAT, exFAT,
// some network shares), asked of the folder with a file of our own. A folder that cannot
// tell counts as one that does: two outputs there could become one. A folder still to be made
// is asked of its nearest existing parent.
bool foldsCase(QString folder)
{
    while (!QFileInfo(folder).isDir() && !QDir(folder).isRoot())
        folder = QFileInfo(folder).absolutePath();
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("twr-case-probe-XXXXXX")));
    if (!probe.open())
        return true;
    // The name is new and random: its upper-case twin exists only as the same file. (Inode
    // numbers do not tell: a FUSE file system may give each name its own.)
    const QFileInfo written(probe.fileName());
    return QFileInfo::exists(written.dir().filePath(written.fileName().toUpper()));
}

} // namespace

RunOutputs::RunOutputs(const QStringList &sources)
{
    for (const QString &source : sources)
        addSource(source);
}

void RunOutputs::addSource(const QString &source)
{
    for (const QString &key : fileKeys(source))
        m_sources.insert(key, source);
}

QString RunOutputs::refusal(const QString &source, const QString &output) const
{
    const QStringList keys = fileKeys(output);
    if (const auto s = findAny(m_sources, keys); s != m_sources.cend())
        return QStringLiteral("the output would replace the source file %1").arg(fileName(*s));
    for (const QString &key : fileKeys(source)) {
        if (keys.contains(key))
            return QStringLiteral("the output would replace the source file %1")
                .arg(fileName(source));
    }
    if (const auto o = findAny(m_outputs, keys); o != m_outputs.cend())
        return QStringLiteral("same output name as %1").arg(fileName(*o));
    // Song.mp3 and song.mp3 are one file where the folder ignores letter case.
    if (const auto f = m_folded.constFind(foldedKey(output)); f != m_folded.cend()) {
        const QString folder = QFileInfo(output).absolutePath();
        auto known = m_foldingFolders.constFind(folder);
        if (known == m_foldingFolders.cend())
            known = m_foldingFolders.insert(folder, foldsCase(folder));
        if (*known)
            return QStringLiteral("same output name as %1").arg(fileName(f->second));
    }
    return {};
}

QString RunOutputs::claim(const QString &source, const QString &output)
{
    QString why = refusal(source, output);
    if (why.isEmpty()) {
        for (const QString &key : fileKeys(output))
            m_outputs.insert(key, source);
        m_folded.insert(foldedKey(output), {output, source});
    }
    return why;
}

void RunOutputs::clear()
{
    m_sources.clear();
    m_outputs.clear();
    m_folded.clear();
    m_foldingFolders.clear();
}
