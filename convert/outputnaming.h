#pragma once

#include <QString>

// Where a conversion writes its output. Extensions are given with their dot (".mp3").
// The output's name is the source's file name without its last extension plus the new
// one, in both folder modes: "track.flac" gives "track.wav", "my.song.mp3" gives
// "my.song.wav", a name without a dot keeps all of it. A leading dot (".hidden") does not
// start an extension.
namespace OutputNaming {

// The source's file name without its last extension.
QString stemOf(const QString &source);

// The source's folder (with a trailing separator) followed by stemOf(source).
QString baseOf(const QString &source);

// Source-folder mode: baseOf(source) + extension.
QString inSourceFolder(const QString &source, const QString &extension);

// Output-folder mode: folder + stemOf(source) + extension. A separator is added to a
// folder that lacks one.
QString inOutputFolder(const QString &source, const QString &folder, const QString &extension);

// Output-folder mode with the folder structure kept: `folder` followed by the source's folder
// relative to `root` (the folder it was added from): "/m/A/B/01.flac" added from "/m" goes
// to folder + "A/B/". `folder` itself for a source directly in `root` or outside it.
QString keptFolder(const QString &folder, const QString &source, const QString &root);

// True when both paths name the same file: by identity when both exist (links, "..",
// hard links), else by their cleaned absolute paths as the file system compares names.
bool sameFile(const QString &a, const QString &b);

// The output of one source: the mode's path, or that path with "_back" before the
// extension when it would be the source itself. Names that differ from the source's only
// in letter case count as the source too: they are one file on case-insensitive file
// systems. Empty when no name can be built (a path without a file name).
QString outputPath(const QString &source, const QString &folder, bool sourceFolderMode,
                   const QString &extension);

} // namespace OutputNaming
