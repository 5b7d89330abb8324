// The converter: decoding every kind of source, seeking, encoding as the settings ask, and
// what a write must never do (touch the source, leave a partial output, lose an old one).
#include "engine/converter.h"
#include "engine/encodersettings.h"
#include "engine/engineerror.h"
#include "settings/wmaprofiles.h"
#include "tests/support/fixture.h"
#include "tests/support/readonlymount.h"
#include "tests/support/testenv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Everything a reader delivers, checking on the way that each chunk is whole frames
// and no larger than asked.
QByteArray readAll(Converter &reader, qint64 chunk, bool *wholeFrames = nullptr)
{
    QByteArray all;
    const int unit = reader.GetUnitBytes();
    if (wholeFrames)
        *wholeFrames = true;
    for (;;) {
        const QByteArray data = reader.ReadChunk(chunk);
        if (data.isEmpty())
            break;
        if (wholeFrames && (data.size() % unit != 0 || data.size() > std::max<qint64>(chunk, unit)))
            *wholeFrames = false;
        all += data;
    }
    return all;
}

using Fixture::floats;

double rms(const std::vector<float> &s)
{
    double sum = 0;
    for (float v : s)
        sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

// An encoder's settings and what ffprobe must find in its output. The writer gets every
// format's settings; the output's extension picks the encoder.
struct Encoding
{
    QString output;
    QString shape;
    QString lameHeader = {}; // "Info" for CBR MP3, "Xing" for VBR, "" for the other formats
    double minKbps, maxKbps;
    double slack = 0.03; // seconds the length may be off
    Mp3Settings mp3 = {};
    std::array<int, 3> wav = {44100, 2, 16};            // rate, channels, bits
    std::array<int, 6> ogg = {44100, 2, 128, 0, 0, -1}; // rate, channels, kbps, min, max, quality
    FlacFormat flac = {};
    OpusFormat opus = {};
    M4aFormat m4a = {};
};

} // namespace

class TestConverter : public QObject
{
    Q_OBJECT

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QByteArray m_mp3; // 4 s
    QString m_source; // 3 s, 44.1 kHz, 16-bit stereo
    QString m_short;  // 1 s

private slots:
    void initTestCase()
    {
        m_mp3 = TestEnv::readFile(Fixture::tone(m_dir.path(), "full.mp3", 4));
        m_source = Fixture::tone(m_dir.path(), "song.wav", 3);
        m_short = Fixture::tone(m_dir.path(), "short.wav", 1);
        QVERIFY(!m_mp3.isEmpty() && !m_source.isEmpty() && !m_short.isEmpty());
    }

    // Integer and float samples, codecs with a delay and padding, and a video file's sound.
    void decodesEveryFormat()
    {
        const QStringList video{"-f",       "lavfi", "-i",   "testsrc=size=160x128:rate=25",
                                "-c:v",     "mpeg4", "-c:a", "libmp3lame",
                                "-shortest"};
        for (const auto &[name, args, rate, channels] :
             {std::tuple{"u8.wav", QStringList{"-c:a", "pcm_u8"}, 22050, 1},
              std::tuple{"float.wav", QStringList{"-c:a", "pcm_f32le"}, 44100, 2},
              std::tuple{"a.mp3", QStringList{"-c:a", "libmp3lame", "-b:a", "128k"}, 44100, 2},
              std::tuple{"a.flac", QStringList{"-c:a", "flac"}, 96000, 2},
              std::tuple{"a.m4a", QStringList{"-c:a", "aac", "-b:a", "128k"}, 44100, 2},
              std::tuple{"a.avi", video, 44100, 1}}) {
            const QString path = Fixture::tone(m_dir.path(), name, 2, args, rate, channels);
            QVERIFY2(!path.isEmpty(), "ffmpeg could not make the fixture");

            Converter reader;
            reader.setDecoderThreads(2); // as the program's reader
            reader.OpenRead(path);
            QCOMPARE(reader.GetFormatA(), rate);
            QCOMPARE(reader.GetFormatB(), channels * 4); // float samples

            // Chunks of one second, the program's size, and of an odd byte count.
            bool whole = false;
            const QByteArray all = readAll(reader, qint64(rate) * channels * 4, &whole);
            QVERIFY2(whole, "a chunk was not a whole number of frames or was too large");
            // Codec delay and padding differ; a tenth of a second covers all of them.
            const qint64 frames = all.size() / reader.GetUnitBytes();
            QVERIFY2(std::abs(frames - 2 * rate) < rate / 10,
                     qPrintable(QStringLiteral("%1: %2 frames").arg(name).arg(frames)));
            QVERIFY(std::abs(reader.GetLength() - 2 * rate) < rate / 10);
            QVERIFY(rms(floats(all)) > 0.04); // the tone, not silence

            reader.Seek(0);
            bool oddWhole = false;
            QCOMPARE(readAll(reader, 1001, &oddWhole).size(), all.size());
            QVERIFY(oddWhole);
        }
    }

