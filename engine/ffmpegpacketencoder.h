#pragma once

#include "engine/ffmpegencodersetup.h"
#include "engine/ffmpeghandles.h"
#include "engine/pcmquantizer.h"

#include <functional>
#include <optional>

// An FFmpeg encoder opened as an FfmpegEncoderSetup asks, fed float interleaved samples:
// it fills the encoder's frames (reduced to whole numbers where the encoder takes them)
// and hands on each packet it makes, its times counting samples from the first one written.
class FfmpegPacketEncoder
{
public:
    using PacketSink = std::function<void(AVPacket &)>;
    using FrameObserver = std::function<void(const AVFrame &)>;

    // Opened for the setup's container. EngineError when the encoder is missing or refuses
    // the settings.
    FfmpegPacketEncoder(const FfmpegEncoderSetup &setup, PacketSink sink);

    const AVCodecContext &context() const { return *m_codec; }
    // Sample frames in each frame handed to the encoder (the last may be shorter).
    int frameSize() const { return m_frameSize; }
    // Hands the packets from now on to `sink`.
    void setPacketSink(PacketSink sink) { m_sink = std::move(sink); }
    // Shows `observer` every frame as the encoder gets it.
    void setFrameObserver(FrameObserver observer) { m_observer = std::move(observer); }

    // Encodes `frames` frames; EngineError on failure.
    void write(const float *samples, int frames);
    // Encodes what is left and drains the encoder.
    void finish();

private:
    void newFrame();
    void store(const float *samples, int frames);
    void send(AVFrame *frame);

    Ff::Codec m_codec;
    Ff::Frame m_frame;
    Ff::Packet m_packet;
    PacketSink m_sink;
    FrameObserver m_observer;
    std::optional<PcmQuantizer> m_quantizer;
    int m_shift = 0;
    int m_frameSize = 0;
    int m_fill = 0;
    qint64 m_pts = 0;
};
