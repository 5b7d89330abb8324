#pragma once

#include "engine/ffmpeghandles.h"

#include <QByteArray>
#include <QString>

// Decodes the audio track of a media file into 32-bit float interleaved PCM at the
// track's own rate and channel count, one codec frame at a time.
class AudioDecoder
{
public:
    enum class Failure { CannotOpen, NoAudio, NoDecoder, Corrupt };
    // The largest rate and channel count a source may have; a file that claims more is
    // refused as damaged.
    static constexpr int MaxRate = 768000;
    static constexpr int MaxChannels = 64;
    // Raised by open().
    struct OpenError
    {
        Failure failure;
        QString message;
    };

    AudioDecoder() = default;
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder &) = delete;
    AudioDecoder &operator=(const AudioDecoder &) = delete;

    // threads: FFmpeg decoding threads, 0 = automatic.
    void open(const QString &path, int threads);

    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }
    qint64 length() const { return m_length; }
    // True when the length is a guess from the bit rate (an MP3 without a frame count).
    bool lengthIsEstimate() const { return m_lengthIsEstimate; }
    // The depth the track stores its samples with (16, 24, 32...); 0 for lossy codecs,
    // whose samples have none.
    int bitsPerSample() const { return m_bits; }

    // At most maxFrames frames (at least one); empty only at the end of the track.
    QByteArray read(qint64 maxFrames);
    // Continues at `frame`; returns the frame reached.
    qint64 seek(qint64 frame);

    // Damaged parts skipped so far (undecodable packets, a container cut short).
    qint64 damagedParts() const { return m_damaged; }

private:
    bool decodeNext();
    void skipDamage(int rc);
    void noteGap();
    static bool isReadDamage(int rc);
    bool readFailed() const;

    static constexpr int MaxFailuresInARow = 2000;
    int outputBound() const;
    int convertFrame(uint8_t *dest);
    void keepInPending(qint64 skipFrames);

    Ff::Input m_format;
    Ff::Codec m_codec;
    Ff::Frame m_frame;
    Ff::Packet m_packet;
    Ff::Swr m_swr;
    AVChannelLayout m_layout{};
    int m_swrInFormat = -1;
    int m_swrInRate = 0;
    AVChannelLayout m_swrInLayout{};
    int m_stream = -1;
    int m_rate = 0;
    int m_channels = 0;
    qint64 m_length = 0;
    bool m_lengthIsEstimate = false;
    int m_bits = 0;
    qint64 m_startTime = 0;
    bool m_inputEnded = false;
    bool m_haveFrame = false;
    bool m_atEnd = false;
    QByteArray m_pending;
    qint64 m_pendingFrames = 0;
    qint64 m_pendingOffset = 0;
    qint64 m_damaged = 0;
    int m_failedInARow = 0;
    qint64 m_nextStart = -1; // where the next frame should start, in its rate's samples
    qint64 m_jumpedTo = -1;  // where the next frame starts if the last one's jump ahead was a gap
};