    // A header alone, missing, an MP3 cut inside its first frames.
    void refusesUnusableSources()
    {
        const QList<std::pair<QString, QByteArray>> cases{
            {"header.wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16)},
            {"missing.mp3", QByteArray()},
            {"stub.mp3", m_mp3.left(300)}};
        for (const auto &[name, content] : cases) {
            const QString path = m_dir.filePath(name);
            if (!content.isNull())
                TestEnv::writeFile(path, content);
            Converter reader;
            QVERIFY_THROWS_EXCEPTION(EngineError, reader.OpenRead(path));
            QVERIFY(reader.GetStatus() < 0 && !reader.lastError().isEmpty());
            QVERIFY_THROWS_EXCEPTION(EngineError, reader.ReadChunk(4096));
            QVERIFY_THROWS_EXCEPTION(EngineError, reader.GetFormatA());
            reader.Close();
            QCOMPARE(reader.GetStatus(), 0);
        }
    }

    void seekLandsOnTheFrame()
    {
        // The file, its encoder, how far from the asked frame a seek may land, decoding threads.
        for (const auto &[name, args, tolerance, threads] :
             {std::tuple{"seek.wav", QStringList{"-c:a", "pcm_s16le"}, 0, 1},
              std::tuple{"seek.mp3", QStringList{"-c:a", "libmp3lame", "-b:a", "128k"}, 1152, 2},
              std::tuple{"seek.flac", QStringList{"-c:a", "flac"}, 0, 2}}) {
            // Noise never repeats, so a stretch of it tells where it came from.
            const QString path = Fixture::make(
                m_dir.path(), name,
                QStringList{"-f", "lavfi", "-i", "anoisesrc=d=6:c=pink:a=0.3:r=44100", "-ac", "2"} +
                    args);
            QVERIFY(!path.isEmpty());

            Converter reader;
            reader.setDecoderThreads(threads);
            reader.OpenRead(path);
            const std::vector<float> all = floats(readAll(reader, 44100 * 8));
            const qint64 total = qint64(all.size()) / 2;

            for (const qint64 target : {qint64(12345), qint64(100000), qint64(200003)}) {
                const qint64 reached = reader.Seek(target);
                QVERIFY(std::abs(reached - target) <= tolerance);
                const std::vector<float> after = floats(reader.ReadChunk(8 * 8192));
                QVERIFY(after.size() >= 2 * 8192);
                // Skip the first codec frames (their decoder has no history yet) and find where
                // the rest matches the full decode.
                const qint64 probe = 4096;
                const qint64 span = 1024;
                qint64 best = -1;
                double bestError = std::numeric_limits<double>::max();
                for (qint64 at = std::max<qint64>(0, target + probe - 2 * 1152);
                     at <= std::min(total - span, target + probe + 2 * 1152); ++at) {
                    double e = 0;
                    for (qint64 i = 0; i < span * 2 && e < bestError; ++i) {
                        const double d = all[size_t(at * 2 + i)] - after[size_t(probe * 2 + i)];
                        e += d * d;
                    }
                    if (e < bestError) {
                        bestError = e;
                        best = at;
                    }
                }
                const qint64 landed = best - probe;
                QVERIFY2(bestError < 1e-3, qPrintable(QString::number(bestError)));
                QVERIFY2(std::abs(landed - target) <= tolerance,
                         qPrintable(QStringLiteral("asked %1, landed %2").arg(target).arg(landed)));
                QVERIFY2(std::abs(landed - reached) <= tolerance,
                         "the position reached is not where decoding goes on");
            }
        }
    }

    void seekPastTheEndAndClose()
    {
        const QString path = Fixture::tone(m_dir.path(), "mono8k.wav", 1, {}, 8000, 1);
        Converter reader;
        reader.OpenRead(path);
        QCOMPARE(reader.GetLength(), 8000);
        QCOMPARE(reader.Seek(20000), 8000);
        QVERIFY(reader.ReadChunk(4000).isEmpty());
        QCOMPARE(reader.Seek(4000), 4000);
        QCOMPARE(readAll(reader, 100000).size(), 4000 * 4);

        // Closed (twice), it holds nothing and refuses to read or write.
        reader.Close();
        reader.Close();
        QCOMPARE(reader.GetLength(), 0);
        QVERIFY_THROWS_EXCEPTION(EngineError, reader.ReadChunk(100));
        QVERIFY_THROWS_EXCEPTION(EngineError, reader.WriteChunk(QByteArray(8, 0)));
    }

    // Each encoder as its settings ask: shape, bit rate, header, length and the tone's level.
    void encodesAsSet()
    {
        const QList<Encoding> rows{
            {"cbr128.mp3", "mp3 44100 2", "Info", 128, 128, 0.08},
            {"vbr.mp3", "mp3 44100 2", "Xing", 32, 96, 0.08, {.VbrMethod = 2}},
            {"insane.mp3", "mp3 44100 2", "Info", 320, 320, 0.08, {.AlternativePreset = 5}},
            {"q0mono.ogg", "vorbis 22050 1", "", 16, 48, 0.03, {}, {}, {22050, 1, 64, 0, 0, 0}},
            {"nominal96.ogg", "vorbis 44100 2", "", 96, 96, 0.03, {}, {}, {44100, 2, 96, 0, 0, -1}},
            {"abr.ogg", "vorbis 48000 2", "", 128, 128, 0.03, {}, {}, {48000, 2, 128, 64, 160, -1}},
            {"24bit.wav", "pcm_s24le 96000 1", "", 2304, 2304, 0.001, {}, {96000, 1, 24}},
            // ADPCM pads its last block (up to about 2000 frames).
            {"3bit.wav", "adpcm_ima_wav 11025 2", "", 88, 89, 0.19, {}, {11025, 2, 3}},
            {.output = "fast24mono.flac",
             .shape = "flac 48000 1",
             .minKbps = 50,
             .maxKbps = 1152,
             .flac = {0, 24, 48000, 1}},
            {.output = "cbr.opus",
             .shape = "opus 48000 1",
             .minKbps = 60,
             .maxKbps = 68,
             .opus = {64, OpusFormat::Mode::Cbr, 1}},
            {.output = "mono.m4a",
             .shape = "aac 22050 1",
             .minKbps = 56,
             .maxKbps = 68,
             .m4a = {64, 22050, 1}}};
        const double level = rms(floats(Fixture::decode(m_source)));
        for (const Encoding &e : rows) {
            const auto [rate, channels, kbps, minKbps, maxKbps, quality] = e.ogg;
            Converter writer;
            writer.SetMp3Settings(e.mp3);
            QVERIFY2(writer.CheckOggFormat(rate, channels, kbps, minKbps, maxKbps),
                     qPrintable(e.output));
            writer.SetOggFormat(rate, channels, kbps, minKbps, maxKbps, qint16(quality));
            writer.SetWavFormat(e.wav[0], e.wav[1], e.wav[2]);
            writer.SetFlacFormat(e.flac);
            writer.SetOpusFormat(e.opus);
            writer.SetM4aFormat(e.m4a);
            const QString out = m_dir.filePath(e.output);
            QCOMPARE(Fixture::convert(writer, m_source, out), QString());

            const QVariantMap p = Fixture::streamInfo(out);
            const double seconds = p.value("format.duration").toDouble();
            const QByteArray head = TestEnv::readFile(out).left(4096);
            const QString header = head.contains("Xing")   ? "Xing"
                                   : head.contains("Info") ? "Info"
                                                           : "";
            // FLAC and Opus streams have no bit rate of their own: the file's says it.
            const double gotKbps =
                p.value("bit_rate", p.value("format.bit_rate")).toDouble() / 1000;
            const double got = rms(floats(Fixture::decode(out)));
            const QString found = QStringLiteral("%1: %2, header '%3', %4 kb/s, %5 s, level %6")
                                      .arg(e.output, Fixture::audioShape(out), header)
                                      .arg(gotKbps)
                                      .arg(seconds)
                                      .arg(got);
            QVERIFY2(Fixture::audioShape(out) == e.shape && header == e.lameHeader,
                     qPrintable(found));
            QVERIFY2(gotKbps >= e.minKbps && gotKbps <= e.maxKbps, qPrintable(found));
            QVERIFY2(std::abs(seconds - 3.0) <= e.slack, qPrintable(found));
            QVERIFY2(std::abs(got - level) < 0.1 * level, qPrintable(found));
        }
    }

    // Every WMA profile's file has its profile's rate: the blocks fill the packets. (The last
    // packet is padded whole: a few seconds at the lowest rate come out larger.)
    void wmaProfilesHaveTheirRate()
    {
        const QString source = Fixture::tone(m_dir.path(), "half.wav", 30, {}, 22050, 1);
        QStringList found;
        bool within = true;
        for (int position = WmaProfiles::First; position <= WmaProfiles::Last; ++position) {
            const int profile = *WmaProfiles::WmaProfileNumbers(position);
            WmaFormat format;
            QVERIFY(WmaFormat::fromProfile(profile, &format));
            Converter writer;
            writer.SetWmaProfile(profile);
            const QString out = m_dir.filePath(QString("profile%1.wma").arg(position));
            QCOMPARE(Fixture::convert(writer, source, out), QString());
            const double kbps = Fixture::streamInfo(out).value("format.bit_rate").toDouble() / 1000;
            within = within && std::abs(kbps / format.bitrate - 1) <= 0.05;
            found << QString("%1: %2 of %3 kbit/s").arg(position).arg(kbps).arg(format.bitrate);
        }
        QVERIFY2(within, qPrintable(found.join(", ")));
    }

    // FLAC keeps every sample of 16- and 24-bit sources at their depth ("as source"), and
    // its STREAMINFO block holds the MD5 of exactly those samples.
    void flacIsLossless()
    {
        const QStringList noise{"-f",  "lavfi", "-i", "anoisesrc=d=2:c=pink:a=0.3:r=96000",
                                "-ac", "2"};
        // The source's arguments, ffmpeg's raw format of the depth, the depth.
        for (const auto &[source, pcm, bits] :
             {std::tuple{QStringList{"-f", "lavfi", "-i", "sine=d=2", "-ac", "2"}, "s16le", 16},
              std::tuple{noise + QStringList{"-c:a", "pcm_s24le"}, "s24le", 24},
              std::tuple{noise + QStringList{"-c:a", "flac", "-sample_fmt", "s32"}, "s24le", 24}}) {
            const QString ext = source.contains("flac") ? ".flac" : ".wav";
            const QString in = Fixture::make(m_dir.path(), "lossless" + ext, source);
            QVERIFY(!in.isEmpty());
            Converter writer;
            const QString out = m_dir.filePath("lossless-out.flac");
            QCOMPARE(Fixture::convert(writer, in, out), QString());

            QCOMPARE(Fixture::streamInfo(out).value("bits_per_raw_sample").toInt(), bits);
            const QByteArray samples = Fixture::decode(in, pcm);
            QVERIFY(samples.size() > 100000);
            QVERIFY(Fixture::decode(out, pcm) == samples);
            // "fLaC", the block header, then STREAMINFO with the MD5 at its 18th byte.
            QCOMPARE(TestEnv::readFile(out).mid(8 + 18, 16).toHex(),
                     QCryptographicHash::hash(samples, QCryptographicHash::Md5).toHex());
        }
    }

    // Opus and M4A mark the encoder's delay and padding, so the decoded output has the
    // source's length (Opus to the sample at 48 kHz, M4A within one AAC frame) and the sound
    // starts where it starts in the source.
    void lossyOutputsAreGapless()
    {
        for (const auto &[output, sourceRate, outRate, lengthSlack, channels] :
             {std::tuple{"gapless.opus", 48000, 48000, 0, 1}, // mono
              std::tuple{"gapless44.opus", 44100, 48000, 0, 2},
              std::tuple{"gapless.m4a", 32000, 32000, 1024, 2}}) {
            // Silence, then a tone from 0.5 s on.
            const QString tone = QStringLiteral("aevalsrc='if(gte(t,0.5),0.5*sin(2*PI*1000*t),0)':"
                                                "s=%1:d=3")
                                     .arg(sourceRate);
            const QString in =
                Fixture::make(m_dir.path(), QString(output) + ".wav",
                              {"-f", "lavfi", "-i", tone, "-ac", QString::number(channels)});
            QVERIFY(!in.isEmpty());
            Converter writer;
            const QString out = m_dir.filePath(output);
            QCOMPARE(Fixture::convert(writer, in, out), QString());
            auto onset = [channels = channels](const std::vector<float> &s) {
                for (size_t i = 0; i < s.size(); i += size_t(channels)) {
                    if (std::abs(s[i]) > 0.25f)
                        return qint64(i) / channels;
                }
                return qint64(-1);
            };
            QCOMPARE(Fixture::audioShape(out).section(' ', 1),
                     QStringLiteral("%1 %2").arg(outRate).arg(channels));
            const std::vector<float> source = floats(Fixture::decode(in));
            const std::vector<float> decoded = floats(Fixture::decode(out));
            const qint64 frames = qint64(decoded.size()) / channels;
            const qint64 expectedOnset = onset(source) * outRate / sourceRate;
            const QString found = QStringLiteral("%4: %1 frames, sound from frame %2 (source: %3)")
                                      .arg(frames)
                                      .arg(onset(decoded))
                                      .arg(expectedOnset)
                                      .arg(output);
            QVERIFY2(std::abs(frames - 3 * outRate) <= lengthSlack, qPrintable(found));
            QVERIFY2(std::abs(onset(decoded) - expectedOnset) <= 32, qPrintable(found));
        }
    }

    // "As source" channels beyond stereo: kept where the encoder has a speaker layout for
    // the count (Opus in Vorbis order), folded to stereo where it has none (AAC and 7).
    void manyChannelsAsSource()
    {
        for (const auto &[output, channels, shape] :
             {std::tuple{"six.flac", 6, "flac 44100 6"},
              std::tuple{"three.opus", 3, "opus 48000 3"}, std::tuple{"six.m4a", 6, "aac 44100 6"},
              std::tuple{"seven.m4a", 7, "aac 44100 2"}}) {
            const QString in =
                Fixture::tone(m_dir.path(), QString(output) + ".wav", 1, {}, 44100, channels);
            Converter writer;
            const QString out = m_dir.filePath(output);
            QCOMPARE(Fixture::convert(writer, in, out), QString());
            QCOMPARE(Fixture::audioShape(out), QString(shape));
        }
    }

    void wav16IsBitExact()
    {
        Converter writer;
        writer.SetWavFormat(44100, 2, 16);
        const QString out = m_dir.filePath("exact.wav");
        QCOMPARE(Fixture::convert(writer, m_source, out), QString());
        const QByteArray a = Fixture::decode(m_source, "s16le");
        QVERIFY(!a.isEmpty());
        QVERIFY(Fixture::decode(out, "s16le") == a);

        // With the format switch off, the source's rate and channels are kept.
        const QString mono = Fixture::tone(m_dir.path(), "mono32k.wav", 1, {}, 32000, 1);
        writer.setConvertFormat(false);
        QCOMPARE(Fixture::convert(writer, mono, out), QString());
        QCOMPARE(Fixture::audioShape(out), QString("pcm_s16le 32000 1"));
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetWmaProfile(7)); // no such profile
    }

