#pragma once

#include "platform/instancelock.h"
#include "platform/platform.h"

// The real desktop: Qt dialogs, the desktop's default handlers and D-Bus services.
class DesktopPlatform : public Platform
{
public:
    DesktopPlatform();

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

    // "Caption|*.a;*.b|..." as Qt name filters; patterns match either letter case.
    static QStringList qtFilters(const QString &filter);

private:
    InstanceLock m_instance;
};
