#pragma once

#include "platform/platform.h"

#include <QStringList>

#include <cstdio>

// The desktop for a benchmark: the source-file dialog answers `pick`, messages go to the
// terminal, every other action succeeds without doing anything.
class BenchPlatform : public Platform
{
public:
    QStringList pick;

    MessageAnswer messageBox(const QString &text, const QString &, MessageButtons, MessageIcon,
                             QWidget *) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return MessageAnswer::Ok;
    }
    QStringList openFiles(const OpenFilesRequest &) override { return pick; }
    QString saveFile(const SaveFileRequest &) override { return {}; }
    QString browseForFolder(const QString &, QWidget *) override { return {}; }
    bool openDocument(const QString &) override { return true; }
    bool openFolder(const QString &) override { return true; }
    bool showFileProperties(const QString &, QWidget *) override { return true; }
    bool startProgram(const QString &, const QStringList &) override { return true; }
    bool requestShutdown() override { return false; }
    bool previousInstanceRunning() override { return false; }
};
