#pragma once

#include <QString>
#include <QStringList>

// The open dialog's and a drop's view of the kinds the engine decodes (engine/sourcekinds):
// its filter patterns and a drop's letter-case rule.
namespace AudioExtensions {

// SourceKinds::extensions(): lower-case endings without the dot, the dialog's five first.
const QStringList &decodable();
// Whether the path ends in "." and one of the endings, all in lower or all in upper case
// (".mp3" and ".MP3", not ".Mp3").
bool isDecodable(const QString &path);
// "*.wav;*.mp3;..." for a dialog filter.
QString patterns();

} // namespace AudioExtensions
