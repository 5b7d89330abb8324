#pragma once

#include "app/frmsplash.h"
#include "platform/platform.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class frmDialog;

// The program's start: the start-up window, then the main window it hands over to. When
// another instance already runs, the program ends silently instead of showing the window,
// after handing the files it was started with (if any) to that instance.
class Startup : public QObject, public HandedFilesReceiver
{
    Q_OBJECT
public:
    // `files`: what the program was opened with, as absolute paths (filesFromArguments).
    explicit Startup(QStringList files = {});
    ~Startup() override;

    // The program's arguments (paths, as the desktop entry asks for) made absolute: a later
    // start hands them to an instance that runs in another folder.
    static QStringList filesFromArguments(const QStringList &arguments);

    // Opens the start-up window; the rest follows from its timer.
    void begin();
    // Ending asked for from outside (a signal): the main window closes as if the user had
    // closed it, so a run stops cleanly; before the main window, the program just ends.
    void quitRequested();

    frmSplash *splash() const { return m_splash; }
    frmDialog *mainWindow() const { return m_main.get(); }
    // True once the program was told to end because another instance runs; with code 1 when
    // that instance did not take the files.
    bool endedForAnotherInstance() const { return m_endedForAnotherInstance; }
    int exitCode() const { return m_exitCode; }

    // Files from a later start: they join the list (after a running conversion) and the
    // window comes to the front.
    void filesHandedOver(const QStringList &files) override;

private:
    void openMainWindow();
    void addWaitingFiles();

    QStringList m_files;
    QStringList m_waiting;
    QPointer<frmSplash> m_splash;
    std::unique_ptr<frmDialog> m_main;
    bool m_endedForAnotherInstance = false;
    int m_exitCode = 0;
};
