#pragma once

#include <QString>

// Where the program keeps its files.
namespace Paths {

// The settings folder: $TONEWRIGHT_CONFIG_DIR when set, else $XDG_CONFIG_HOME/tonewright
// (~/.config/tonewright). Created on first use.
QString configDir();

// The folder of the running executable.
QString programDir();

// `dir` with exactly one trailing separator (a root folder keeps its single one).
QString withTrailingSeparator(const QString &dir);

} // namespace Paths
