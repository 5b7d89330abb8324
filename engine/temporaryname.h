#pragma once

#include <QString>

// Names of temporary files made beside a file, that still fit the file system's limit of 255
// bytes a name when the file's own name is near it.
namespace TemporaryName {

constexpr int MaxNameBytes = 255;

// `folder`/`stem``tail`, with `stem` cut (never inside a character) so that the name fits.
QString beside(const QString &folder, const QString &stem, const QString &tail);

} // namespace TemporaryName
