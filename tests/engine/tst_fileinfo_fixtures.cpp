#include "tst_fileinfo_fixtures.h"

#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

QString Fixture::make(const QString &dir, const QString &name, const QStringList &arguments)
{
    const QString path = QDir(dir).filePath(name);
    QByteArray output;
    const int rc = TestEnv::run(
        QStringLiteral("ffmpeg"),
        QStringList{"-nostdin", "-v", "error", "-y"} + arguments + QStringList{path}, &output);
    if (rc != 0) {
        qWarning("ffmpeg failed for %s: %s", qPrintable(name), output.constData());
        return {};
    }
    return path;
}

QString Fixture::tone(const QString &dir, const QString &name, double seconds,
                      const QStringList &codecArguments, int rate, int channels)
{
    return make(
        dir, name,
        QStringList{
            "-f", "lavfi", "-i",
            QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(seconds),
            "-ac", QString::number(channels)} +
            codecArguments);
}

QJsonObject Fixture::probe(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {"-v", "error", "-of", "json", "-show_streams", "-show_format", path});
    p.waitForFinished(60000);
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonObject Fixture::audioStream(const QString &path)
{
    const QJsonArray streams = probe(path).value("streams").toArray();
    for (const auto &s : streams) {
        if (s.toObject().value("codec_type").toString() == "audio")
            return s.toObject();
    }
    return {};
}

QByteArray Fixture::audioMd5(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {"-nostdin", "-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-"});
    p.waitForFinished(60000);
    return p.readAllStandardOutput().trimmed();
}

QByteArray Fixture::decodeFloat(const QString &path, int rate, int channels)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {"-nostdin", "-v", "error", "-i", path, "-map", "0:a", "-f", "f32le", "-ar",
             QString::number(rate), "-ac", QString::number(channels), "-"});
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

QByteArray Fixture::readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
