#pragma once

#include "platform/instancelock.h"
#include "platform/platform.h"

#include <memory>

class InstanceChannel;

// The real desktop: Qt dialogs, the desktop's default handlers and D-Bus services.
class DesktopPlatform : public Platform
{
public:
    DesktopPlatform();
    ~DesktopPlatform() override;

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
    bool handFilesToRunningInstance(const QStringList &files) override;
    void receiveFilesFromLaterStarts(HandedFilesReceiver &receiver) override;
    void setTaskbarProgress(double fraction) override;
    void notifyRunFinished(int converted, int failed) override;

    // "Caption|*.a;*.b|..." as Qt name filters; patterns match either letter case.
    static QStringList qtFilters(const QString &filter);

    // How long a later start waits for the running instance to take its files.
    static constexpr int HandOverTimeoutMs = 10000;

private:
    InstanceLock m_instance;
    std::unique_ptr<InstanceChannel> m_channel;
};
