#pragma once

#include <QString>

// Where a conversion writes its output. Extensions are given with their dot (".mp3").
namespace OutputNaming {

// The source's folder (with a trailing separator) and its file name up to the first ".".
QString baseOf(const QString &source);

// Source-folder mode: baseOf(source) + extension ("my.song.mp3" gives "my.wav").
QString inSourceFolder(const QString &source, const QString &extension);

// Output-folder mode: folder + the file name without its last four characters +
// extension ("my.song.mp3" gives "my.song.wav"). A separator is added to a folder that
// lacks one. Empty when the file name is shorter than four characters.
QString inOutputFolder(const QString &source, const QString &folder, const QString &extension);

// True when both paths name the same file, compared as the file system compares names.
bool sameFile(const QString &a, const QString &b);

// The output of one source: the mode's path, or that path without its last four
// characters + "_back" + extension when it would be the source itself. Empty when no
// name can be built.
QString outputPath(const QString &source, const QString &folder, bool sourceFolderMode,
                   const QString &extension);

} // namespace OutputNaming
