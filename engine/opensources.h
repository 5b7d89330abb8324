#pragma once

#include <QString>

// The files open for decoding in any Converter of the process, so that no output can
// replace a file that is being read.
namespace OpenSources {

void add(const QString &path);
void remove(const QString &path);
// True when `path` names the same file as one open for decoding.
bool contains(const QString &path);

} // namespace OpenSources
