#include "convert/outputnaming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

QString OutputNaming::baseOf(const QString &source)
{
    const QFileInfo info(source);
    const QString name = info.fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    QString folder = QDir::toNativeSeparators(info.path());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder + (dot < 0 ? name : name.left(dot));
}

QString OutputNaming::inSourceFolder(const QString &source, const QString &extension)
{
    return baseOf(source) + extension;
}

QString OutputNaming::inOutputFolder(const QString &source, const QString &folder,
                                     const QString &extension)
{
    const QString name = QFileInfo(source).fileName();
    if (name.size() < 4)
        return {};
    QString out = folder;
    if (!out.endsWith(QDir::separator()) && !out.endsWith(QLatin1Char('/')))
        out += QDir::separator();
    return out + name.chopped(4) + extension;
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
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
               .compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), cs) == 0;
}

QString OutputNaming::outputPath(const QString &source, const QString &folder,
                                 bool sourceFolderMode, const QString &extension)
{
    const QString out = sourceFolderMode ? inSourceFolder(source, extension)
                                         : inOutputFolder(source, folder, extension);
    if (out.isEmpty() || !sameFile(out, source))
        return out;
    return out.chopped(4) + QStringLiteral("_back") + extension;
}
