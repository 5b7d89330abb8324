#include "app/startup.h"

#include "app/frmdialog.h"
#include "app/frmsplash.h"

#include <QCoreApplication>

Startup::Startup() = default;

Startup::~Startup() = default;

void Startup::begin()
{
    auto *splash = new frmSplash;
    m_splash = splash;
    connect(splash, &frmSplash::handOver, this, &Startup::openMainWindow);
    splash->Form_Load();
}

void Startup::openMainWindow()
{
    auto window = std::make_unique<frmDialog>();
    if (window->Form_Load() == frmDialog::LoadResult::AnotherInstanceRunning) {
        m_endedSilently = true;
        QCoreApplication::exit(0);
        return;
    }
    m_main = std::move(window);
    m_main->show();
}
