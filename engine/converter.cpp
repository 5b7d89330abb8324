#include "engine/converter.h"

#include "engine/asfpacking.h"
#include "engine/audiodecoder.h"
#include "engine/encodersettings.h"
#include "engine/engineerror.h"
#include "engine/ffmpegencoder.h"
#include "engine/finitesamples.h"
#include "engine/flacsplitcodec.h"
#include "engine/mp3encoder.h"
#include "engine/mp3splitcodec.h"
#include "engine/opensources.h"
#include "engine/opussplitcodec.h"
#include "engine/outputfile.h"
#include "engine/resampler.h"
#include "engine/splitencoder.h"
#include "platform/plainreason.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace {

enum class Mode { Closed, Reading, Writing };
enum class Kind { Mp3, Ogg, Wma, Wav, Flac, Opus, M4a };
enum class LastSet { None, Mp3, Ogg, Wma, Wav, Flac, Opus, M4a };

constexpr int MaxRate = AudioDecoder::MaxRate;
constexpr int MaxChannels = AudioDecoder::MaxChannels;

bool kindOf(const QString &path, Kind *kind)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mp3"))
        *kind = Kind::Mp3;
    else if (suffix == QLatin1String("ogg"))
        *kind = Kind::Ogg;
    else if (suffix == QLatin1String("wma"))
        *kind = Kind::Wma;
    else if (suffix == QLatin1String("wav"))
        *kind = Kind::Wav;
    else if (suffix == QLatin1String("flac"))
        *kind = Kind::Flac;
    else if (suffix == QLatin1String("opus"))
        *kind = Kind::Opus;
    else if (suffix == QLatin1String("m4a"))
        *kind = Kind::M4a;
    else
        return false;
    return true;
}

QString pcmEncoder(int bits)
{
    switch (bits) {
    case 8:
        return QStringLiteral("pcm_u8");
    case 16:
        return QStringLiteral("pcm_s16le");
    case 24:
        return QStringLiteral("pcm_s24le");
    case 32:
        return QStringLiteral("pcm_s32le");
    default:
        return {};
    }
}

// FLAC's depth: the one asked for, else the source's, rounded up to 16 or 24 bits (a source
// without a depth, decoded from a lossy codec, takes 16).
int flacBits(int asked, int sourceBits)
{
    const int bits = asked > 0 ? asked : sourceBits;
    return bits > 16 ? 24 : 16;
}

const char *opusVbr(OpusFormat::Mode mode)
{
    switch (mode) {
    case OpusFormat::Mode::ConstrainedVbr:
        return "constrained";
    case OpusFormat::Mode::Cbr:
        return "off";
    case OpusFormat::Mode::Vbr:
        break;
    }
    return "on";
}

// True for a channel count within a format's limit; 0 (as source) always fits.
bool channelsFit(int channels, int most)
{
    return channels >= 0 && channels <= most;
}

// The channel counts FFmpeg's AAC encoder has a layout for.
bool aacTakes(int channels)
{
    return channels >= 1 && channels <= 8 && channels != 7;
}

// Opus files with more than two channels take the Vorbis speaker order, which the encoder
// insists on.
quint64 vorbisLayout(int channels)
{
    static constexpr std::array<quint64, 8> masks{
        AV_CH_LAYOUT_MONO,    AV_CH_LAYOUT_STEREO,       AV_CH_LAYOUT_SURROUND,
        AV_CH_LAYOUT_QUAD,    AV_CH_LAYOUT_5POINT0_BACK, AV_CH_LAYOUT_5POINT1_BACK,
        AV_CH_LAYOUT_6POINT1, AV_CH_LAYOUT_7POINT1};
    return channels >= 1 && channels <= 8 ? masks[size_t(channels - 1)] : 0;
}

// The codec that encodes this output in blocks on several instances; null where one instance
// encodes it (Vorbis changes its frame lengths, the WMA and AAC encoders give no packet-level
// control, and WAV costs nothing to encode).
std::unique_ptr<SplitCodec> splitCodec(Kind kind, const Mp3Settings &mp3,
                                       const FfmpegEncoderSetup &setup)
{
    switch (kind) {
    case Kind::Mp3:
        return std::make_unique<Mp3SplitCodec>(mp3, setup.rate, setup.channels);
    case Kind::Flac:
        return std::make_unique<FlacSplitCodec>(setup);
    case Kind::Opus:
        return std::make_unique<OpusSplitCodec>(setup);
    case Kind::Ogg:
    case Kind::Wma:
    case Kind::Wav:
    case Kind::M4a:
        break;
    }
    return nullptr;
}

