#include "tests/support/fixture.h"

#include "convert/conversionjob.h"
#include "convert/outputformat.h"
#include "engine/converter.h"
#include "tags/tagfields.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
QByteArray output(const QString &program, const QStringList &arguments)
{
    QByteArray out;
    return TestEnv::run(program, arguments, &out) == 0 ? out : QByteArray();
}
} // namespace

QString Fixture::make(const QString &dir, const QString &name, const QStringList &arguments)
{
    const QString path = QDir(dir).filePath(name);
    const QStringList all =
        QStringList{"-nostdin", "-v", "error", "-y"} + arguments + QStringList{path};
    return TestEnv::run("ffmpeg", all) == 0 ? path : QString();
}

QString Fixture::tone(const QString &dir, const QString &name, double seconds,
                      const QStringList &codec, int rate, int channels)
{
    const QString sine = QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2");
    return make(dir, name,
                QStringList{"-f", "lavfi", "-i", sine.arg(rate).arg(seconds), "-ac",
                            QString::number(channels)} +
                    codec);
}

QStringList Fixture::library(const QString &dir)
{
    const QStringList tracks{"Artist A/Album 1/01 Intro.flac", "Artist A/Album 1/02 Song.wav",
                             "Artist B/Album 2/01 Intro.flac", "Various/Album 3/CD1/03 End.ogg"};
    for (const QString &track : tracks) {
        const QFileInfo file(QDir(dir).filePath(track));
        QDir().mkpath(file.absolutePath());
        if (tone(file.absolutePath(), file.fileName(), 0.5, {}, 8000, 1).isEmpty())
            return {};
    }
    QDir().mkpath(QDir(dir).filePath(".covers"));
    tone(QDir(dir).filePath(".covers"), "hidden.flac", 0.2, {}, 8000, 1);
    QFile cover(QDir(dir).filePath("Artist A/cover.jpg"));
    if (!cover.open(QIODevice::WriteOnly) || cover.write("not audio") < 0)
        return {};
    return tracks;
}

