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
    static TestPlatform *install()
    {
        auto platform = std::make_unique<TestPlatform>();
        TestPlatform *raw = platform.get();
        Platform::install(std::move(platform));
        return raw;
    }

    QList<PlatformCall> callsOf(const QString &what) const
    {
        QList<PlatformCall> out;
        for (const PlatformCall &c : calls)
            if (c.what == what)
                out << c;
        return out;
    }
    int count(const QString &what) const { return int(callsOf(what).size()); }

    MessageAnswer messageBox(const QString &text, const QString &caption, MessageButtons buttons,
                             MessageIcon icon, QWidget *) override
    {
        record("messageBox",
               {text, caption, QString::number(int(buttons)), QString::number(int(icon))});
        if (!messageAnswers.isEmpty())
            return messageAnswers.dequeue();
        const bool yesNo =
            buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel;
        return yesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    QStringList openFiles(const OpenFilesRequest &r) override
    {
        record("openFiles", {r.title, r.filter, QString::number(r.selectedFilter),
                             r.multiSelect ? "multi" : "single", r.initialDir});
        return openFilesAnswers.isEmpty() ? QStringList() : openFilesAnswers.dequeue();
    }
    QString saveFile(const SaveFileRequest &r) override
    {
        record("saveFile", {r.title, r.filter, r.proposedName, r.initialDir});
        return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
    }
    QString browseForFolder(const QString &title, QWidget *) override
    {
        record("browseForFolder", {title});
        return folderAnswers.isEmpty() ? QString(CanceledFolderPick) : folderAnswers.dequeue();
    }
    bool openDocument(const QString &pathOrUrl) override
    {
        return record("openDocument", {pathOrUrl});
    }
    bool openFolder(const QString &folder) override { return record("openFolder", {folder}); }
    bool showFileProperties(const QString &path, QWidget *) override
    {
        return record("showFileProperties", {path});
    }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        return record("startProgram", QStringList{program} + arguments);
    }
    bool requestShutdown() override { return record("requestShutdown", {}); }
    bool previousInstanceRunning() override
    {
        record("previousInstanceRunning", {});
        return previousInstance;
    }
    bool handFilesToRunningInstance(const QStringList &files) override
    {
        record("handFilesToRunningInstance", files);
        return handOverTaken;
    }
    void receiveFilesFromLaterStarts(HandedFilesReceiver &receiver) override
    {
        record("receiveFilesFromLaterStarts", {});
        laterStarts = &receiver;
    }
    void setTaskbarProgress(double fraction) override
    {
        record("setTaskbarProgress", {QString::number(fraction)});
    }
    void notifyRunFinished(int converted, int failed) override
    {
        record("notifyRunFinished", {QString::number(converted), QString::number(failed)});
    }

private:
    bool record(const char *what, const QStringList &args)
    {
        calls << PlatformCall{QString::fromLatin1(what), args};
        return actionsSucceed;
    }
};
