#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Small audio files made at test time with the ffmpeg program, and independent checks of
// outputs with ffprobe.
namespace AudioFixtures {

// `seconds` of a 440 Hz tone at `rate` Hz with `channels` channels, encoded with
// `codecArgs` (e.g. {"-c:a", "libmp3lame", "-b:a", "128k"}; none: the extension's
// default) into dir/name. Returns the path; empty when ffmpeg failed.
QString make(const QString &dir, const QString &name, double seconds, int rate = 44100,
             int channels = 2, const QStringList &codecArgs = {});

// Like make() with any lavfi source, e.g. "anoisesrc=d=3:c=pink:a=0.3" (a signal that
// never repeats, for seeking tests).
QString makeFrom(const QString &dir, const QString &name, const QString &lavfiSource,
                 const QStringList &outputArgs);

// ffprobe's view of a file: the first audio stream's fields ("codec_name",
// "sample_rate", "channels", "bit_rate", "bits_per_sample", "duration"...) and the
// container's as "format.duration", "format.bit_rate", "format.format_name".
QVariantMap probe(const QString &path);

// The file decoded by the ffmpeg program into raw samples (`format` as for ffmpeg -f,
// e.g. "s16le" or "f32le").
QByteArray decode(const QString &path, const QString &format = QStringLiteral("f32le"));

// Runs a program; its standard output, or a null array when it failed.
QByteArray runTool(const QString &program, const QStringList &arguments);

} // namespace AudioFixtures
