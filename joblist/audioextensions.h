#pragma once

#include <QString>
#include <QStringList>

// The file endings of every kind of audio the engine decodes: the one list that the open
// dialog, a drop and a folder walk agree on.
namespace AudioExtensions {

// Lower-case endings without the dot, the dialog's five first.
const QStringList &decodable();
// Whether the path ends in "." and one of the endings, all in lower or all in upper case
// (".mp3" and ".MP3", not ".Mp3").
bool isDecodable(const QString &path);
// "*.wav;*.mp3;..." for a dialog filter.
QString patterns();

} // namespace AudioExtensions