QJsonObject Fixture::probe(const QString &path)
{
    return QJsonDocument::fromJson(output("ffprobe", {"-v", "error", "-of", "json", "-show_streams",
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

QVariantMap Fixture::streamInfo(const QString &path)
{
    QVariantMap info = audioStream(path).toVariantMap();
    const QVariantMap format = probe(path).value("format").toObject().toVariantMap();
    for (auto it = format.begin(); it != format.end(); ++it)
        info.insert("format." + it.key(), it.value());
    return info;
}

double Fixture::seconds(const QString &path)
{
    return probe(path).value("format").toObject().value("duration").toString().toDouble();
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

QString Fixture::audioShape(const QString &path)
{
    const QVariantMap info = streamInfo(path);
    return QStringList{info.value("codec_name").toString(), info.value("sample_rate").toString(),
                       info.value("channels").toString()}
        .join(' ');
}

QByteArray Fixture::decode(const QString &path, const QString &format)
{
    return output("ffmpeg", {"-nostdin", "-v", "error", "-i", path, "-f", format, "-"});
}

QByteArray Fixture::audioMd5(const QString &path)
{
    return output("ffmpeg",
                  {"-nostdin", "-v", "error", "-i", path, "-map", "0:a", "-f", "md5", "-"})
        .trimmed();
}

void Fixture::setEveryFormat(Converter &writer)
{
    const EncoderSettingsSet builtIn;
    for (const OutputFormat &format : OutputFormats::all())
        EncoderSetup::apply(writer, builtIn[format.id]);
}

QString Fixture::convert(Converter &writer, const QString &source, const QString &output,
                         int instances)
{
    Converter reader;
    ConversionJob::Callbacks callbacks;
    callbacks.instances = [instances] {
        return ConversionJob::Instances{instances, false};
    };
    callbacks.overwrite = [](const QString &) {
        return ConversionJob::OverwriteAnswer::Replace;
    };
    const ConversionJob::Result r = ConversionJob(reader, writer, callbacks).run(source, output);
    return r.outcome == ConversionJob::Outcome::Converted ? QString() : r.reason;
}

QStringList Fixture::tagTexts(const TagFields &f)
{
    return {f.Title,
            f.Artist,
            f.Album,
            f.Comment,
            QString::number(f.Genre),
            QString::number(f.Year),
            QString::number(f.Track),
            f.GenreS,
            f.Copyright,
            f.Composer,
            f.URL,
            f.EncodedBy,
            f.OriginalArtist};
}

std::vector<float> Fixture::music(int rate, int channels, double seconds, int bits)
{
    const auto frames = qint64(seconds * rate);
    std::vector<float> out(size_t(frames * channels));
    const double scale = bits > 0 ? double(1 << (bits - 1)) : 0.0;
    uint32_t noise = 12345;
    const double chordSeconds = 0.6;
    for (qint64 i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const int chord = int(t / chordSeconds);
        const double age = t - chord * chordSeconds;
        const double envelope = std::min(1.0, age * 200.0) * std::exp(-age * 3.0);
        double left = 0, right = 0;
        for (int note = 0; note < 4; ++note) {
            const int semitone = (chord * 5 + note * 4 + note * note) % 24;
            const double f = 110.0 * std::pow(2.0, semitone / 12.0);
            double tone = 0;
            for (int h = 1; h <= 5; ++h)
                tone += std::sin(2 * M_PI * f * h * t + note) / (h * (note + 1));
            const double pan = 0.5 + 0.4 * std::sin(chord + note);
            left += tone * (1 - pan);
            right += tone * pan;
        }
        noise = noise * 1664525u + 1013904223u;
        const double hiss = (double(noise >> 8) / double(1 << 24) - 0.5) * 0.01;
        for (int c = 0; c < channels; ++c) {
            const double v = channels == 1 ? 0.175 * envelope * (left + right) + hiss
                                           : 0.35 * envelope * (c % 2 ? right : left) + hiss;
            out[size_t(i * channels + c)] =
                float(scale > 0 ? std::nearbyint(v * scale) / scale : v);
        }
    }
    return out;
}

QString Fixture::wav(const QString &dir, const QString &name, const std::vector<float> &samples,
                     int rate, int channels, const QString &codec)
{
    const QString raw = QDir(dir).filePath(name + ".f32");
    TestEnv::writeFile(raw, QByteArray(reinterpret_cast<const char *>(samples.data()),
                                       qsizetype(samples.size() * sizeof(float))));
    return make(dir, name,
                {"-f", "f32le", "-ar", QString::number(rate), "-ac", QString::number(channels),
                 "-i", raw, "-c:a", codec});
}

QByteArray Fixture::decodeStrictly(const QString &path, const QString &format)
{
    return output("ffmpeg", {"-nostdin", "-v", "error", "-xerror", "-err_detect", "crccheck", "-i",
                             path, "-f", format, "-"});
}

std::vector<float> Fixture::floats(const QByteArray &f32le)
{
    std::vector<float> out(size_t(f32le.size()) / sizeof(float));
    std::memcpy(out.data(), f32le.constData(), out.size() * sizeof(float));
    return out;
}

double Fixture::snr(const std::vector<float> &source, const std::vector<float> &decoded,
                    const std::vector<std::pair<size_t, size_t>> &ranges)
{
    const std::vector<std::pair<size_t, size_t>> whole{{0, source.size()}};
    double signal = 0;
    double noise = 0;
    for (const auto &[from, to] : ranges.empty() ? whole : ranges)
        for (size_t i = from; i < std::min({to, source.size(), decoded.size()}); ++i) {
            signal += double(source[i]) * source[i];
            noise += (double(source[i]) - decoded[i]) * (double(source[i]) - decoded[i]);
        }
    return 10 * std::log10(signal / std::max(noise, 1e-20));
}
