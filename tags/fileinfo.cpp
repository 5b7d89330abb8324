#include "tags/fileinfo.h"

#include "engine/engineerror.h"
#include "engine/ffmpeghandles.h"
#include "engine/temporaryfiles.h"
#include "engine/temporaryname.h"
#include "platform/plainreason.h"
#include "tags/id3v2tagsize.h"
#include "tags/streamedpictures.h"
#include "tags/tagextras.h"
#include "tags/tagfields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, 0, std::numeric_limits<int>::max()));
}

struct FormatCloser
{
    void operator()(AVFormatContext *ctx) const { avformat_close_input(&ctx); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;

struct PacketFree
{
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

// Without a Xing/VBR header FFmpeg guesses an MPEG audio file's length from the first frame's
// bit rate. That holds for constant bit rate files; compare frames from a few places to see.
bool looksConstantBitrate(AVFormatContext *ctx, int streamIndex, qint64 fileSize)
{
    PacketPtr pkt(av_packet_alloc());
    int reference = -1;
    for (const double where : {0.0, 0.33, 0.66}) {
        if (where > 0 && av_seek_frame(ctx, streamIndex, qint64(fileSize * where),
                                       AVSEEK_FLAG_BYTE | AVSEEK_FLAG_ANY) < 0)
            break;
        for (int n = 0; n < 12 && av_read_frame(ctx, pkt.get()) >= 0;) {
            const bool ours = pkt->stream_index == streamIndex;
            const int size = pkt->size;
            av_packet_unref(pkt.get());
            if (!ours || (where > 0 && n++ == 0)) // the first frame after a byte seek may be cut
                continue;
            ++n;
            if (reference < 0)
                reference = size;
            else if (std::abs(size - reference) > 1) // one padding byte is allowed
                return false;
        }
    }
    return true;
}

// Counts the samples of an MPEG audio file by walking its frame headers, reading the file in
// large pieces: far quicker than demuxing. Returns -1 when the walk breaks off inside the
// audio (damaged data), so the caller demuxes instead.
qint64 walkMpegFrames(const QString &path, qint64 fileSize, int sampleRate)
{
    static const int bitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static const int rates[4][3] = {
        {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

    struct Frame
    {
        int bytes = 0;
        int samples = 0;
    };
    auto parse = [&](const uchar *h) -> Frame {
        if (h[0] != 0xff || (h[1] & 0xe0) != 0xe0)
            return {};
        const int version = (h[1] >> 3) & 3;     // 0: 2.5, 2: 2, 3: 1
        const int layer = 4 - ((h[1] >> 1) & 3); // 1..3; 4 is reserved
        const int bitrateIndex = h[2] >> 4;
        const int rateIndex = (h[2] >> 2) & 3;
        if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 ||
            rateIndex == 3 || rates[version][rateIndex] != sampleRate)
            return {};
        const int bitrate = bitrates[version == 3 ? 0 : 1][layer - 1][bitrateIndex] * 1000;
        const int padding = (h[2] >> 1) & 1;
        if (layer == 1)
            return {(12 * bitrate / sampleRate + padding) * 4, 384};
        const bool half = layer == 3 && version != 3;
        return {(half ? 72 : 144) * bitrate / sampleRate + padding, half ? 576 : 1152};
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // The audio starts after an ID3v2 block; the first frame is one followed by another.
    qint64 pos = id3v2TagSize(file.read(10));
    if (!file.seek(pos))
        return -1;
    const QByteArray probe = file.read(65536 + 4096);
    const auto *p = reinterpret_cast<const uchar *>(probe.constData());
    qsizetype first = -1;
    for (qsizetype i = 0; i + 4 <= probe.size() && i < 65536; ++i) {
        const Frame f = parse(p + i);
        if (f.bytes > 0 && i + f.bytes + 4 <= probe.size() && parse(p + i + f.bytes).bytes > 0) {
            first = i;
            break;
        }
    }
    if (first < 0)
        return -1;
    pos += first;
    // A Xing/Info/VBRI frame describes the stream and holds no audio.
    const QByteArray firstFrame = probe.mid(first, 64);
    const bool infoFrame =
        firstFrame.contains("Xing") || firstFrame.contains("Info") || firstFrame.contains("VBRI");
    qint64 samples = infoFrame ? -parse(p + first).samples : 0;

    constexpr qint64 Piece = 1 << 20;
    QByteArray buffer;
    qint64 bufferStart = 0;
    while (pos + 4 <= fileSize) {
        if (pos < bufferStart || pos + 4 > bufferStart + buffer.size()) {
            if (!file.seek(pos))
                return -1;
            buffer = file.read(Piece);
            bufferStart = pos;
            if (buffer.size() < 4)
                break;
        }
        const Frame f =
            parse(reinterpret_cast<const uchar *>(buffer.constData()) + (pos - bufferStart));
        if (f.bytes <= 0) {
            // Only tags may follow the last frame (ID3v1, APE, Lyrics3).
            return fileSize - pos <= 128 + 32 * 1024 ? std::max<qint64>(samples, 0) : -1;
        }
        samples += f.samples;
        pos += f.bytes;
    }
    return std::max<qint64>(samples, 0);
}

// Sums the frames' durations, in the stream's time base; past a bound the rest is
// extrapolated from the bytes read.
qint64 scanDuration(AVFormatContext *ctx, int streamIndex, qint64 fileSize)
{
    constexpr int MaxPackets = 200000; // about an hour and a half of MP3 at 44.1 kHz
    if (av_seek_frame(ctx, streamIndex, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_ANY) < 0)
        return -1;
    PacketPtr pkt(av_packet_alloc());
    qint64 total = 0;
    qint64 firstPos = -1;
    qint64 endPos = 0;
    int count = 0;
    while (count < MaxPackets && av_read_frame(ctx, pkt.get()) >= 0) {
        if (pkt->stream_index == streamIndex && pkt->duration > 0) {
            total += pkt->duration;
            ++count;
            if (pkt->pos >= 0) {
                if (firstPos < 0)
                    firstPos = pkt->pos;
                endPos = pkt->pos + pkt->size;
            }
        }
        av_packet_unref(pkt.get());
    }
    if (count == MaxPackets && firstPos >= 0 && endPos > firstPos)
        total = qint64(double(total) * double(fileSize - firstPos) / double(endPos - firstPos));
    return count > 0 ? total : -1;
}

// Whether the container's header already told everything (WAV, FLAC...): then the costly
// look at the first packets is skipped. MPEG audio always gets it, for its bit rate checks.
bool headerIsComplete(AVFormatContext *ctx)
{
    if (ctx->nb_streams != 1)
        return false;
    const AVStream *st = ctx->streams[0];
    const AVCodecParameters *par = st->codecpar;
    return par->codec_type == AVMEDIA_TYPE_AUDIO && par->codec_id != AV_CODEC_ID_NONE &&
           par->codec_id != AV_CODEC_ID_MP1 && par->codec_id != AV_CODEC_ID_MP2 &&
           par->codec_id != AV_CODEC_ID_MP3 && par->sample_rate > 0 &&
           par->ch_layout.nb_channels > 0 && st->duration != AV_NOPTS_VALUE && st->duration > 0;
}

QString describe(const AVCodecParameters *par, qint64 bitrate)
{
    const AVCodecDescriptor *desc = avcodec_descriptor_get(par->codec_id);
    QString text = desc ? QString::fromUtf8(desc->long_name ? desc->long_name : desc->name)
                        : QStringLiteral("Unknown");
    text += QStringLiteral(", %1 Hz").arg(par->sample_rate);
    char layout[64] = {};
    if (av_channel_layout_describe(&par->ch_layout, layout, sizeof layout) > 0)
        text += QStringLiteral(", ") + QString::fromUtf8(layout);
    if (bitrate > 0)
        text += QStringLiteral(", %1 kbps").arg((bitrate + 500) / 1000);
    return text;
}

} // namespace

FileInfo::FileInfo() = default;
FileInfo::~FileInfo() = default;

int FileInfo::GetDuration() const
{
    return clampToInt(m_durationMs);
}
int FileInfo::GetFileSize() const
{
    return clampToInt(m_fileSize);
}
int FileInfo::Samples() const
{
    return clampToInt(m_samples);
}

void FileInfo::clearTag()
{
    static_cast<TagFields &>(*this) = TagFields{};
}

void FileInfo::clearProperties()
{
    m_isAudio = false;
    m_formatString.clear();
    m_frequency = m_bitrate = m_channels = m_bitsPerSample = m_formatTag = 0;
    m_durationMs = m_fileSize = m_samples = 0;
}

void FileInfo::readProperties(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return;
    m_fileSize = file.size();
    if (m_fileSize <= 0)
        return;

    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return;
    FormatPtr ctx(raw);
    Ff::skipPictures(raw);
    if (!headerIsComplete(ctx.get()) && avformat_find_stream_info(ctx.get(), nullptr) < 0)
        return;
    const int index = av_find_best_stream(ctx.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0)
        return;
    AVStream *st = ctx->streams[index];
    const AVCodecParameters *par = st->codecpar;
    if (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0)
        return;

    // Length in the stream's time base, or the container's in microseconds.
    AVRational base = st->time_base;
    qint64 length = st->duration;
    if (length == AV_NOPTS_VALUE || length <= 0) {
        base = AV_TIME_BASE_Q;
        length = ctx->duration != AV_NOPTS_VALUE ? ctx->duration : 0;
    }
    qint64 bitrate = par->bit_rate > 0 ? par->bit_rate : ctx->bit_rate;

    const bool mpegAudio = par->codec_id == AV_CODEC_ID_MP3 || par->codec_id == AV_CODEC_ID_MP2 ||
                           par->codec_id == AV_CODEC_ID_MP1;
    if (mpegAudio && length > 0) {
        const double seconds = double(length) * av_q2d(base);
        // A header that promises more frames than the file holds: the file was cut short.
        const bool truncated = bitrate > 0 &&
                               ctx->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE &&
                               double(m_fileSize) < 0.9 * seconds * double(bitrate) / 8.0;
        const bool guessed = ctx->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE &&
                             !looksConstantBitrate(ctx.get(), index, m_fileSize);
        if (truncated || guessed) {
            qint64 scanned = walkMpegFrames(path, m_fileSize, par->sample_rate);
            AVRational scannedBase{1, par->sample_rate};
            if (scanned <= 0) {
                scanned = scanDuration(ctx.get(), index, m_fileSize);
                scannedBase = st->time_base;
            }
            if (scanned > 0) {
                length = scanned;
                base = scannedBase;
                bitrate = qint64(double(m_fileSize) * 8.0 / (double(length) * av_q2d(base)));
            }
        }
    }

    m_isAudio = true;
    m_frequency = par->sample_rate;
    m_channels = par->ch_layout.nb_channels;
    m_durationMs =
        length > 0 ? av_rescale_q_rnd(length, base, AVRational{1, 1000}, AV_ROUND_NEAR_INF) : 0;
    m_samples = length > 0 ? av_rescale_q_rnd(length, base, AVRational{1, par->sample_rate},
                                              AV_ROUND_NEAR_INF)
                           : 0;
    if (bitrate <= 0 && m_durationMs > 0)
        bitrate = m_fileSize * 8000 / m_durationMs;
    m_bitrate = clampToInt(bitrate);
    m_bitsPerSample = par->bits_per_coded_sample > 0 ? par->bits_per_coded_sample
                                                     : std::max(par->bits_per_raw_sample, 0);
    const AVCodecTag *const riff[] = {avformat_get_riff_audio_tags(), nullptr};
    m_formatTag = int(av_codec_get_tag(riff, par->codec_id));
    if (m_formatTag == 0 && par->codec_tag <= 0xffff)
        m_formatTag = int(par->codec_tag);
    m_formatString = describe(par, bitrate);
}

void FileInfo::Load(const QString &path)
{
    m_path = path;
    clearProperties();
    clearTag();
    readProperties(path);
    if (!m_isAudio)
        return;
    try {
        static_cast<TagFields &>(*this) = TagIO::read(path, TagVersion);
    } catch (const EngineError &) {
        clearTag(); // a file without a readable tag reads as an empty one
    }
}

void FileInfo::LoadProperties(const QString &path)
{
    m_path = path;
    clearProperties();
    clearTag();
    readProperties(path);
}

namespace {

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw EngineError(
        QStringLiteral("Cannot save the tag of \"%1\": %2").arg(QFileInfo(path).fileName(), why));
}

// Writes straight to the descriptor: a buffered short write would hide why it stopped (a full
// disk is the usual reason, and the user should read that).
void copyContents(QFile &from, QFile &to, const QString &path)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const qint64 n = from.read(buffer.data(), qint64(buffer.size()));
        if (n < 0)
            refuse(path, PlainReason::of(from.errorString()));
        if (n == 0)
            break;
        for (qint64 done = 0; done < n;) {
            const ssize_t written = ::write(to.handle(), buffer.data() + done, size_t(n - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                refuse(path, QStringLiteral("its working copy could not be written: ") +
                                 PlainReason::of(errno));
            done += written;
        }
    }
}

bool sameAudio(const FileInfo &before, const FileInfo &after)
{
    // Durations estimated from the file's size may move a little with the tag's size.
    const qint64 slack = std::max<qint64>(1000, before.durationMs() / 100);
    return after.isAudio() && after.Frequency() == before.Frequency() &&
           after.Channels() == before.Channels() && after.FormatTag() == before.FormatTag() &&
           std::abs(after.durationMs() - before.durationMs()) <= slack;
}

} // namespace

void FileInfo::SaveTag(const QString &path)
{
    const TagFields f = *this;
    const int version = TagVersion;
    replaceTagged(path, [&](const QString &copy) { TagIO::write(copy, version, f, path); });
}

void FileInfo::SaveAllTags(const QString &path)
{
    SaveAllTags(path, {}, PictureCopy::Leave);
}

QStringList FileInfo::SaveAllTags(const QString &path, const QString &extrasFrom,
                                  PictureCopy pictures)
{
    const TagFields f = *this;
    QStringList lost;
    std::vector<TagPicture> streamed;
    replaceTagged(
        path,
        [&](const QString &copy) {
            TagIO::write(copy, 2, f, path);
            if (TagIO::keepsId3v1(copy))
                TagIO::write(copy, 1, f, path);
            if (extrasFrom.isEmpty())
                return;
            TagExtras::Copied copied = TagExtras::copy(extrasFrom, copy, path, pictures);
            lost = copied.lost;
            streamed = std::move(copied.streamLater);
        },
        [&](const QString &copy) { StreamedPictures::replaceStandIns(copy, streamed, path); });
    return lost;
}

void FileInfo::replaceTagged(const QString &path,
                             const std::function<void(const QString &copy)> &write,
                             const std::function<void(const QString &copy)> &stream)
{
    const QFileInfo info(path);
    if (!info.isFile())
        refuse(path, QStringLiteral("the file does not exist"));
    // Through a symbolic link to the file itself, so the link stays a link.
    const QString target = info.canonicalFilePath();
    const QFile::Permissions permissions = QFile::permissions(target);
    const auto writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!QFileInfo(target).isWritable() || !(permissions & writeBits))
        refuse(path, QStringLiteral("the file is read-only"));

    // Only an audio file gets a tag: a text file named .mp3 stays a text file.
    FileInfo probe;
    probe.readProperties(target);
    if (!probe.isAudio())
        refuse(path, QStringLiteral("not an audio file"));

    QFile original(target);
    if (!original.open(QIODevice::ReadOnly))
        refuse(path, PlainReason::of(original.errorString()));

    // Tag a copy beside the original, then rename it over: a failure at any point leaves the
    // original as it was.
    const QFileInfo real(target);
    // Forgotten only after the copy is removed (declared before it).
    QByteArray kept;
    const auto forgetCopy = qScopeGuard([&] { TemporaryFiles::forget(kept); });
    // The tag library knows the format by the ending, which stays; the base is cut to fit.
    QTemporaryFile copy(TemporaryName::beside(real.absolutePath(),
                                              QStringLiteral(".") + real.completeBaseName(),
                                              QStringLiteral(".XXXXXX.") + real.suffix()));
    kept = TemporaryFiles::make(
        [&] { return copy.open() ? QFile::encodeName(copy.fileName()) : QByteArray(); });
    if (kept.isEmpty())
        refuse(path, QStringLiteral("no temporary file can be made in its folder: ") +
                         PlainReason::of(copy.errorString()));
    copyContents(original, copy, path);
    original.close();

    write(copy.fileName());

    // The copy takes the original's place only when its audio is what it was (a damaged tag
    // header or container can make the tag library cut audio away as tag) and its tag reads.
    FileInfo written;
    written.readProperties(copy.fileName());
    if (!sameAudio(probe, written))
        refuse(path, QStringLiteral("saving the tag would damage its audio"));
    try {
        TagIO::read(copy.fileName(), 2);
    } catch (const EngineError &) {
        refuse(path, QStringLiteral("the saved tag cannot be read back"));
    }

    if (stream)
        stream(copy.fileName());

    // Opened anew by name: a writer that streams the file may have put a new one there.
    copy.close();
    QFile done(copy.fileName());
    if (!done.open(QIODevice::ReadOnly))
        refuse(path, PlainReason::of(done.errorString()));
    if (::fsync(done.handle()) != 0)
        refuse(path, PlainReason::of(errno));
    done.setPermissions(permissions);
    struct stat st = {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) [[maybe_unused]]
        const int ignored = ::fchown(done.handle(), st.st_uid, st.st_gid);
    done.close();
    if (const int error = TemporaryFiles::renameInto(kept, QFile::encodeName(target)))
        refuse(path, PlainReason::of(error));
    copy.setAutoRemove(false);
}

QString FileInfo::GenreName(int genre)
{
    return Genres::name(genre);
}
int FileInfo::GenreNumber(const QString &name)
{
    return Genres::number(name);
}