constexpr int OpusRate = 48000;
constexpr int MostFlacRate = 655350;
constexpr int MostCodecChannels = 8; // FLAC, Opus (family 1) and AAC's layouts

} // namespace

class Converter::Private
{
public:
    void validateSettings(Kind kind) const;
    void startEncoder();
    void feed(const float *samples, int frames);
    void encode(const float *samples, int frames);
    EngineError writeError(const EngineError &e) const;
    void closeReader();
    void closeWriter();
    void discardWriter();
    // Ends the open mode: an output is committed under its name or discarded.
    void close(bool commitOutput);

    Mode mode = Mode::Closed;
    int status = StatusClosed;
    bool convertFormat = true;
    int decoderThreads = 1;
    int encoderInstances = 1;
    std::function<int()> moreInstances;
    QString lastError;

    std::unique_ptr<AudioDecoder> decoder;
    QString sourcePath;

    Mp3Settings mp3;
    OggFormat ogg;
    WavFormat wav;
    WmaFormat wma;
    FlacFormat flac;
    OpusFormat opus;
    M4aFormat m4a;
    LastSet lastSet = LastSet::None;

    int inRate = 0;
    int inChannels = 0;
    int sourceBits = 0;
    Kind kind = Kind::Wav;
    QString outputPath;
    bool failed = false;
    QByteArray partial;
    // Declared before the encoder, which writes into it, so that it is destroyed after.
    std::unique_ptr<OutputFile> file;
    std::unique_ptr<Resampler> resampler;
    std::unique_ptr<AudioEncoder> encoder;
    int encoderChannels = 0;
    int encoderRate = 0;
    FiniteSamples finiteIn;
    FiniteSamples finiteOut;
};

void Converter::Private::validateSettings(Kind k) const
{
    switch (k) {
    case Kind::Ogg:
        if (ogg.rate <= 0 || ogg.channels <= 0)
            throw EngineError(QStringLiteral("The OGG format has no valid rate or channels"));
        if (ogg.quality < 0 && !EncoderFormats::vorbisAccepts(ogg.rate, ogg.channels, ogg.bitrate,
                                                              ogg.minBitrate, ogg.maxBitrate))
            throw EngineError(
                QStringLiteral("Vorbis cannot encode %1").arg(EncoderFormats::describe(ogg)));
        break;
    case Kind::Wav:
        if (wav.rate <= 0 || wav.rate > MaxRate || wav.channels <= 0 || wav.channels > MaxChannels)
            throw EngineError(QStringLiteral("The WAV format has no valid rate or channels"));
        if (!wav.adpcm() && pcmEncoder(wav.bitsPerSample).isEmpty())
            throw EngineError(QStringLiteral("WAV with %1 bits per sample is not supported")
                                  .arg(wav.bitsPerSample));
        if (wav.adpcm() && wav.channels > 2)
            throw EngineError(QStringLiteral("ADPCM WAV holds one or two channels"));
        break;
    case Kind::Flac:
        if (flac.level < 0 || flac.level > 8 ||
            (flac.bits != 0 && flac.bits != 16 && flac.bits != 24))
            throw EngineError(QStringLiteral("FLAC takes levels 0 to 8 and 16 or 24 bits, not %1")
                                  .arg(EncoderFormats::describe(flac)));
        if (flac.rate < 0 || flac.rate > MostFlacRate ||
            !channelsFit(flac.channels, MostCodecChannels))
            throw EngineError(QStringLiteral("The FLAC format has no valid rate or channels"));
        break;
    case Kind::Opus:
        if (opus.bitrate < 6 || opus.bitrate > 256)
            throw EngineError(
                QStringLiteral("Opus takes 6 to 256 kbit/s, not %1").arg(opus.bitrate));
        if (!channelsFit(opus.channels, MostCodecChannels))
            throw EngineError(QStringLiteral("The Opus format has no valid channels"));
        break;
    case Kind::M4a:
        if (m4a.bitrate < 32 || m4a.bitrate > 320)
            throw EngineError(
                QStringLiteral("M4A takes 32 to 320 kbit/s, not %1").arg(m4a.bitrate));
        if (m4a.rate < 0 || m4a.rate > MaxRate || (m4a.channels != 0 && !aacTakes(m4a.channels)))
            throw EngineError(QStringLiteral("The M4A format has no valid rate or channels"));
        break;
    case Kind::Mp3:
    case Kind::Wma:
        break;
    }
}