    void emptyInputGivesValidFile()
    {
        // MP3, Ogg, Opus and MP4 files without audio frames hold only headers, which ffprobe
        // does not take for a stream; they must exist all the same.
        for (const QString ext : {".mp3", ".ogg", ".wma", ".wav", ".flac", ".opus", ".m4a"}) {
            Converter writer;
            writer.SetInputFormat(44100, 8);
            const QString out = m_dir.filePath("empty" + ext);
            writer.OpenWrite(out);
            writer.Close();
            QVERIFY2(QFileInfo(out).size() > 0, qPrintable(ext));
            QVERIFY2(ext == ".mp3" || ext == ".ogg" || ext == ".opus" || ext == ".m4a" ||
                         Fixture::streamInfo(out).contains("codec_name"),
                     qPrintable(ext));
        }
    }

    // However it is spelled: the same path, through "..", through a link.
    void refusesTheSourceAsOutput()
    {
        QDir(m_dir.path()).mkpath("sub");
        QFile::link(m_source, m_dir.filePath("link.wav"));
        const QByteArray before = TestEnv::readFile(m_source);
        for (const QString spelling : {"song.wav", "sub/../song.wav", "link.wav"}) {
            Converter reader;
            Converter writer;
            writer.SetWavFormat(44100, 2, 16);
            reader.OpenRead(m_source);
            QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.filePath(spelling)));
            QVERIFY_THROWS_EXCEPTION(EngineError, writer.WriteChunk(reader.ReadChunk(44100 * 8)));
            writer.Close();
            QCOMPARE(TestEnv::readFile(m_source), before);
        }
    }

    void fullDiskGivesWholeOutputOrNone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("step"); // bytes of room added per try
        for (const char *ext : {"wav", "mp3", "ogg", "wma"})
            QTest::newRow(ext) << QStringLiteral("full.") + ext
                               << (qstrcmp(ext, "wav") == 0 ? 12 * 1024 : 4096);
    }

    // The disk fills at each point of the write in turn, up to the last buffered bytes: every
    // try either fails and leaves nothing, or gives the whole second.
    void fullDiskGivesWholeOutputOrNone()
    {
        QFETCH(QString, name);
        QFETCH(int, step);
        QTemporaryDir outDir;
        const QString out = outDir.filePath(name);
        int failures = 0;
        for (int room = 4096;; room += step) {
            TmpfsMount disk(outDir.path(), room);
            TWR_SKIP_UNLESS_MOUNTED(disk);
            Converter writer;
            writer.SetWavFormat(44100, 2, 16);
            writer.SetOggFormat(44100, 2, 128, 0, 0, 1000);
            const QString reason = Fixture::convert(writer, m_short, out);
            if (!reason.isEmpty()) {
                QVERIFY2(reason.contains(name), qPrintable(reason));
                QCOMPARE(TestEnv::files(outDir.path()), QStringList());
                ++failures;
                continue;
            }
            const double seconds = Fixture::seconds(out);
            QVERIFY2(
                std::abs(seconds - 1.0) < 0.08,
                qPrintable(QStringLiteral("%1 s with %2 bytes of room").arg(seconds).arg(room)));
            break;
        }
        QVERIFY(failures > 0);
    }

    void onlyCloseKeepsWhatWasWritten()
    {
        const QString out = m_dir.filePath("partial.mp3");
        TestEnv::writeFile(out, "older");
        Converter reader;
        reader.OpenRead(m_source);
        const qint64 n = qint64(reader.GetFormatA()) * reader.GetFormatB();
        const auto twoSeconds = [&](Converter &writer) {
            writer.SetMp3Settings(Mp3Settings{});
            writer.OpenWrite(out);
            writer.SetInputFormat(reader.GetFormatA(), reader.GetFormatB());
            writer.WriteChunk(reader.ReadChunk(n));
            writer.WriteChunk(reader.ReadChunk(n));
        };
        {
            Converter dropped; // destroyed while open
            twoSeconds(dropped);
        }
        Converter writer;
        twoSeconds(writer);
        // The input format cannot change under the encoder.
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetInputFormat(22050, 4));
        writer.Abandon();
        QCOMPARE(TestEnv::readFile(out), QByteArray("older"));

        // The older output stays until the new one is closed, and nothing is left beside it.
        reader.Seek(0);
        twoSeconds(writer);
        QCOMPARE(TestEnv::readFile(out), QByteArray("older"));
        writer.Close();
        QCOMPARE(TestEnv::files(m_dir.path()).filter("partial"), QStringList{"partial.mp3"});
        const double duration = Fixture::seconds(out);
        QVERIFY2(std::abs(duration - 2.0) < 0.08, qPrintable(QString::number(duration)));
    }

    void refusesBadOutputsAndInput()
    {
        Converter writer;
        // Refused before anything is made under the name.
        const auto refuses = [&](const QString &name) {
            QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.filePath(name)));
            QVERIFY2(!QFile::exists(m_dir.filePath(name)), qPrintable(name));
        };
        refuses("x.aiff");
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(m_dir.path()));
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetInputFormat(44100, 6));
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.SetInputFormat(0, 8));
        writer.SetWavFormat(44100, 0, 16); // nothing selected in the options dialog
        refuses("x.wav");
        writer.SetWavFormat(44100, 2, 12);
        refuses("x.wav");
        // A bit rate Vorbis cannot encode, as its check says.
        QVERIFY(!writer.CheckOggFormat(48000, 2, 8, 0, 0));
        writer.SetOggFormat(48000, 2, 8, 0, 0, -1);
        refuses("x.ogg");
        // Values past the new formats' ranges.
        writer.SetFlacFormat({.level = 9});
        writer.SetOpusFormat({.bitrate = 300});
        writer.SetM4aFormat({.bitrate = 20});
        for (const QString name : {"x.flac", "x.opus", "x.m4a"})
            refuses(name);

        QTemporaryDir outDir;
        ReadOnlyMount readOnly(outDir.path());
        TWR_SKIP_UNLESS_MOUNTED(readOnly);
        writer.SetWavFormat(44100, 2, 16);
        QVERIFY_THROWS_EXCEPTION(EngineError, writer.OpenWrite(outDir.filePath("x.wav")));
        QCOMPARE(TestEnv::files(outDir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConverter)
#include "tst_converter.moc"
