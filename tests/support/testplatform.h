#pragma once

#include "platform/platform.h"

#include <QList>
#include <QQueue>

struct PlatformCall
{
    QString what;     // "messageBox", "openFiles", "saveFile", "browseForFolder", ...
    QStringList args; // the call's texts, in parameter order
};

// Records every call and answers from scripted queues, so modal flows run headless.
// Unscripted answers: message boxes Ok (or Yes), dialogs cancelled, actions succeed.
class TestPlatform : public Platform
{
public:
    QList<PlatformCall> calls;
    QQueue<MessageAnswer> messageAnswers;
    QQueue<QStringList> openFilesAnswers;
    QQueue<QString> saveFileAnswers;
    QQueue<QString> folderAnswers;
    bool previousInstance = false;
    bool actionsSucceed = true;
    bool handOverTaken = true;                  // what handFilesToRunningInstance answers
    HandedFilesReceiver *laterStarts = nullptr; // set by receiveFilesFromLaterStarts

    // Installs a fresh test platform as the one in use and returns it (owned by Platform).
    static TestPlatform *install();

    QList<PlatformCall> callsOf(const QString &what) const;
    int count(const QString &what) const { return int(callsOf(what).size()); }

    MessageAnswer messageBox(const QString &text, const QString &caption, MessageButtons buttons,
                             MessageIcon icon, QWidget *owner) override;
    QStringList openFiles(const OpenFilesRequest &request) override;
    QString saveFile(const SaveFileRequest &request) override;
    QString browseForFolder(const QString &title, QWidget *owner) override;
    bool openDocument(const QString &pathOrUrl) override;
    bool openFolder(const QString &folder) override;
    bool showFileProperties(const QString &path, QWidget *owner) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool requestShutdown() override;
    bool previousInstanceRunning() override;
    // Recorded as "handFilesToRunningInstance" (the files), "receiveFilesFromLaterStarts",
    // "setTaskbarProgress" (the fraction, QString::number) and "notifyRunFinished"
    // (converted, failed).
    bool handFilesToRunningInstance(const QStringList &files) override;
    void receiveFilesFromLaterStarts(HandedFilesReceiver &receiver) override;
    void setTaskbarProgress(double fraction) override;
    void notifyRunFinished(int converted, int failed) override;
};