void Converter::Private::startEncoder()
{
    int rate = 0;
    int channels = 0;
    const bool keep = !convertFormat && inRate > 0;
    // "As source" with nothing announced (an empty output) is CD audio.
    const int sourceRate = inRate > 0 ? inRate : 44100;
    const int sourceChannels = inRate > 0 ? inChannels : 2;
    switch (kind) {
    case Kind::Mp3:
        rate = Mp3Encoder::nearestRate(keep ? inRate : mp3.SampleRate);
        channels = keep ? std::min(inChannels, 2) : (mp3.Channels == 1 ? 1 : 2);
        break;
    case Kind::Ogg:
        rate = keep ? inRate : ogg.rate;
        channels = keep ? std::min(inChannels, 8) : ogg.channels;
        break;
    case Kind::Wav:
        rate = keep ? inRate : wav.rate;
        channels = keep ? inChannels : wav.channels;
        if (wav.adpcm())
            channels = std::min(channels, 2);
        break;
    case Kind::Wma:
        rate = wma.rate;
        channels = wma.channels;
        break;
    case Kind::Flac:
        rate = std::min(!keep && flac.rate > 0 ? flac.rate : sourceRate, MostFlacRate);
        channels = std::min(!keep && flac.channels > 0 ? flac.channels : sourceChannels,
                            MostCodecChannels);
        break;
    case Kind::Opus:
        rate = OpusRate;
        channels = std::min(!keep && opus.channels > 0 ? opus.channels : sourceChannels,
                            MostCodecChannels);
        break;
    case Kind::M4a: {
        const QString aac = QStringLiteral("aac");
        rate = FfmpegEncoder::supportedRate(aac, !keep && m4a.rate > 0 ? m4a.rate : sourceRate);
        channels = !keep && m4a.channels > 0 ? m4a.channels : sourceChannels;
        // Counts the AAC encoder has no layout for (7, or more than 8) are folded to stereo.
        if (!aacTakes(channels))
            channels = 2;
        break;
    }
    }
    if (inRate <= 0) {
        // Nothing was announced (an empty output): write the target format as is.
        inRate = rate;
        inChannels = channels;
    }
    if (inRate != rate || inChannels != channels)
        resampler = std::make_unique<Resampler>(inRate, inChannels, rate, channels);

    encoderChannels = channels;
    encoderRate = rate;
    FfmpegEncoderSetup setup;
    setup.rate = rate;
    setup.channels = channels;
    switch (kind) {
    case Kind::Mp3:
        break;
    case Kind::Ogg:
        setup.muxer = QStringLiteral("ogg");
        setup.encoder = QStringLiteral("libvorbis");
        setup.quality = ogg.quality;
        if (ogg.quality < 0) {
            setup.bitRate = qint64(ogg.bitrate) * 1000;
            setup.minRate = qint64(ogg.minBitrate) * 1000;
            setup.maxRate = qint64(ogg.maxBitrate) * 1000;
        }
        break;
    case Kind::Wma:
        setup.muxer = QStringLiteral("asf");
        setup.encoder = QStringLiteral("wmav2");
        {
            const AsfPacking packing = AsfPacking::forRate(wma.bitrate, wma.rate);
            setup.bitRate = packing.encoderBitRate;
            setup.muxerOptions = {{"packet_size", QByteArray::number(packing.packetSize)}};
        }
        break;
    case Kind::Wav:
        setup.muxer = QStringLiteral("wav");
        setup.encoder =
            wav.adpcm() ? QStringLiteral("adpcm_ima_wav") : pcmEncoder(wav.bitsPerSample);
        setup.pcmBits = wav.adpcm() ? 16 : wav.bitsPerSample;
        break;
    case Kind::Flac:
        setup.muxer = QStringLiteral("flac");
        setup.encoder = QStringLiteral("flac");
        setup.pcmBits = flacBits(flac.bits, sourceBits);
        setup.compressionLevel = flac.level;
        break;
    case Kind::Opus:
        setup.muxer = QStringLiteral("ogg");
        setup.encoder = QStringLiteral("libopus");
        setup.bitRate = qint64(opus.bitrate) * 1000;
        setup.options.append(qMakePair(QByteArray("vbr"), QByteArray(opusVbr(opus.mode))));
        setup.layoutMask = vorbisLayout(channels);
        break;
    case Kind::M4a:
        setup.muxer = QStringLiteral("ipod"); // MP4 with the M4A brand
        setup.encoder = QStringLiteral("aac");
        setup.bitRate = qint64(m4a.bitrate) * 1000;
        break;
    }
    if (encoderInstances > 1 || moreInstances) {
        if (std::unique_ptr<SplitCodec> codec = splitCodec(kind, mp3, setup)) {
            encoder = std::make_unique<SplitEncoder>(*file, std::move(codec), channels,
                                                     encoderInstances, moreInstances);
            return;
        }
    }
    if (kind == Kind::Mp3)
        encoder = std::make_unique<Mp3Encoder>(*file, mp3, rate, channels);
    else
        encoder = std::make_unique<FfmpegEncoder>(*file, setup);
}

