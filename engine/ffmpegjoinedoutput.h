#pragma once

#include "engine/ffmpegencodersetup.h"
#include "engine/ffmpegpacketencoder.h"

#include <QByteArray>

#include <memory>

class FfmpegMuxer;
class QIODevice;

// The container of a stream that several encoder instances made in blocks: their packets,
// written in order into the setup's container. The stream is described to the container by
// one more instance, opened as the setup asks and never fed.
class FfmpegJoinedOutput
{
public:
    explicit FfmpegJoinedOutput(const FfmpegEncoderSetup &setup);
    ~FfmpegJoinedOutput();

    const FfmpegEncoderSetup &setup() const { return m_setup; }
    const AVCodecContext &codec() const { return m_reference.context(); }
    // Sample frames in each packet of an instance (the last may be shorter).
    int frameSize() const { return m_reference.frameSize(); }

    // Takes over an instance's packet, its times moved by `offset` samples.
    static Ff::Packet kept(AVPacket &packet, qint64 offset);
    // Writes a packet whose times count samples from the stream's start, after the
    // container's header when it is the first. EngineError on failure.
    void write(QIODevice &out, AVPacket &packet);
    // Completes the container; a non-empty `streamHeader` replaces the codec's own header,
    // which the container writes anew.
    void finish(QIODevice &out, const QByteArray &streamHeader = {});

private:
    FfmpegMuxer &muxer(QIODevice &out);

    FfmpegEncoderSetup m_setup;
    FfmpegPacketEncoder m_reference;
    std::unique_ptr<FfmpegMuxer> m_muxer;
    qint64 m_end = 0;
};
