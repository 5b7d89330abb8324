#pragma once

#include "engine/encodersettings.h"
#include "engine/mp3settings.h"

#include <QByteArray>
#include <QString>

#include <memory>

// Decodes any file FFmpeg can read into PCM (used as the Reader) and encodes PCM into
// the format an output file's extension names (used as the Writer).
//
// PCM between the two is 32-bit float interleaved, full scale +-1.0. The format pair is
// A = sample rate in Hz and B = bytes per frame (channels x 4), so A x B bytes are one
// second. Lengths and positions count frames; GetUnitBytes() is B.
//
// Failures raise EngineError. One object is used by one thread at a time; different
// objects may work in parallel.
class Converter
{
public:
    // GetStatus() values. Every negative value means the source cannot be used.
    enum Status : int {
        StatusClosed = 0,
        StatusReading = 1,
        StatusWriting = 2,
        StatusCannotOpen = -1, // missing, unreadable or not a media file
        StatusNoAudio = -2,    // a media file without an audio track
        StatusNoDecoder = -3,  // an audio codec that cannot be decoded
        StatusCorrupt = -4,    // no audio could be decoded from the track
    };

    Converter();
    ~Converter();
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Ends the open file. An output is completed and renamed into place; an output
    // whose encoding failed is discarded. Harmless when nothing is open.
    // Close() is the only way an output reaches its name: Abandon() and destruction
    // discard it.
    void Close();
    // Ends the open file without keeping anything: an output's data and temporary file
    // are removed and a file already under its name stays as it was; a source is closed.
    // For failures outside the writer (a read error, a cancel). Never throws; harmless
    // when nothing is open.
    void Abandon() noexcept;

    // Opens a source for decoding. On failure GetStatus() turns negative and an
    // EngineError with the reason is raised (also kept in lastError()).
    void OpenRead(const QString &path);
    int GetStatus() const;
    // Sample rate in Hz and bytes per frame of the open source (of the input set with
    // SetInputFormat when writing). EngineError when neither is known.
    int GetFormatA() const;
    int GetFormatB() const;

    // Prepares the output in the format its extension names (".mp3", ".ogg", ".wma",
    // ".wav", ".flac", ".opus", ".m4a", any case), with that format's settings as set before this
    // call. Data is written to a temporary file in the output folder and only replaces `path` at
    // Close(). A path that is a source open in any Converter is refused, as are unknown
    // extensions and folders that cannot be written.
    void OpenWrite(const QString &path);
    // The pair of the PCM that WriteChunk receives (B a multiple of 4). May be called
    // before or after OpenWrite, but not changed once data was written.
    void SetInputFormat(int a, int b);
    // The depth of the source the incoming PCM was decoded from (see sourceBitDepth()),
    // for a FLAC output whose depth is "as source". Like SetInputFormat, fixed once data
    // was written; 0 (the default) is a source without a depth, written as 16 bits.
    void setSourceBitDepth(int bits);
    // The open source's stored depth in bits (16, 24, 32...); 0 for lossy codecs, whose
    // samples have none, and when no source is open.
    int sourceBitDepth() const;

    // The next decoded bytes, a whole number of frames, at most maxBytes (at least one
    // frame is returned if maxBytes is smaller). Empty only at the end of the source.
    QByteArray ReadChunk(qint64 maxBytes);
    // Encodes and appends whole frames. Any sample is accepted: NaN is written as silence,
    // infinities and values past full scale as full scale. EngineError on an encoding or
    // write failure (full disk...); the output is then discarded at Close() or the next
    // OpenWrite.
    void WriteChunk(const QByteArray &bytes);

