// The main window's menu bar: the three visible menus and the three kept out of sight (the
// maker's other products, and the two popups that are only ever shown at a screen point).
#include "app/frmdialog.h"
#include "convert/outputformat.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction *entry(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu *topMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    return menu;
}

// One kind of "Convert to" entries, added in their order; returned by format.
std::vector<QAction *> formatEntries(QMenu *menu, OutputFormat::Entry OutputFormat::*entries)
{
    std::vector<QAction *> actions(OutputFormats::all().size());
    for (const OutputFormat *format : OutputFormats::inOrderOf(entries)) {
        const OutputFormat::Entry &e = format->*entries;
        actions[size_t(format->id)] = entry(menu, e.name, QString::fromLatin1(e.text));
    }
    return actions;
}

} // namespace

void frmDialog::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    file = topMenu(bar, "file", QStringLiteral("&Files"));
    addf = entry(file, "addf", QStringLiteral("Add Files"));
    addfolder = entry(file, "addfolder", QStringLiteral("Add Folder..."));
    removef = entry(file, "removef", QStringLiteral("Remove Files"));
    cleara = entry(file, "cleara", QStringLiteral("Clear All"));
    file->addSeparator();
    selecta = entry(file, "selecta", QStringLiteral("Select All"));
    unselecta = entry(file, "unselecta", QStringLiteral("Select None"));
    invert = entry(file, "invert", QStringLiteral("Invert Selection"));
    file->addSeparator();
    exit = entry(file, "exit", QStringLiteral("Exit"));

    action = topMenu(bar, "action", QStringLiteral("A&ction"));
    convertEntries = formatEntries(action, &OutputFormat::menu);
    tomp3 = convertEntries[size_t(OutputFormatId::Mp3)];
    towav = convertEntries[size_t(OutputFormatId::Wav)];
    towma = convertEntries[size_t(OutputFormatId::Wma)];
    toogg = convertEntries[size_t(OutputFormatId::Ogg)];
    action->addSeparator();
    id3tag = entry(action, "id3tag", QStringLiteral("Edit ID3 Tag"));
    playlist = entry(action, "playlist", QStringLiteral("Output Playlist"));
    goto_ = entry(action, "goto", QStringLiteral("Goto output directory"));
    action->addSeparator();
    playa = entry(action, "playa", QStringLiteral("Play"));
    pausea = entry(action, "pausea", QStringLiteral("Pause"));
    stopa = entry(action, "stopa", QStringLiteral("Stop"));
    action->addSeparator();
    option = entry(action, "option", QStringLiteral("Options"));

    help = topMenu(bar, "help", QStringLiteral("&Help"));
    content = entry(help, "content", QStringLiteral("Contents and Index"));
    help->addSeparator();
    website = entry(help, "website", QStringLiteral("WebSite"));
    bbs = entry(help, "bbs", QStringLiteral("BBS"));
    mailus = entry(help, "mailus", QStringLiteral("Contact Us"));
    update_ = entry(help, "update", QStringLiteral("Online Update"));
    help->addSeparator();
    about = entry(help, "about", QStringLiteral("About"));
    // The maker's other products: kept in the menu, never shown.
    other = help->addMenu(QStringLiteral("Other Products"));
    other->setObjectName(QStringLiteral("other"));
    other->menuAction()->setObjectName(QStringLiteral("otherAction"));
    other->menuAction()->setVisible(false);

    // The popups are top-level menus made visible only while they are shown, so that each
    // becomes the fourth entry of the bar at that moment.
    rightmenu = topMenu(bar, "rightmenu", QStringLiteral("rightmenu"));
    convertmenu = rightmenu->addMenu(QStringLiteral("Convert"));
    convertmenu->setObjectName(QStringLiteral("convertmenu"));
    convertmenu->menuAction()->setObjectName(QStringLiteral("convertmenuAction"));
    convertPopupEntries = formatEntries(convertmenu, &OutputFormat::popup);
    ctm = convertPopupEntries[size_t(OutputFormatId::Mp3)];
    ctw = convertPopupEntries[size_t(OutputFormatId::Wma)];
    ctwav = convertPopupEntries[size_t(OutputFormatId::Wav)];
    cto = convertPopupEntries[size_t(OutputFormatId::Ogg)];
    rightmenu->addSeparator();
    add = entry(rightmenu, "add", QStringLiteral("Add Files"));
    remove = entry(rightmenu, "remove", QStringLiteral("Remove"));
    clear = entry(rightmenu, "clear", QStringLiteral("Clear All"));
    rightmenu->addSeparator();
    select = entry(rightmenu, "select", QStringLiteral("Select All"));
    unselect = entry(rightmenu, "unselect", QStringLiteral("Select None"));
    insel = entry(rightmenu, "insel", QStringLiteral("Invert Selection"));
    rightmenu->addSeparator();
    properties = entry(rightmenu, "properties", QStringLiteral("File Properties"));
    id3 = entry(rightmenu, "id3", QStringLiteral("Edit ID3 Tag"));
    rightmenu->addSeparator();
    play = entry(rightmenu, "play", QStringLiteral("Play"));
    pause = entry(rightmenu, "pause", QStringLiteral("Pause"));
    stop = entry(rightmenu, "stop", QStringLiteral("Stop"));
    rightmenu->menuAction()->setVisible(false);

    playmenu = topMenu(bar, "playmenu", QStringLiteral("playmenu"));
    playsource = entry(playmenu, "playsource", QStringLiteral("Play Source File"));
    playconverted = entry(playmenu, "playconverted", QStringLiteral("Play Converted File"));
    playmenu->menuAction()->setVisible(false);
}
