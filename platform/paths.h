#pragma once

#include <QString>

// Where the program keeps its files.
namespace Paths {

// The settings folder: $TONEWRIGHT_CONFIG_DIR when set, else $XDG_CONFIG_HOME/tonewright
// (~/.config/tonewright). Created on first use.
QString configDir();

// The folder of the running executable.
QString programDir();

// The user guide: help/index.html beside the program in the build tree, else the installed
// documentation folder relative to the program's folder.
QString userGuide(const QString &programFolder = programDir());

// The private folder of an installed program's libraries (the skin library), relative to the
// program's folder.
QString privateLibraryDir(const QString &programFolder = programDir());

// Where outputs go when no folder is stored: the user's music folder, else the home folder,
// with a trailing separator. Never the program's folder, which is read-only once installed.
QString defaultOutputFolder();

// `dir` with exactly one trailing separator (a root folder keeps its single one).
QString withTrailingSeparator(const QString &dir);

// `folder` below `root` as a relative path ("A/B"); "" when it is `root` itself, lies outside
// it or `root` is empty.
QString relativeFolder(const QString &folder, const QString &root);

// `base` itself when `relative` is empty, else `base`, `relative` and a trailing separator.
QString folderBelow(const QString &base, const QString &relative);

} // namespace Paths
