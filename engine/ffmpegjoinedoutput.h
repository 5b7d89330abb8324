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
    // A packet kept from an instance; times count samples from the stream's start.
    struct Packet
    {
        QByteArray data;
        qint64 pts = 0;
        qint64 duration = 0;
    };

    explicit FfmpegJoinedOutput(const FfmpegEncoderSetup &setup);
    ~FfmpegJoinedOutput();

    const FfmpegEncoderSetup &setup() const { return m_setup; }
    const AVCodecContext &codec() const { return m_reference.context(); }
    // Sample frames in each packet of an instance (the last may be shorter).
    int frameSize() const { return m_reference.frameSize(); }

    // The packet as kept: its data, and its times moved by `offset` samples.
    static Packet kept(const AVPacket &packet, qint64 offset);
    // Writes the container's header before the first packet. EngineError on failure.
    void write(QIODevice &out, const Packet &packet);
    // Completes the container; a non-empty `streamHeader` replaces the codec's own header,
    // which the container writes anew.
    void finish(QIODevice &out, const QByteArray &streamHeader = {});

private:
    FfmpegMuxer &muxer(QIODevice &out);

    FfmpegEncoderSetup m_setup;
    FfmpegPacketEncoder m_reference;
    std::unique_ptr<FfmpegMuxer> m_muxer;
    Ff::Packet m_packet;
    qint64 m_end = 0;
};
