#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Small audio files made at test time with the ffmpeg program, and independent readings of
// them with ffprobe.
namespace Fixture {
// Runs ffmpeg with `arguments` (before the output name); `dir/name`, or "" when it failed.
QString make(const QString &dir, const QString &name, const QStringList &arguments);
// A tone as AudioFixtures::make.
QString tone(const QString &dir, const QString &name, double seconds,
             const QStringList &codecArguments = {}, int rate = 44100, int channels = 2);
// ffprobe's view: {"streams": [...], "format": {...}}.
QJsonObject probe(const QString &path);
// The first audio stream of probe().
QJsonObject audioStream(const QString &path);
// A tag value as ffprobe reads it, by case-insensitive key; on the container, or on the stream
// where the format keeps its comments (Ogg).
QString tag(const QString &path, const QString &key);
// MD5 of the decoded audio stream (ffmpeg -f md5), untouched by any tag change.
QByteArray audioMd5(const QString &path);
QByteArray readAll(const QString &path);
} // namespace Fixture
