#include "tests/support/audiofixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

QByteArray AudioFixtures::runTool(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, arguments);
    if (!p.waitForStarted(10000))
        return {};
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    QByteArray out = p.readAllStandardOutput();
    if (out.isNull())
        out = QByteArray("");
    return out;
}

QString AudioFixtures::makeFrom(const QString &dir, const QString &name, const QString &lavfiSource,
                                const QStringList &outputArgs)
{
    const QString path = QDir(dir).filePath(name);
    QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                     QStringLiteral("error"),        QStringLiteral("-y"),
                     QStringLiteral("-f"),           QStringLiteral("lavfi"),
                     QStringLiteral("-i"),           lavfiSource};
    args << outputArgs << path;
    return runTool(QStringLiteral("ffmpeg"), args).isNull() ? QString() : path;
}

QString AudioFixtures::make(const QString &dir, const QString &name, double seconds, int rate,
                            int channels, const QStringList &codecArgs)
{
    const QString source =
        QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(seconds);
    QStringList args{QStringLiteral("-ac"), QString::number(channels)};
    args << codecArgs;
    return makeFrom(dir, name, source, args);
}

QVariantMap AudioFixtures::probe(const QString &path)
{
    const QByteArray json = runTool(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
         QStringLiteral("json"), QStringLiteral("-show_streams"), QStringLiteral("-show_format"),
         QStringLiteral("-select_streams"), QStringLiteral("a:0"), path});
    QVariantMap out;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (!streams.isEmpty())
        out = streams.first().toObject().toVariantMap();
    const QVariantMap format = root.value(QStringLiteral("format")).toObject().toVariantMap();
    for (auto it = format.begin(); it != format.end(); ++it)
        out.insert(QStringLiteral("format.") + it.key(), it.value());
    return out;
}

QByteArray AudioFixtures::decode(const QString &path, const QString &format)
{
    return runTool(QStringLiteral("ffmpeg"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
                    QStringLiteral("-f"), format, QStringLiteral("-")});
}
