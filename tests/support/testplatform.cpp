#include "testplatform.h"

TestPlatform *TestPlatform::install()
{
    auto platform = std::make_unique<TestPlatform>();
    TestPlatform *raw = platform.get();
    Platform::install(std::move(platform));
    return raw;
}

QList<PlatformCall> TestPlatform::callsOf(const QString &what) const
{
    QList<PlatformCall> out;
    for (const PlatformCall &c : calls)
        if (c.what == what)
            out << c;
    return out;
}

MessageAnswer TestPlatform::messageBox(const QString &text, const QString &caption,
                                       MessageButtons buttons, MessageIcon icon, QWidget *)
{
    calls << PlatformCall{
        QStringLiteral("messageBox"),
        {text, caption, QString::number(int(buttons)), QString::number(int(icon))}};
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
               ? MessageAnswer::Yes
               : MessageAnswer::Ok;
}

QStringList TestPlatform::openFiles(const OpenFilesRequest &r)
{
    calls << PlatformCall{QStringLiteral("openFiles"),
                          {r.title, r.filter, QString::number(r.selectedFilter),
                           r.multiSelect ? QStringLiteral("multi") : QStringLiteral("single"),
                           r.initialDir}};
    return openFilesAnswers.isEmpty() ? QStringList() : openFilesAnswers.dequeue();
}

QString TestPlatform::saveFile(const SaveFileRequest &r)
{
    calls << PlatformCall{QStringLiteral("saveFile"),
                          {r.title, r.filter, r.proposedName, r.initialDir}};
    return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
}

QString TestPlatform::browseForFolder(const QString &title, QWidget *)
{
    calls << PlatformCall{QStringLiteral("browseForFolder"), {title}};
    return folderAnswers.isEmpty() ? QString::fromLatin1(CanceledFolderPick)
                                   : folderAnswers.dequeue();
}

bool TestPlatform::openDocument(const QString &pathOrUrl)
{
    calls << PlatformCall{QStringLiteral("openDocument"), {pathOrUrl}};
    return actionsSucceed;
}

bool TestPlatform::openFolder(const QString &folder)
{
    calls << PlatformCall{QStringLiteral("openFolder"), {folder}};
    return actionsSucceed;
}

bool TestPlatform::showFileProperties(const QString &path, QWidget *)
{
    calls << PlatformCall{QStringLiteral("showFileProperties"), {path}};
    return actionsSucceed;
}

bool TestPlatform::startProgram(const QString &program, const QStringList &arguments)
{
    calls << PlatformCall{QStringLiteral("startProgram"), QStringList{program} + arguments};
    return actionsSucceed;
}

bool TestPlatform::requestShutdown()
{
    calls << PlatformCall{QStringLiteral("requestShutdown"), {}};
    return actionsSucceed;
}

bool TestPlatform::previousInstanceRunning()
{
    calls << PlatformCall{QStringLiteral("previousInstanceRunning"), {}};
    return previousInstance;
}

bool TestPlatform::handFilesToRunningInstance(const QStringList &files)
{
    calls << PlatformCall{QStringLiteral("handFilesToRunningInstance"), files};
    return handOverTaken;
}

void TestPlatform::receiveFilesFromLaterStarts(HandedFilesReceiver &receiver)
{
    calls << PlatformCall{QStringLiteral("receiveFilesFromLaterStarts"), {}};
    laterStarts = &receiver;
}

void TestPlatform::setTaskbarProgress(double fraction)
{
    calls << PlatformCall{QStringLiteral("setTaskbarProgress"), {QString::number(fraction)}};
}

void TestPlatform::notifyRunFinished(int converted, int failed)
{
    calls << PlatformCall{QStringLiteral("notifyRunFinished"),
                          {QString::number(converted), QString::number(failed)}};
}
