#pragma once

#include <QString>
#include <QStringList>

// The kinds of file the program converts, told by their extension: the one list that the
// window's folder walk and twr-convert's --recursive go by.
namespace SourceKinds {

// Lower-case extensions without their dot: the drop's mp3, wav, wma and ogg, and every other
// audio kind the engine decodes.
const QStringList &extensions();

// True when the path's last extension (any letter case) is one of extensions().
bool isConvertible(const QString &path);

} // namespace SourceKinds
