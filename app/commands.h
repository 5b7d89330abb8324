#pragma once

#include "app/commandlinks.h"
#include "app/commandwidgets.h"

#include "settings/keys.h"

#include <QObject>

struct ListFocus;
class OptionsWindow;
class SkinEngine;

// The main window's commands that belong to no other subsystem: the output-folder picker,
// help, the output folder, a file's properties, the options, About and live update windows,
// and the vendor links.
class Commands : public QObject
{
    Q_OBJECT
public:
    Commands(CommandWidgets widgets, const ListFocus &focus, SkinEngine &skin,
             OptionsWindow &options, CommandLinks links, QObject *parent = nullptr);

    void pickOutputFolder();
    void showHelp();
    void gotoOutputFolder();
    void showFileProperties();
    void showOptions();
    void showAbout();
    void showUpdate();
    void openWebSite();
    void openForum();
    void mailUs();

    // Stores one setting in `ini`; a failed write is shown to the user, naming the file.
    static void storeSetting(const QString &ini, Ini::Key key, const QString &value,
                             QWidget *owner);

private:
    CommandWidgets m_widgets;
    const ListFocus &m_focus;
    SkinEngine &m_skin;
    OptionsWindow &m_options;
    CommandLinks m_links;
};
