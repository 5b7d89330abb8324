#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

class QIODevice;

// One page of an Ogg stream: its header fields, its lacing values (each segment's length, a
// packet ending at the first below 255) and its body.
struct OggPage
{
    enum Flag : quint8 { Continued = 1, First = 2, Last = 4 };
    static constexpr int MaxSegments = 255;
    static constexpr quint64 NoGranule = ~quint64(0);

    quint8 flags = 0;
    quint64 granule = NoGranule;
    quint32 serial = 0;
    quint32 sequence = 0;
    std::vector<quint8> lacing;
    QByteArray body;

    // Reads the next page; false at the end of `in`. Throws EngineError with `why` filled in
    // when what follows is not a whole page.
    bool read(QIODevice &in);
    // Writes the page with its checksum computed anew; StreamedPictures::WriteFailed when
    // `out` fails.
    void write(QIODevice &out) const;
};