    int GetUnitBytes() const;
    // The source's length in frames, as the container tells it (may differ slightly from
    // the frames that ReadChunk delivers; 0 when unknown).
    qint64 GetLength() const;
    // True when GetLength() is only a guess from the bit rate (an MP3 without a frame count).
    bool lengthIsEstimate() const;
    // Damaged parts of the open source skipped so far: packets that could not be decoded
    // (the audio goes on after them, as in a player) and a container that ended early.
    // 0 when writing or closed.
    qint64 damagedParts() const;
    // Continues decoding at `position` frames from the start.
    // Returns the position reached: exact where timestamps allow, else the start of the
    // codec frame found. A position past the end gives the length (ReadChunk then ends).
    qint64 Seek(qint64 position);

    // True exactly when Vorbis can encode this bitrate-managed setting: bitrates in
    // kbit/s, 0 for minimum or maximum meaning none.
    bool CheckOggFormat(int rate, int channels, int bitrate, int minBitrate, int maxBitrate) const;
    // Later ".ogg" outputs: quality -1 is bitrate-managed (nominal/min/max in kbit/s),
    // 0..1000 is Vorbis quality 0.0..10.0 (the bitrates are then ignored).
    void SetOggFormat(int rate, int channels, int bitrate, int minBitrate, int maxBitrate,
                      qint16 quality);
    // Later ".wav" outputs. 8, 16, 24, 32 bits: PCM (8-bit unsigned, the others signed),
    // dithered when the source is finer. 2..5 bits: compressed as IMA ADPCM, whose 4-bit
    // code is the one WAV players decode, at the rate and (one or two) channels asked.
    void SetWavFormat(int rate, int channels, int bitsPerSample);
    // Later ".mp3" outputs use a copy of these values.
    void SetMp3Settings(const Mp3Settings &settings);
    // Later ".wma" outputs (WMA v2 in ASF): profile 36 (voice), 23, 16, 13, 11, 10, 8
    // (192 kbit/s stereo); each maps to the nearest setting the encoder accepts.
    void SetWmaProfile(int profile);
    // Later ".flac" outputs: level 0..8, 16 or 24 bits; 0 as bits, rate or channels keeps
    // the source's (its depth, 24 bits at most). The STREAMINFO block carries the MD5 of
    // the audio.
    void SetFlacFormat(const FlacFormat &format);
    // Later ".opus" outputs (Ogg Opus at 48 kHz): 6..256 kbit/s; 0 channels keeps the
    // source's (8 at most). The decoded file has the source's length: the encoder's delay
    // and its last frame's padding are marked to be cut.
    void SetOpusFormat(const OpusFormat &format);
    // Later ".m4a" outputs (AAC in MP4): 32..320 kbit/s; 0 as rate or channels keeps the
    // source's (the nearest rate AAC has). The encoder's delay is marked in an edit list.
    void SetM4aFormat(const M4aFormat &format);
    // A short description of the format set last, e.g. "MP3 44100 Hz Joint Stereo
    // 128 kbit/s CBR"; "" before any format was set.
    QString FormatString() const;

    // The format switch (default true): the writer resamples and remixes the incoming PCM
    // to the rate and channels of the output settings. When false, the outputs keep the
    // incoming rate and channels (WMA always uses its profile's rate, Opus 48 kHz, M4A
    // the nearest rate AAC has), as FLAC, Opus and M4A also do for "as source" values.
    void setConvertFormat(bool on);
    bool convertFormat() const;

    // The integer property: how many threads FFmpeg may use to decode a source opened
    // afterwards (0 = as many as there are cores). Default 1.
    void setDecoderThreads(int threads);
    int decoderThreads() const;

    // How many encoder instances may encode later outputs at once (default 1). MP3, FLAC
    // and Opus outputs are then cut into blocks that the instances encode in parallel and
    // that are joined into one stream; the other formats always use one instance. `more`,
    // when set, cuts them into blocks even with one instance and is asked as the encoding
    // goes on how many instances may be added now.
    void setEncoderInstances(int instances, std::function<int()> more = {});
    int encoderInstances() const;

    // The reason of the last failure, "" when none since the last open.
    QString lastError() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};
