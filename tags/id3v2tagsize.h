#pragma once

#include <QByteArray>

// The bytes an ID3v2 tag takes at the start of a file (header, body and, when its flag says
// so, the footer), from the tag's first ten bytes or more; 0 when they do not start a valid
// ID3v2 tag (too short, no "ID3", or a size byte with its top bit set).
qint64 id3v2TagSize(const QByteArray &header);
