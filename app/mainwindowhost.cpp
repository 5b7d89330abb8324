#include "app/mainwindowhost.h"

#include "app/frmdialog.h"
#include "engine/mp3settings.h"
#include "joblist/joblistmodel.h"
#include "ui/contrast.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinfile.h"
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
    // The list's own background keeps its colour; its text follows the new hue.
    if (m_listBackground.isValid())
        setJobListBackground(m_listBackground);
}

void MainWindowHost::setJobListBackground(const QColor &colour)
{
    QTreeView *list = m_main.viewEvent;
    if (!list)
        return;
    m_listBackground = colour;
    // The skin's text colour at this hue, made darker or lighter where it would not stand out
    // from this background.
    const SkinFile *skin = m_main.Skn ? m_main.Skn->skin() : nullptr;
    const QColor preferred =
        skin ? SkinFile::rotated(skin->palette().value(QStringLiteral("text")), m_main.Skn->hue())
             : list->palette().color(QPalette::Text);
    const QColor text = Contrast::readableOn(colour, preferred);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Text, text);
    list->setPalette(palette);
    // The skin draws through style sheets, which take precedence over the palette.
    list->setStyleSheet(QStringLiteral("QTreeView { background-color: %1; color: %2; }")
                            .arg(colour.name(), text.name()));
}

EncoderSink *MainWindowHost::encoder()
{
    return &m_encoder;
}

Mp3Settings *MainWindowHost::mp3Settings()
{
    return m_main.Mp3Settings.get();
}