void Converter::Private::feed(const float *samples, int frames)
{
    // A source at a very low rate grows many times over in resampling (1 Hz to 44.1 kHz):
    // pieces of about a second of output keep the memory bounded whatever the chunk's size.
    constexpr qint64 MaxOutFrames = 65536;
    if (frames <= 0)
        return;
    const int piece = resampler
                          ? int(std::clamp<qint64>(MaxOutFrames * inRate / encoderRate, 1, frames))
                          : frames;
    for (int done = 0; done < frames; done += piece) {
        const int n = std::min(piece, frames - done);
        // Mended before resampling too, or one NaN would spread over its neighbours.
        const float *in = finiteIn.clean(samples + size_t(done) * size_t(inChannels),
                                         size_t(n) * size_t(inChannels));
        if (!resampler) {
            // Nothing between here and the encoder can move a sample out of range again.
            encoder->write(in, n);
            continue;
        }
        int out = 0;
        const float *resampled = resampler->convert(in, n, &out);
        if (out > 0)
            encode(resampled, out);
    }
}

void Converter::Private::encode(const float *samples, int frames)
{
    // Resampling a full-scale block overshoots a little: mended again right at the encoder.
    encoder->write(finiteOut.clean(samples, size_t(frames) * size_t(encoderChannels)), frames);
}

EngineError Converter::Private::writeError(const EngineError &e) const
{
    // The encoders see only their own side of a failed write ("Input/output error"); the
    // file knows the real cause (a full disk).
    if (file && file->error() != QFileDevice::NoError)
        return EngineError(QStringLiteral("Cannot write \"%1\": %2")
                               .arg(outputPath, PlainReason::of(file->errorString())));
    return e;
}

void Converter::Private::closeReader()
{
    decoder.reset();
    OpenSources::remove(sourcePath);
    sourcePath.clear();
}

void Converter::Private::discardWriter()
{
    encoder.reset();
    resampler.reset();
    partial.clear();
    if (file)
        file->discard();
    file.reset();
}

void Converter::Private::closeWriter()
{
    if (failed) {
        // The failure was reported when it happened; nothing of it reaches the output name.
        discardWriter();
        return;
    }
    try {
        if (!encoder)
            startEncoder();
        partial.clear();
        if (resampler) {
            int n = 0;
            const float *tail = resampler->flush(&n);
            if (n > 0)
                encode(tail, n);
        }
        encoder->finish();
        encoder.reset();
        resampler.reset();
        if (OpenSources::contains(outputPath))
            throw EngineError(
                QStringLiteral("\"%1\" is being read and cannot be replaced").arg(outputPath));
        if (!file->commit())
            throw EngineError(QStringLiteral("Cannot write \"%1\": %2")
                                  .arg(outputPath, PlainReason::of(file->errorString())));
        file.reset();
    } catch (const EngineError &e) {
        const EngineError error = writeError(e);
        lastError = error.message();
        discardWriter();
        throw error;
    }
}

Converter::Converter()
    : d(std::make_unique<Private>())
{
}

Converter::~Converter()
{
    // An output nobody closed is unfinished: it never replaces the file under its name.
    Abandon();
}

void Converter::Private::close(bool commitOutput)
{
    const Mode was = mode;
    mode = Mode::Closed;
    status = StatusClosed;
    if (was == Mode::Reading)
        closeReader();
    else if (was == Mode::Writing && commitOutput)
        closeWriter();
    else if (was == Mode::Writing)
        discardWriter();
}

void Converter::Close()
{
    d->close(true);
}

void Converter::Abandon() noexcept
{
    d->close(false);
}

