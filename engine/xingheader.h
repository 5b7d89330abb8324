#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// The Xing/LAME header frame at the start of an MP3 stream, completed for a stream that
// was joined from blocks: what a player needs for the duration, seeking and gapless trimming.
class XingHeader
{
public:
    struct Stream
    {
        std::vector<int> frameSizes; // the audio frames after the header frame
        int delay = 0;               // samples the encoder put before the audio
        int padding = 0;             // samples after it in the last frame
        quint16 audioCrc = 0;        // CRC-16 of the audio frames' bytes
    };

    // `frame` is a header frame LAME wrote for the same settings; its counts, seek table,
    // delay, padding and CRCs are rewritten for `stream`. EngineError when it is none.
    static QByteArray complete(QByteArray frame, const Stream &stream);
};
