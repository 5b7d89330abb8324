#include "tests/support/fixture.h"

#include "tests/support/audiofixtures.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

QString Fixture::make(const QString &dir, const QString &name, const QStringList &arguments)
{
    const QString path = QDir(dir).filePath(name);
    const QStringList all =
        QStringList{"-nostdin", "-v", "error", "-y"} + arguments + QStringList{path};
    return AudioFixtures::runTool("ffmpeg", all).isNull() ? QString() : path;
}

QString Fixture::tone(const QString &dir, const QString &name, double seconds,
                      const QStringList &codecArguments, int rate, int channels)
{
    return AudioFixtures::make(dir, name, seconds, rate, channels, codecArguments);
}

QJsonObject Fixture::probe(const QString &path)
{
    return QJsonDocument::fromJson(
               AudioFixtures::runTool("ffprobe", {"-v", "error", "-of", "json", "-show_streams",
                                                  "-show_format", path}))
        .object();
}

QJsonObject Fixture::audioStream(const QString &path)
{
    for (const auto &s : probe(path).value("streams").toArray()) {
        if (s.toObject().value("codec_type").toString() == "audio")
            return s.toObject();
    }
    return {};
}

QString Fixture::tag(const QString &path, const QString &key)
{
    QJsonObject tags = probe(path).value("format").toObject().value("tags").toObject();
    if (tags.isEmpty())
        tags = audioStream(path).value("tags").toObject();
    for (auto it = tags.begin(); it != tags.end(); ++it) {
        if (it.key().compare(key, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    }
    return {};
}

QByteArray Fixture::audioMd5(const QString &path)
{
    return AudioFixtures::runTool(
               "ffmpeg", {"-nostdin", "-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-"})
        .trimmed();
}

QByteArray Fixture::readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
