#pragma once

#include <QString>
#include <QStringList>

// The bad-input corpus: short files in every format the engine reads, then the same files
// cut short at many points, zeroed or scrambled in the middle, reduced to their headers;
// besides them empty files, noise and text under audio names, and float WAVs with NaN,
// infinite and out-of-range samples. Made with the ffmpeg program; the same every time.
namespace BadInputs {

// Writes the corpus into `dir` and returns the paths; empty when ffmpeg failed.
QStringList make(const QString &dir);

} // namespace BadInputs
