#include "app/commands.h"

#include "app/frmabout.h"
#include "app/optionswindow.h"
#include "joblist/listfocus.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "settings/settingsfiles.h"
#include "update/frmupdate.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>

Commands::Commands(CommandWidgets widgets, const ListFocus &focus, SkinEngine &skin,
                   OptionsWindow &options, CommandLinks links, QObject *parent)
    : QObject(parent)
    , m_widgets(widgets)
    , m_focus(focus)
    , m_skin(skin)
    , m_options(options)
    , m_links(std::move(links))
{
    // An entry without an address would do nothing when chosen: grey it instead.
    m_widgets.website.setEnabled(!m_links.homepage.isEmpty());
    m_widgets.bbs.setEnabled(!m_links.forum.isEmpty());
    m_widgets.mailus.setEnabled(!m_links.supportEmail.isEmpty());
    // Likewise a build without an update address or the key that updates are signed with.
    m_widgets.update.setEnabled(m_links.liveUpdate.canCheck());
}

void Commands::pickOutputFolder()
{
    QString folder =
        BrowseForFolder(QStringLiteral("Choose an output files folder..."), &m_widgets.window);
    if (folder.isEmpty() || folder == QLatin1String(CanceledFolderPick))
        return;
    folder = Paths::withTrailingSeparator(folder);
    m_widgets.txtFolder.setText(folder);
    m_options.setOutputFolderBox(folder);
    storeSetting(SettingsFiles::workingFile(), Ini::Output::Folder, m_widgets.txtFolder.text(),
                 &m_widgets.window);
}

void Commands::storeSetting(const QString &ini, Ini::Key key, const QString &value, QWidget *owner)
{
    QString why;
    if (!SettingsFiles::write(ini, key, value, &why))
        ShowWarning(SettingsFiles::notSavedMessage(ini, why), owner);
}

void Commands::showHelp()
{
    // A missing guide is not worth a message: the desktop has nothing to show either.
    if (QFileInfo::exists(m_links.guide))
        Platform::instance().openDocument(m_links.guide);
}

void Commands::gotoOutputFolder()
{
    Platform::instance().openFolder(m_widgets.txtFolder.text());
}

void Commands::showFileProperties()
{
    if (m_focus.CurrentFile.isEmpty())
        return;
    Platform::instance().showFileProperties(m_focus.CurrentFile, &m_widgets.window);
}

void Commands::showOptions()
{
    m_options.showFresh();
}

void Commands::showAbout()
{
    frmAbout about(&m_skin, &m_widgets.window);
    about.exec();
}

void Commands::showUpdate()
{
    frmUpdate update(m_links.liveUpdate, &m_skin, &m_widgets.window);
    update.exec();
}

void Commands::openWebSite()
{
    if (!m_links.homepage.isEmpty())
        Platform::instance().openDocument(m_links.homepage);
}

void Commands::openForum()
{
    if (!m_links.forum.isEmpty())
        Platform::instance().openDocument(m_links.forum);
}

void Commands::mailUs()
{
    const QString address = m_links.supportEmail;
    if (address.isEmpty())
        return;
    Platform::instance().openDocument(address.startsWith(QLatin1String("mailto:"))
                                          ? address
                                          : QStringLiteral("mailto:") + address);
}
