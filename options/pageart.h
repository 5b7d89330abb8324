#pragma once

#include <QPixmap>

// The decorative picture of an options page (0 General, 1 MP3, 2 WMA, 3 OGG, 4 WAV), drawn in
// the skin's violet tones.
QPixmap pageArt(int page);
