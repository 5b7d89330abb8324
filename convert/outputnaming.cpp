#include "convert/outputnaming.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace {

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QDir::separator()) && !folder.endsWith(QLatin1Char('/')))
        folder += QDir::separator();
    return folder;
}

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

QString OutputNaming::stemOf(const QString &source)
{
    const QString name = QFileInfo(source).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString OutputNaming::baseOf(const QString &source)
{
    return withSeparator(QDir::toNativeSeparators(QFileInfo(source).path())) + stemOf(source);
}

QString OutputNaming::inSourceFolder(const QString &source, const QString &extension)
{
    return baseOf(source) + extension;
}

QString OutputNaming::inOutputFolder(const QString &source, const QString &folder,
                                     const QString &extension)
{
    return withSeparator(folder) + stemOf(source) + extension;
}

QString OutputNaming::keptFolder(const QString &folder, const QString &source, const QString &root)
{
    return Paths::folderBelow(folder,
                              Paths::relativeFolder(QFileInfo(source).absolutePath(), root));
}

bool OutputNaming::sameFile(const QString &a, const QString &b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(QFile::encodeName(a).toStdString(),
                                                  QFile::encodeName(b).toStdString(), error);
    if (!error)
        return same;
        // At least one of them does not exist: compare the names themselves.
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return cleanAbsolute(a).compare(cleanAbsolute(b), cs) == 0;
}

QString OutputNaming::outputPath(const QString &source, const QString &folder,
                                 bool sourceFolderMode, const QString &extension)
{
    if (QFileInfo(source).fileName().isEmpty())
        return {};
    const QString out = sourceFolderMode ? inSourceFolder(source, extension)
                                         : inOutputFolder(source, folder, extension);
    if (!sameFile(out, source) &&
        cleanAbsolute(out).compare(cleanAbsolute(source), Qt::CaseInsensitive) != 0)
        return out;
    return out.chopped(extension.size()) + QStringLiteral("_back") + extension;
}
