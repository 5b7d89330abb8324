#include "tags/id3v2tagsize.h"

qint64 id3v2TagSize(const QByteArray &header)
{
    if (header.size() < 10 || !header.startsWith("ID3"))
        return 0;
    const auto byte = [&](int i) {
        return quint8(header[i]);
    };
    if (byte(3) == 0xff || byte(4) == 0xff)
        return 0;
    qint64 body = 0;
    for (int i = 6; i < 10; ++i) {
        if (byte(i) & 0x80) // not synchsafe: this is no tag header
            return 0;
        body = (body << 7) | byte(i);
    }
    const bool footer = byte(5) & 0x10;
    return 10 + body + (footer ? 10 : 0);
}
