// The engine on arbitrary bytes: the first byte picks the container name the file is
// opened under (.mp3 .ogg .wav .wma .flac .m4a) and the output format of the writer that
// the decoded audio is fed to. Whatever the source holds, decoding ends without a crash and
// the encoder accepts every decoded sample.
#include "engine/converter.h"
#include "engine/engineerror.h"
#include "fuzz/fuzzsupport.h"

#include <algorithm>
#include <cstdio>

using FuzzSupport::check;

namespace {

constexpr qint64 MaxFrames = 4 * 48000; // enough to reach damage, little enough to stay fast
// About a second is encoded: counted in seconds, since a source at 1 Hz resampled to
// 44.1 kHz makes 44,100 output frames of every input frame.
constexpr qint64 EncodedSeconds = 1;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *outputs[] = {".mp3", ".wma", ".ogg", ".wav"};
    const QString output =
        FuzzSupport::folder() + QStringLiteral("/out") + QLatin1String(outputs[(data[0] / 6) % 4]);
    const QString source = FuzzSupport::writeUnderPickedName(QStringLiteral("input"), data, size);

    Converter reader;
    try {
        reader.OpenRead(source);
    } catch (const EngineError &e) {
        check(reader.GetStatus() < 0, "a refused source has a negative status");
        check(!e.message().isEmpty(), "a refused source says why");
        return 0;
    }
    const int a = reader.GetFormatA();
    const int b = reader.GetFormatB();
    check(a > 0 && b > 0 && b % 4 == 0, "an open source has a usable format");
    check(reader.GetLength() >= 0, "the length is never negative");

    Converter writer;
    writer.SetWavFormat(44100, 2, 16);
    writer.SetOggFormat(44100, 2, 128, 0, 0, -1);
    writer.SetWmaProfile(8);
    Mp3Settings mp3;
    writer.SetMp3Settings(mp3);
    writer.OpenWrite(output);
    writer.SetInputFormat(a, b);

    qint64 frames = 0;
    bool seeked = false;
    while (frames < MaxFrames) {
        QByteArray chunk;
        try {
            chunk = reader.ReadChunk(qint64(4096) * b);
        } catch (const EngineError &) {
            break;
        }
        if (chunk.isEmpty())
            break;
        check(chunk.size() % b == 0, "chunks hold whole frames");
        if (const qint64 room = EncodedSeconds * a - frames; room > 0) {
            try {
                writer.WriteChunk(chunk.left(int(std::min<qint64>(room * b, chunk.size()))));
            } catch (const EngineError &e) {
                std::fprintf(stderr, "%s\n", qPrintable(e.message()));
                check(false, "the encoder accepts every decoded sample");
            }
        }
        frames += chunk.size() / b;
        if (!seeked && frames > 8192) {
            seeked = true;
            try {
                reader.Seek(frames / 2);
            } catch (const EngineError &) {
            }
        }
    }
    writer.Abandon();
    reader.Close();
    return 0;
}