void Converter::OpenRead(const QString &path)
{
    Close();
    d->lastError.clear();
    auto decoder = std::make_unique<AudioDecoder>();
    try {
        decoder->open(path, d->decoderThreads);
    } catch (const AudioDecoder::OpenError &e) {
        switch (e.failure) {
        case AudioDecoder::Failure::CannotOpen:
            d->status = StatusCannotOpen;
            break;
        case AudioDecoder::Failure::NoAudio:
            d->status = StatusNoAudio;
            break;
        case AudioDecoder::Failure::NoDecoder:
            d->status = StatusNoDecoder;
            break;
        case AudioDecoder::Failure::Corrupt:
            d->status = StatusCorrupt;
            break;
        }
        d->lastError = e.message;
        throw EngineError(e.message);
    }
    d->decoder = std::move(decoder);
    d->sourcePath = path;
    OpenSources::add(path);
    d->mode = Mode::Reading;
    d->status = StatusReading;
}

int Converter::GetStatus() const
{
    return d->status;
}

int Converter::GetFormatA() const
{
    if (d->mode == Mode::Reading)
        return d->decoder->sampleRate();
    if (d->inRate > 0)
        return d->inRate;
    throw EngineError(QStringLiteral("No audio format is known"));
}

int Converter::GetFormatB() const
{
    if (d->mode == Mode::Reading)
        return d->decoder->channels() * int(sizeof(float));
    if (d->inChannels > 0)
        return d->inChannels * int(sizeof(float));
    throw EngineError(QStringLiteral("No audio format is known"));
}

void Converter::OpenWrite(const QString &path)
{
    Close();
    d->lastError.clear();
    Kind kind;
    if (!kindOf(path, &kind))
        throw EngineError(QStringLiteral("\"%1\" does not name an output format "
                                         "(.mp3, .ogg, .wma, .wav, .flac, .opus, .m4a)")
                              .arg(QFileInfo(path).fileName()));
    if (OpenSources::contains(path))
        throw EngineError(QStringLiteral("The output \"%1\" is the source file itself").arg(path));
    // A symbolic link under the name is replaced like a file, whatever it points to.
    const QFileInfo existing(path);
    if (existing.isDir() && !existing.isSymLink())
        throw EngineError(QStringLiteral("The output \"%1\" is a folder").arg(path));
    d->validateSettings(kind);

    auto file = std::make_unique<OutputFile>(path);
    if (!file->openTemporary())
        throw EngineError(QStringLiteral("Cannot write \"%1\": %2")
                              .arg(path, PlainReason::of(file->errorString())));
    d->file = std::move(file);
    d->kind = kind;
    d->outputPath = path;
    d->failed = false;
    d->partial.clear();
    d->mode = Mode::Writing;
    d->status = StatusWriting;
}

void Converter::SetInputFormat(int a, int b)
{
    if (a <= 0 || a > MaxRate || b <= 0 || b % int(sizeof(float)) != 0 ||
        b / int(sizeof(float)) > MaxChannels)
        throw EngineError(QStringLiteral("Unsupported input format %1, %2").arg(a).arg(b));
    const int channels = b / int(sizeof(float));
    if (d->encoder && (a != d->inRate || channels != d->inChannels))
        throw EngineError(QStringLiteral("The input format cannot change within a file"));
    d->inRate = a;
    d->inChannels = channels;
}

void Converter::setSourceBitDepth(int bits)
{
    if (d->encoder && bits != d->sourceBits)
        throw EngineError(QStringLiteral("The source's depth cannot change within a file"));
    d->sourceBits = std::max(0, bits);
}

int Converter::sourceBitDepth() const
{
    return d->mode == Mode::Reading ? d->decoder->bitsPerSample() : 0;
}

QByteArray Converter::ReadChunk(qint64 maxBytes)
{
    if (d->mode != Mode::Reading)
        throw EngineError(QStringLiteral("No source is open"));
    try {
        return d->decoder->read(maxBytes / (d->decoder->channels() * qint64(sizeof(float))));
    } catch (const EngineError &e) {
        d->lastError = e.message();
        throw;
    }
}

void Converter::WriteChunk(const QByteArray &bytes)
{
    if (d->mode != Mode::Writing)
        throw EngineError(QStringLiteral("No output is open"));
    if (d->failed)
        throw EngineError(d->lastError);
    try {
        if (!d->encoder) {
            if (d->inRate <= 0)
                throw EngineError(QStringLiteral("The input format was not set"));
            d->startEncoder();
        }
        const qint64 frameBytes = qint64(d->inChannels) * qint64(sizeof(float));
        if (d->partial.isEmpty() && bytes.size() % frameBytes == 0) {
            d->feed(reinterpret_cast<const float *>(bytes.constData()),
                    int(bytes.size() / frameBytes));
        } else {
            // Frames split across chunks are joined first.
            d->partial += bytes;
            const qint64 whole = d->partial.size() / frameBytes;
            if (whole > 0)
                d->feed(reinterpret_cast<const float *>(d->partial.constData()), int(whole));
            d->partial.remove(0, whole * frameBytes);
        }
        if (d->file->error() != QFileDevice::NoError)
            throw EngineError(QStringLiteral("Cannot write \"%1\": %2")
                                  .arg(d->outputPath, PlainReason::of(d->file->errorString())));
    } catch (const EngineError &e) {
        const EngineError error = d->writeError(e);
        d->failed = true;
        d->lastError = error.message();
        throw error;
    }
}

