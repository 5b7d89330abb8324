#include "app/mainwindowhost.h"

#include "app/frmdialog.h"
#include "engine/mp3settings.h"
#include "joblist/joblistmodel.h"
#include "ui/skin/skinengine.h"
#include "ui/statusbar.h"

#include <QLineEdit>
#include <QPalette>
#include <QTreeView>

QWidget *MainWindowHost::ownerWindow()
{
    return &m_main;
}

void MainWindowHost::setFolderBox(const QString &text)
{
    if (m_main.txtFolder)
        m_main.txtFolder->setText(text);
}

void MainWindowHost::setFolderPanel(const QString &text)
{
    if (m_main.StatusBar1)
        m_main.StatusBar1->setPanelText(1, text);
}

void MainWindowHost::rewriteSaveTo(bool intoSourceFolder, const QString &outputFolder,
                                   bool keepFolders)
{
    if (JobListModel *jobs = m_main.jobs)
        jobs->rewriteSaveTo(intoSourceFolder, outputFolder, keepFolders);
}

void MainWindowHost::applySkin(QWidget *window, const QString &definition)
{
    if (m_main.Skn)
        m_main.Skn->applySkin(window, definition);
}

void MainWindowHost::setHue(int degrees)
{
    if (m_main.Skn)
        m_main.Skn->setHue(degrees, true);
}

void MainWindowHost::setJobListBackground(const QColor &colour)
{
    QTreeView *list = m_main.viewEvent;
    if (!list)
        return;
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, colour);
    list->setPalette(palette);
    // The skin draws through style sheets, which take precedence over the palette.
    list->setStyleSheet(QStringLiteral("QTreeView { background-color: %1; }").arg(colour.name()));
}

EncoderSink *MainWindowHost::encoder()
{
    return &m_encoder;
}

Mp3Settings *MainWindowHost::mp3Settings()
{
    return m_main.Mp3Settings.get();
}
