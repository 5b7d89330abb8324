#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets and by the replay of their regression inputs.
namespace FuzzSupport {

// A private folder for this process, removed at exit.
QString folder();

// Writes `size` bytes to `name` in folder() and returns the full path.
QString writeFile(const QString &name, const uint8_t *data, size_t size);

QByteArray readFile(const QString &path);

// An invariant of the code under test: when it does not hold, the message goes to
// standard error and the process aborts, so the fuzzer keeps the input and a replay fails.
void check(bool condition, const char *what);

// Writes the input but its first byte to `stem` with the container name that byte picks
// (.mp3 .ogg .wav .wma .flac .m4a), so the engine is tried under every name; `size` is at
// least 1.
QString writeUnderPickedName(const QString &stem, const uint8_t *data, size_t size);

} // namespace FuzzSupport