int Converter::GetUnitBytes() const
{
    if (d->mode == Mode::Reading)
        return d->decoder->channels() * int(sizeof(float));
    return d->inChannels * int(sizeof(float));
}

qint64 Converter::damagedParts() const
{
    return d->mode == Mode::Reading ? d->decoder->damagedParts() : 0;
}

qint64 Converter::GetLength() const
{
    return d->mode == Mode::Reading ? d->decoder->length() : 0;
}

bool Converter::lengthIsEstimate() const
{
    return d->mode == Mode::Reading && d->decoder->lengthIsEstimate();
}

qint64 Converter::Seek(qint64 position)
{
    if (d->mode != Mode::Reading)
        throw EngineError(QStringLiteral("No source is open"));
    return d->decoder->seek(position);
}

bool Converter::CheckOggFormat(int rate, int channels, int bitrate, int minBitrate,
                               int maxBitrate) const
{
    return EncoderFormats::vorbisAccepts(rate, channels, bitrate, minBitrate, maxBitrate);
}

void Converter::SetOggFormat(int rate, int channels, int bitrate, int minBitrate, int maxBitrate,
                             qint16 quality)
{
    d->ogg = OggFormat{rate,       channels,   bitrate,
                       minBitrate, maxBitrate, quality < 0 ? -1 : std::min<int>(quality, 1000)};
    d->lastSet = LastSet::Ogg;
}

void Converter::SetWavFormat(int rate, int channels, int bitsPerSample)
{
    d->wav = WavFormat{rate, channels, bitsPerSample};
    d->lastSet = LastSet::Wav;
}

void Converter::SetMp3Settings(const Mp3Settings &settings)
{
    d->mp3 = settings;
    d->lastSet = LastSet::Mp3;
}

void Converter::SetWmaProfile(int profile)
{
    WmaFormat format;
    if (!WmaFormat::fromProfile(profile, &format))
        throw EngineError(QStringLiteral("Unknown WMA profile %1").arg(profile));
    d->wma = format;
    d->lastSet = LastSet::Wma;
}

void Converter::SetFlacFormat(const FlacFormat &format)
{
    d->flac = format;
    d->lastSet = LastSet::Flac;
}

void Converter::SetOpusFormat(const OpusFormat &format)
{
    d->opus = format;
    d->lastSet = LastSet::Opus;
}

void Converter::SetM4aFormat(const M4aFormat &format)
{
    d->m4a = format;
    d->lastSet = LastSet::M4a;
}

QString Converter::FormatString() const
{
    switch (d->lastSet) {
    case LastSet::Mp3:
        return EncoderFormats::describe(d->mp3);
    case LastSet::Ogg:
        return EncoderFormats::describe(d->ogg);
    case LastSet::Wav:
        return EncoderFormats::describe(d->wav);
    case LastSet::Wma:
        return EncoderFormats::describe(d->wma);
    case LastSet::Flac:
        return EncoderFormats::describe(d->flac);
    case LastSet::Opus:
        return EncoderFormats::describe(d->opus);
    case LastSet::M4a:
        return EncoderFormats::describe(d->m4a);
    case LastSet::None:
        break;
    }
    return {};
}

void Converter::setConvertFormat(bool on)
{
    d->convertFormat = on;
}

bool Converter::convertFormat() const
{
    return d->convertFormat;
}

void Converter::setDecoderThreads(int threads)
{
    d->decoderThreads = std::max(0, threads);
}

void Converter::setEncoderInstances(int instances, std::function<int()> more)
{
    d->encoderInstances = std::max(1, instances);
    d->moreInstances = std::move(more);
}

int Converter::encoderInstances() const
{
    return d->encoderInstances;
}

int Converter::decoderThreads() const
{
    return d->decoderThreads;
}

QString Converter::lastError() const
{
    return d->lastError;
}
