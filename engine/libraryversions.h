#pragma once

#include <QList>
#include <QString>

// The versions of the libraries the program runs on, as loaded in this process, so a user can
// report them. Where a library cannot tell its version at run time, the version the program
// was built against is given and marked so.
struct LibraryVersion
{
    QString name;
    QString version;
    bool atRunTime = true; // false: the build-time version (the library has no call for it)
};

namespace LibraryVersions {

// Qt, FFmpeg (the release and its four libraries), LAME, libvorbis, TagLib and SDL, in that
// order.
QList<LibraryVersion> all();

} // namespace LibraryVersions
