#pragma once

#include "app/frmsplash.h"

#include <QObject>
#include <QPointer>

#include <memory>

class frmDialog;

// The program's start: the start-up window, then the main window it hands over to. When
// another instance already runs, the program ends silently instead of showing the window.
class Startup : public QObject
{
    Q_OBJECT
public:
    Startup();
    ~Startup() override;

    // Opens the start-up window; the rest follows from its timer.
    void begin();

    frmSplash *splash() const { return m_splash; }
    frmDialog *mainWindow() const { return m_main.get(); }
    // True once the program was told to end because another instance runs.
    bool endedSilently() const { return m_endedSilently; }

private:
    void openMainWindow();

    QPointer<frmSplash> m_splash;
    std::unique_ptr<frmDialog> m_main;
    bool m_endedSilently = false;
};
