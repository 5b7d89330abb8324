#include "convert/runoutputs.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Equal for two paths exactly when they name the same file, whether or not it exists yet.
QString fileKey(const QString &path)
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
    return key;
}

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

RunOutputs::RunOutputs(const QStringList &sources)
{
    for (const QString &source : sources)
        addSource(source);
}

void RunOutputs::addSource(const QString &source)
{
    m_sources.insert(fileKey(source), source);
}

QString RunOutputs::refusal(const QString &source, const QString &output) const
{
    const QString key = fileKey(output);
    if (const auto s = m_sources.constFind(key); s != m_sources.cend())
        return QStringLiteral("the output would replace the source file %1").arg(fileName(*s));
    if (key == fileKey(source))
        return QStringLiteral("the output would replace the source file %1").arg(fileName(source));
    if (const auto o = m_outputs.constFind(key); o != m_outputs.cend())
        return QStringLiteral("same output name as %1").arg(fileName(*o));
    return {};
}

QString RunOutputs::claim(const QString &source, const QString &output)
{
    QString why = refusal(source, output);
    if (why.isEmpty())
        m_outputs.insert(fileKey(output), source);
    return why;
}

void RunOutputs::clear()
{
    m_sources.clear();
    m_outputs.clear();
}
