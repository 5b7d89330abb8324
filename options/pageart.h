#pragma once

#include <QPixmap>

// The decorative picture of an options page (0 General, then the output formats in the order
// of the format table), drawn in the skin's violet tones.
QPixmap pageArt(int page);
