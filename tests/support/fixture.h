#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <utility>
#include <vector>

class Converter;
struct TagFields;

// Small audio files made at test time with the ffmpeg program, independent readings of them
// with ffprobe, and conversions through the program's own job.
namespace Fixture {
// Runs ffmpeg with `arguments` (before the output name); `dir/name`, or "" when it failed.
QString make(const QString &dir, const QString &name, const QStringList &arguments);
// `seconds` of a 440 Hz tone encoded with `codec` (none: the extension's default).
QString tone(const QString &dir, const QString &name, double seconds, const QStringList &codec = {},
             int rate = 44100, int channels = 2);
// A small music library under `dir`: three albums in nested folders, two of them with a track
// of the same name, and a hidden folder and a cover picture that are no tracks. The tracks'
// paths relative to `dir`, sorted; empty when ffmpeg failed.
QStringList library(const QString &dir);
// ffprobe's view: {"streams": [...], "format": {...}}.
QJsonObject probe(const QString &path);
// The first audio stream of probe().
QJsonObject audioStream(const QString &path);
// The first audio stream's fields ("codec_name", "sample_rate", "bit_rate"...) and the
// container's as "format.duration", "format.format_name"...
QVariantMap streamInfo(const QString &path);
// The container's length in seconds, as ffprobe reads it.
double seconds(const QString &path);
// A tag value as ffprobe reads it, by case-insensitive key; on the container, or on the stream
// where the format keeps its comments (Ogg).
QString tag(const QString &path, const QString &key);
// "<codec> <rate> <channels>" of the first audio stream, to compare at once ("mp3 44100 2").
QString audioShape(const QString &path);
// The audio decoded by ffmpeg into raw samples (`format` as for ffmpeg -f).
QByteArray decode(const QString &path, const QString &format = QStringLiteral("f32le"));
// MD5 of the decoded audio stream, untouched by any tag change.
QByteArray audioMd5(const QString &path);
// Gives the writer every format's usual settings (CD WAV, Ogg quality 4, WMA profile 8,
// default MP3), so the output's extension alone picks the encoder.
void setEveryFormat(Converter &writer);
// Converts with the program's conversion job, replacing an older output, with up to
// `instances` encoder instances for a long source; "" or the reason.
QString convert(Converter &writer, const QString &source, const QString &output, int instances = 1);
// Several instruments' worth of spectrum: chords of harmonic tones with an attack and a decay,
// moving around the stereo image, over a little noise; on the grid of `bits` (0: none).
std::vector<float> music(int rate, int channels, double seconds, int bits = 0);
// `samples` (float, interleaved) as the WAV file `dir/name` in `codec` (a pcm_* encoder); ""
// when ffmpeg failed.
QString wav(const QString &dir, const QString &name, const std::vector<float> &samples, int rate,
            int channels, const QString &codec);
// The audio as ffmpeg decodes it, failing (empty) at the first error in the stream.
QByteArray decodeStrictly(const QString &path, const QString &format);
std::vector<float> floats(const QByteArray &f32le);
// Signal to noise of `decoded` against `source` in dB, over the whole or over `ranges` of
// sample indexes.
double snr(const std::vector<float> &source, const std::vector<float> &decoded,
           const std::vector<std::pair<size_t, size_t>> &ranges = {});
// Every tag field as text, the seven that ID3v1 holds first, to compare tags at once.
QStringList tagTexts(const TagFields &tag);
} // namespace Fixture
