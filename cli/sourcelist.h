#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The files one twr-convert run converts: the files named on the command line or in a file
// list, the files that playlists list and, with --recursive, the files under folders. Each
// comes with its root, the folder its output keeps the structure from.
namespace SourceList {

struct Source
{
    QString path;    // as given or found; made absolute by the caller
    QString root;    // the folder the source's folders are kept from
    QString refusal; // why it cannot be converted, in plain words; else ""
};

struct Gathered
{
    QList<Source> sources;
    QStringList unreadable; // folders that could not be read, each once
    QString usageError;     // a folder given without --recursive
};

// `arguments` from the command line; `listed` from --files-from, whose relative paths keep
// their folders as written (they are rooted at the working folder).
Gathered gather(const QStringList &arguments, const QStringList &listed, bool recursive);

// The paths of a file list ("-" is standard input): one a line, or separated by NUL bytes.
// Empty entries are passed over. Nothing, with the reason in *why, when it cannot be read.
std::optional<QStringList> readList(const QString &file, bool nulSeparated, QString *why);

} // namespace SourceList
