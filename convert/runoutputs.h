#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>

// The output names of one conversion run, so that no file of the run overwrites another:
// each output name belongs to the first source that claims it, and no output may be one
// of the run's sources. Names are compared as files: an existing file by its identity
// (links, hard links, ".."), an output that does not exist yet by its folder's real path and
// its name; in a folder that ignores letter case (FAT, exFAT), names that differ only in case
// are one name.
// Not thread-safe; a parallel caller claims every output before it starts.
class RunOutputs
{
public:
    RunOutputs() = default;
    explicit RunOutputs(const QStringList &sources);

    // A file the run converts: no output of the run may replace it.
    void addSource(const QString &source);

    // Why `source` may not write `output` in this run, in plain words ("same output name
    // as first.wav"); "" when it may.
    QString refusal(const QString &source, const QString &output) const;
    // refusal(), and when it is "" the output now belongs to `source` for the rest of the
    // run (whatever becomes of its conversion).
    QString claim(const QString &source, const QString &output);

    void clear();

private:
    QHash<QString, QString> m_sources; // file key -> source path
    QHash<QString, QString> m_outputs; // file key -> the source that claimed it
    // case-folded name key -> the output claimed under it and its source
    QHash<QString, std::pair<QString, QString>> m_folded;
    mutable QHash<QString, bool> m_foldingFolders; // folder -> whether it ignores letter case
};
