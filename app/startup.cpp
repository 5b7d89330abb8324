#include "app/startup.h"

#include "app/frmdialog.h"
#include "app/frmsplash.h"
#include "convert/conversionrun.h"
#include "joblist/joblistcommands.h"
#include "platform/platform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

namespace {

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tonewright-%1.png").arg(size), QSize(size, size));
    return icon;
}

QString handOverRefused(const QStringList &files)
{
    const QString what =
        files.size() == 1
            ? files.first()
            : QStringLiteral("%1 and %2 more files").arg(files.first()).arg(files.size() - 1);
    return QStringLiteral("Tonewright is already running, but it did not take %1 within 10 "
                          "seconds: it may be waiting for an answer in one of its windows. "
                          "Nothing was added; open the files again once it is free.")
        .arg(what);
}

} // namespace

Startup::Startup(QStringList files)
    : m_files(std::move(files))
{
}

Startup::~Startup() = default;

QStringList Startup::filesFromArguments(const QStringList &arguments)
{
    QStringList files;
    for (const QString &argument : arguments) {
        if (!argument.isEmpty())
            files << QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
    }
    return files;
}

void Startup::begin()
{
    QApplication::setWindowIcon(programIcon());
    auto *splash = new frmSplash;
    m_splash = splash;
    connect(splash, &frmSplash::handOver, this, &Startup::openMainWindow);
    splash->Form_Load();
}

void Startup::openMainWindow()
{
    auto window = std::make_unique<frmDialog>();
    if (window->Form_Load() == frmDialog::LoadResult::AnotherInstanceRunning) {
        // Nothing to hand over: the running instance is left alone.
        if (!m_files.isEmpty() && !Platform::instance().handFilesToRunningInstance(m_files)) {
            // Never end as if the files had been taken.
            Platform::instance().messageBox(handOverRefused(m_files), QStringLiteral("Tonewright"),
                                            MessageButtons::Ok, MessageIcon::Warning, nullptr);
            m_exitCode = 1;
        }
        m_endedForAnotherInstance = true;
        QCoreApplication::exit(m_exitCode);
        return;
    }
    m_main = std::move(window);
    m_main->show();
    // Files handed over while a conversion runs wait for its end: rows added under a run
    // would change the list it walks.
    connect(&m_main->conversionRun(), &ConversionRun::runEnded, this, &Startup::addWaitingFiles);
    Platform::instance().receiveFilesFromLaterStarts(*this);
    if (!m_files.isEmpty())
        m_main->jobList().addPaths(m_files);
}

void Startup::filesHandedOver(const QStringList &files)
{
    m_waiting += files;
    if (!m_main)
        return;
    addWaitingFiles();
    if (m_main->isMinimized())
        m_main->showNormal();
    m_main->raise();
    m_main->activateWindow();
}

void Startup::addWaitingFiles()
{
    if (!m_main || m_waiting.isEmpty() || m_main->conversionRun().isActive())
        return;
    const QStringList files = std::exchange(m_waiting, {});
    m_main->jobList().addPaths(files);
}

void Startup::quitRequested()
{
    if (m_main && m_main->isVisible()) {
        m_main->close();
        return;
    }
    QCoreApplication::exit(0);
}
