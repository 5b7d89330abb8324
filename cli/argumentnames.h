#pragma once

#include <QString>
#include <QStringList>

// File names given on the command line whose bytes are not valid UTF-8. Qt turns such
// bytes into replacement characters, so the file could never be found under the name it
// reads back: these files are refused with a reason instead of "No such file".
namespace ArgumentNames {

// The arguments (as QCoreApplication::arguments() spells them) that are not valid UTF-8.
QStringList notUtf8(int argc, char **argv);

// The reason given for such a file.
QString refusal(const QString &name);

} // namespace ArgumentNames
